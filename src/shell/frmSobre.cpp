#include "shell/frmSobre.h"

#include "board/frmLink.h"
#include "common/ProgramFolder.h"
#include "language/SetLanguageInForm.h"
#include "platform/Named.h"
#include "shell/ButtonRow.h"
#include "shell/UpdateCheck.h"

#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPixmap>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvel {

namespace {
QFrame *line(QWidget *parent, const char *name)
{
    auto *l = new QFrame(parent);
    l->setObjectName(QLatin1String(name));
    l->setFrameShape(QFrame::HLine);
    l->setFrameShadow(QFrame::Sunken);
    return l;
}

QLabel *label(QWidget *parent, const char *name, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

// A link label: the caption is the text shown, the target what a click opens. The caption is
// plain text; the click goes through the program's one link opener.
QLabel *link(QWidget *parent, const char *name, const QString &caption, const QString &target)
{
    QLabel *l = label(parent, name, caption);
    l->setCursor(Qt::PointingHandCursor);
    l->setStyleSheet(QStringLiteral("color: #1a56b0; text-decoration: underline;"));
    l->setProperty("target", target);
    return l;
}
} // namespace

frmSobre::frmSobre(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmSobre"));
    setWindowTitle(QStringLiteral("About Quorvel"));
    setFont(QFont(QStringLiteral("Tahoma")));

    auto *picture = named<QLabel>("picIcon", this);
    picture->setPixmap(QPixmap(programFolder() + QStringLiteral("/Bin/quorvel.png")));
    QLabel *lblSobre = label(this, "lblSobre", QStringLiteral("Quorvel"));
    QFont big = lblSobre->font();
    big.setPointSizeF(big.pointSizeF() * 2);
    big.setBold(true);
    lblSobre->setFont(big);
    lblVer = label(this, "lblVer", QStringLiteral("0.00"));
    QLabel *label4 = label(this, "Label4",
                           QStringLiteral("Quorvel draws animated strats for your team's rounds and lets you share "
                                          "them with your teammates."));
    label4->setWordWrap(true);
    QLabel *label2 = label(this, "Label2", QStringLiteral("Written by the Quorvel developers."));
    QLabel *label6 = label(this, "Label6", QStringLiteral("Maintained by the Quorvel maintainers."));
    QLabel *label5 = label(this, "Label5", QStringLiteral("Background by"));
    QLabel *label7 = label(this, "Label7", QStringLiteral("the Quorvel art tools"));

    lblSite = link(this, "lblSite", about::kSite, about::kSite);
    lblForum = link(this, "lblForum", about::kForum, about::kForum);
    lblIRC = link(this, "lblIRC", QStringLiteral("#quorvel @ irc.libera.chat"), about::kIrc);
    Label10 = link(this, "Label10", QStringLiteral("#quorvel-strats"), about::kIrcStrats);
    Label11 = link(this, "Label11", QStringLiteral("Quorvel maintainers"), about::kMail);

    cmdOK = named<QPushButton>("cmdOK", QStringLiteral("OK"), this);
    cmdOK->setDefault(true);

    auto *head = new QHBoxLayout;
    head->addWidget(picture);
    auto *name = new QVBoxLayout;
    name->addWidget(lblSobre);
    name->addWidget(lblVer);
    head->addLayout(name, 1);

    auto *background = new QHBoxLayout;
    background->addWidget(label5);
    background->addWidget(label7);
    background->addStretch();
    auto *credits = new QVBoxLayout;
    credits->addWidget(label2);
    credits->addWidget(label6);
    credits->addLayout(background);

    auto *links = new QGridLayout;
    links->addWidget(label(this, "Label1", QStringLiteral("Homepage:")), 0, 0);
    links->addWidget(lblSite, 0, 1);
    links->addWidget(label(this, "Label8", QStringLiteral("Forum:")), 1, 0);
    links->addWidget(lblForum, 1, 1);
    links->addWidget(label(this, "Label3", QStringLiteral("IRC Chan:")), 2, 0);
    links->addWidget(lblIRC, 2, 1);
    links->addWidget(Label10, 3, 1);
    links->addWidget(Label11, 4, 1);
    links->setColumnStretch(1, 1);

    QHBoxLayout *buttons = buttonRow({cmdOK});

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(head);
    layout->addWidget(line(this, "Line1"));
    layout->addWidget(label4);
    layout->addWidget(line(this, "Line2"));
    layout->addLayout(credits);
    layout->addWidget(line(this, "Line3"));
    layout->addLayout(links);
    layout->addWidget(line(this, "Line4"));
    layout->addLayout(buttons);
    setMinimumWidth(380);

    translateWindow(this);
    lblVer->setText(aboutVersionText());

    for (QLabel *l : {lblSite, lblForum, lblIRC, Label10, Label11})
        l->installEventFilter(this);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
}

bool frmSobre::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::MouseButtonPress) {
        auto *l = qobject_cast<QLabel *>(watched);
        if (l && static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton) {
            // The home page and the forum open what their caption shows.
            const bool ownCaption = l == lblSite || l == lblForum;
            shellOpener()(QUrl(ownCaption ? l->text() : l->property("target").toString()));
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

} // namespace quorvel
