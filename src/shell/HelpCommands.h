#pragma once
// The Help menu of the main window and what the main window's load does for it: the tip of
// the day at start-up, the start-up update check with its notice lblAutoCheck, and the about
// box, which a board's load closes.

#include "shell/UpdateCheck.h"

#include <QObject>
#include <QPointer>

class QAction;
class QMainWindow;
class QToolBar;

namespace quorvel {

class ClickLabel;
class frmSobre;

class HelpCommands : public QObject {
    Q_OBJECT
public:
    // Adds the Help menu to main's menu bar and the notice to the right end of tools.
    HelpCommands(QMainWindow &main, QToolBar *tools);

    void mnuCheckForUpdate_Click();
    void mnuDica_Click();
    void mnuSobre_Click();
    void lblAutoCheck_Click();

    // The start-up check: fetches the server's version and fills the notice when it is newer.
    // Does nothing when the check is off (no server).
    void startUpCheck(const UpdateSource &source = defaultUpdateSource());
    // Closes the about box if it is up.
    void closeAboutBox();

    ClickLabel *lblAutoCheck = nullptr;
    QAction *mnuCheckForUpdate = nullptr;
    QAction *mnuDica = nullptr;
    QAction *mnuSobre = nullptr;

signals:
    // The start-up check has its answer (the notice shows it if there was a newer version).
    void startUpCheckDone();

private:
    QMainWindow &main_;
    QPointer<frmSobre> sobre_;
    bool newerVersion_ = false;
    UpdateClient *Inet1 = nullptr;
};

} // namespace quorvel
