#pragma once
// "About Quorvel": the name, what it is for, the version of this build, the credits and the
// links to the home page, the forum, the chat channels and the maintainers' mail.

#include "board/BoardLinks.h"

#include <QDialog>
#include <QUrl>

class QLabel;
class QPushButton;

namespace quorvel {

// The addresses the about box links to.
namespace about {
inline const QString &kSite = BoardLinks::kHomePage; // the one home page address
inline const QString kForum = QStringLiteral("https://quorvel.org/forum/");
inline const QString kIrc = QStringLiteral("irc://irc.libera.chat/quorvel");
inline const QString kIrcStrats = QStringLiteral("irc://irc.libera.chat/quorvel-strats");
inline const QString kMail = QStringLiteral("mailto:maintainers@quorvel.org");
} // namespace about

class frmSobre : public QDialog {
    Q_OBJECT
public:
    explicit frmSobre(QWidget *parent = nullptr);

    QLabel *lblVer = nullptr;
    QLabel *lblSite = nullptr;
    QLabel *lblForum = nullptr;
    QLabel *lblIRC = nullptr;
    QLabel *Label10 = nullptr;
    QLabel *Label11 = nullptr;
    QPushButton *cmdOK = nullptr;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
};

} // namespace quorvel
