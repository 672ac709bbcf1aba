#pragma once
// The main window: a multiple-document frame that holds up to 11 board windows in the slots
// of `Mapas`, the menus, the picture store and the program-wide state the boards share.

#include "board/BoardHost.h"
#include "board/IconStore.h"
#include "board/ProgramState.h"

#include <QMainWindow>
#include <QPixmap>
#include <QPointer>

#include <array>
#include <memory>

class QAction;
class QMdiArea;
class QMdiSubWindow;
class QMenu;

namespace quorvel {

class WindowList;
class frmMapa;
class frmNovo;
class BoardMenus;
class HelpCommands;
class Toolbar;
class VideoRecorder;

class frmPrincipal : public QMainWindow, public BoardHost {
    Q_OBJECT
public:
    explicit frmPrincipal(QWidget *parent = nullptr);
    ~frmPrincipal() override;

    // The load: palette, captions, settings, the first-run example, the file type registration,
    // then the strat named on the command line (commandLine is the whole line; a switch is not
    // a file; stratPath is the file it names, see parseArguments) or else the tip of the day,
    // and the start-up update check.
    void MDIForm_Load(const QString &commandLine, const QString &stratPath);

    // Takes the lowest free board slot (reusing its window) or makes a new board; -1 when all
    // 11 are in use. The board is shown and titled.
    std::int16_t NovoMapa();
    // Opens a strat named from outside (the command line, a second start, Open) by its name as
    // it stands; when that is no regular file, says so with the reason.
    void openNamedFile(const QString &path);
    // A second start asks for the front: a minimised window is restored (a maximised one stays
    // maximised) and raised.
    void bringToFront();
    // Converts a strat of the older format in a new board (which saves it and closes).
    void ConverteArquivo(const QString &path);

    // Every open board takes the round timer and effects switch of state() (after Options).
    void applySettingsToBoards();

    frmMapa *board(int slot) const;
    frmMapa *activeBoard() const;
    int iNumMapas() const { return iNumMapas_; }
    ProgramState &state() { return state_; }
    QMdiArea *mdiArea() const { return mdi_; }
    QMenu *windowMenu() const { return mnuWindow_; }

    // BoardHost
    QWidget *dialogOwner() override { return this; }
    QPixmap iconPicture(const IconPicture &picture) const override;
    QPixmap markerPicture() const override;
    bool WindowListContains(frmMapa *board) override;
    void WindowListAdd(frmMapa *board) override;
    void WindowListCheck(frmMapa *board, const QString &action) override;
    void WindowListRemove(frmMapa *board) override;
    QString chooseOverview() override;
    void GravaDebug(const QString &line) override;
    void boardClosed(frmMapa *board) override;
    void showPopup(Popup which, const QPoint &globalPos) override;
    QPixmap cursorPicture(int index) const override;

    // The toolbar panel and the right-click menus with their commands.
    Toolbar *toolbar() const { return toolbar_; }
    BoardMenus *menus() const { return menus_; }
    // The Help menu, the tip of the day, the about box and the update check.
    HelpCommands *help() const { return help_; }

    // Menu commands.
    void mnuNovo_Click();
    void mnuAbrir_Click();
    void mnuSalvar_Click();
    void mnuSalvarComo_Click();
    void mnuSair_Click();
    void mnuConvert_Click();
    // Export as Image and Export as Video (the recording panel).
    void mnuExportar_Click();
    void mnuVideo_Click();
    VideoRecorder *recorder() const { return recorder_; }

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    frmMapa *boardForFile(const QString &p, bool logged);
    void buildMenus();
    void SetMenuDefaults();
    // The export entries of the Strat menu and the recording panel above the boards.
    void buildExport(QMenu *mnuTatica);
    void subWindowActivated(QMdiSubWindow *window);
    QMdiSubWindow *subWindowOf(frmMapa *board) const;
    void debug(const char *line);
    void paintBackground();

    ProgramState state_;
    IconStore icons_;
    QPixmap picTile_; // the background picture
    QMdiArea *mdi_ = nullptr;
    std::array<frmMapa *, kMaxBoards + 2> Mapas_{}; // slots 1..11 (12 stays empty)
    int iNumMapas_ = 0;
    frmMapa *activeBoard_ = nullptr;
    bool closingProgram_ = false;

    QMenu *mnuWindow_ = nullptr;
    std::unique_ptr<WindowList> windowList_;
    Toolbar *toolbar_ = nullptr;
    BoardMenus *menus_ = nullptr;
    HelpCommands *help_ = nullptr;
    QPointer<frmNovo> novo_;
    VideoRecorder *recorder_ = nullptr;
};

} // namespace quorvel
