#include "shell/Toolbar.h"

#include "board/IconStore.h"
#include "board/ProgramState.h"
#include "common/ProgramFolder.h"
#include "language/SetLanguageInForm.h"
#include "platform/Named.h"
#include "playback/IconPicture.h"

#include <QHBoxLayout>
#include <QMouseEvent>

namespace quorvel {

namespace {
ClickLabel *tool(QWidget *parent, const char *name, const QString &tip)
{
    auto *l = new ClickLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setToolTip(tip);
    l->setCursor(Qt::PointingHandCursor);
    l->setAlignment(Qt::AlignCenter);
    l->setMinimumSize(24, 24);
    return l;
}
} // namespace

Toolbar::Toolbar(ProgramState &state, const IconStore &icons, QWidget *parent) : QWidget(parent), state_(state)
{
    setObjectName(QStringLiteral("picBotoes"));
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 2);
    row->setSpacing(4);
    for (int i = 0; i < 14; ++i) {
        ClickLabel *l = tool(this, "picObj", QString());
        l->setProperty(kControlIndexProperty, i);
        if (const auto p = plainPicture(i))
            l->setPixmap(icons.picture(*p));
        connect(l, &ClickLabel::clicked, this, [this, i] { picObj_Click(i); });
        picObj[std::size_t(i)] = l;
        row->addWidget(l);
    }
    picMarker = tool(this, "picMarker", QString());
    picMarker->setPixmap(icons.marker());
    connect(picMarker, &ClickLabel::clicked, this, &Toolbar::picMarker_Click);
    row->addWidget(picMarker);
    lblTexto = tool(this, "lblTexto", QString());
    lblTexto->setText(QStringLiteral("Text "));
    lblTexto->setStyleSheet(QStringLiteral("font-weight: bold;"));
    connect(lblTexto, &ClickLabel::clicked, this, &Toolbar::lblTexto_Click);
    row->addWidget(lblTexto);
    const QString faces = programFolder() + QStringLiteral("/Bin/Icons/Toolbar/");
    imgMove = tool(this, "imgMove", QStringLiteral("Move Window"));
    imgMove->setPixmap(QPixmap(faces + QStringLiteral("imgMove.png")));
    connect(imgMove, &ClickLabel::clicked, this, &Toolbar::imgMove_Click);
    row->addWidget(imgMove);
    imgChat = tool(this, "imgChat", QStringLiteral("Chat"));
    imgChat->setPixmap(QPixmap(faces + QStringLiteral("imgChat.png")));
    connect(imgChat, &ClickLabel::clicked, this, &Toolbar::imgChat_Click);
    row->addWidget(imgChat);
    row->addSpacing(12);
    lblSelected = named<QLabel>("lblSelected", QStringLiteral("Selected:"), this);
    row->addWidget(lblSelected);
    picImg = named<QLabel>("picImg", this);
    picImg->setFixedSize(32, 32);
    picImg->setAlignment(Qt::AlignCenter);
    picImg->setFrameShape(QFrame::StyledPanel);
    row->addWidget(picImg);
    row->addStretch();
}

void Toolbar::cancel()
{
    emit cancelAll();
}

// Choosing a tool writes the whole tool state, so no flag of an earlier tool survives, with
// or without a board open.
void Toolbar::chooseTool(Tool tool)
{
    cancel();
    switch (tool) {
    case Tool::Object: state_.tool.choose(ArmedTool::Object); break;
    case Tool::Marker: state_.tool.choose(ArmedTool::Marker); break;
    case Tool::Text: state_.tool.choose(ArmedTool::Text); break;
    case Tool::Move: state_.tool.choose(ArmedTool::Hand); break;
    }
}

void Toolbar::picObj_Click(int index)
{
    chooseTool(Tool::Object);
    state_.iTipoObj = static_cast<std::int16_t>(index);
    if (index >= 0 && index < 14)
        picImg->setPixmap(picObj[std::size_t(index)]->pixmap());
}

void Toolbar::picMarker_Click()
{
    chooseTool(Tool::Marker);
    picImg->setPixmap(picMarker->pixmap());
}

void Toolbar::lblTexto_Click()
{
    chooseTool(Tool::Text);
    picImg->clear();
}

void Toolbar::imgMove_Click()
{
    chooseTool(Tool::Move);
}

void Toolbar::imgChat_Click() { cancel(); }
void Toolbar::picBotoes_Click() { cancel(); }
void Toolbar::MDIForm_Click() { cancel(); }

void Toolbar::clearPreview() { picImg->clear(); }

void Toolbar::mousePressEvent(QMouseEvent *event)
{
    picBotoes_Click();
    event->accept();
}

bool Toolbar::eventFilter(QObject *, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress)
        MDIForm_Click();
    return false;
}

} // namespace quorvel
