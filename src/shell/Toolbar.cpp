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
    connect(&state_.tool, &ToolState::changed, this, &Toolbar::showPreview);
}

void Toolbar::cancel()
{
    emit cancelAll();
}

// Choosing a tool writes the whole tool state, so no flag of an earlier tool survives, with
// or without a board open.
void Toolbar::chooseTool(ArmedTool tool)
{
    cancel();
    state_.tool.choose(tool);
}

// The chosen tool's picture: it stays while the choice does (the marker's past a reset), and
// the text tool has none.
void Toolbar::showPreview()
{
    const std::size_t type = std::size_t(state_.iTipoObj);
    switch (state_.tool.chosen()) {
    case ArmedTool::Object:
        if (type < picObj.size())
            picImg->setPixmap(picObj[type]->pixmap());
        else
            picImg->clear();
        break;
    case ArmedTool::Marker: picImg->setPixmap(picMarker->pixmap()); break;
    case ArmedTool::Hand: picImg->setPixmap(imgMove->pixmap()); break;
    default: picImg->clear(); break;
    }
}

void Toolbar::picObj_Click(int index)
{
    state_.iTipoObj = static_cast<std::int16_t>(index);
    chooseTool(ArmedTool::Object);
}

void Toolbar::picMarker_Click() { chooseTool(ArmedTool::Marker); }

void Toolbar::lblTexto_Click() { chooseTool(ArmedTool::Text); }

void Toolbar::imgMove_Click() { chooseTool(ArmedTool::Hand); }

void Toolbar::imgChat_Click() { cancel(); }
void Toolbar::picBotoes_Click() { cancel(); }
void Toolbar::MDIForm_Click() { cancel(); }

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
