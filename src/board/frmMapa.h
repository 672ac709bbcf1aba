#pragma once
// The board window: one open strat. It holds the strat's records and movement objects (in a
// BoardModel), shows them on a BoardScene in twips, and opens and saves the strat file.

#include "board/BoardDocument.h"
#include "board/BoardModel.h"

#include <QWidget>

#include <array>

class QGraphicsView;
class QLabel;
class QSlider;
class QStatusBar;

namespace quorvel {

class BoardAutoSave;
class BoardEffects;
class BoardEditor;
class BoardHost;
class BoardPlayback;
class PlaybackController;
class BoardScene;
struct ProgramState;

class frmMapa : public QWidget {
    Q_OBJECT
public:
    frmMapa(ProgramState &state, BoardHost &host, QWidget *parent = nullptr);
    ~frmMapa() override;

    // Runs each time the board is shown for a strat, also when a freed slot is reused.
    void Form_Load();

    // Opens a strat file of the current format into this fresh board. When opening fails the
    // board has closed itself (and said why, except for an empty path).
    void AbreTatica(const QString &sArq);

    // Reads a strat of the older format, has it saved in the current format under a name the
    // user chooses, and closes the board.
    void OldAbreTatica(const QString &sArq);

    // Saves the strat, asking for a file name when it has none or when bComo (Save As) is
    // set. Returns false when nothing was written (Cancel, or a failure that it reported).
    bool SalvaTatica(bool bComo = false);

    // Abandons placing: drops the armed tool (keeps the marker tool and the object type).
    void cancelMovement();

    // The Windows menu follows the active board.
    void Form_Activate();
    void Form_Deactivate();

    // Closes the board: stops playback, leaves the Windows menu
    // (unless the whole program is closing) and forgets the strat. The slot is free afterwards.
    enum class CloseReason { User, Program, MainWindow };
    void closeBoard(CloseReason reason);

    std::int16_t imI() const { return model_.imI; }
    // The board's slot; the program-wide title and overview of the slot follow the document.
    void setImI(std::int16_t slot);
    const QString &sArquivo() const { return model_.sArquivo; }
    void setSArquivo(const QString &path) { document_.setFileName(path); }
    // Path-point mode on this board, a view of the program-wide armed tool.
    bool bMovimento() const;

    // Playback: the controller holds the mode and the clock, the playback controls mirror it.
    BoardPlayback &playback() const { return *playback_; }
    PlaybackController &controller() const { return *controller_; }
    // The grenade effects, the busy animation and the marker balloon.
    BoardEffects &effects() const { return *effects_; }
    BoardAutoSave &autoSave() const { return *autoSave_; }

    // Editing: the mouse and keys of the board and the tools they drive.
    BoardEditor &editor() const { return *editor_; }

    // The board's strat: every change goes through it, and it says whether there are unsaved
    // changes (the window title's [*] follows).
    BoardDocument &document() { return document_; }
    const BoardDocument &document() const { return document_; }
    const BoardModel &model() const { return model_; }
    BoardScene *scene() const { return scene_; }
    QGraphicsView *view() const { return view_; }

    // The overview picture of this board (file name inside the program's Overviews folder).
    bool loadOverview(const QString &fileName);

    // The user closes a changed strat: "Save changes to <title>?" with Yes (the normal save),
    // No and Cancel. False when the board must stay open (Cancel, or no save was made).
    bool maybeSave();
    // Takes the program's round timer and effects switch. A running playback keeps its round
    // until it stops; a stopped board shows the new round time and measures its length again.
    void applySettings();

    // The fourteen status texts s0029..s0042, with their English fallbacks.
    const QString &keyText(int key) const { return keyTexts_[static_cast<std::size_t>(key - 29)]; }

    // The recording layout: the window shortened to its overview, the black cover `picHide`
    // over the frame counter, the elapsed time and the playback buttons, and the sliders, their
    // labels and the status bar hidden (their values kept). False gives the normal layout back.
    void setRecordingLayout(bool recording);

signals:
    // The board closed (its window should hide; the slot is free).
    void closed();

protected:
    void closeEvent(QCloseEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void buildControls();
    void setStatusPanel(int panel, const QString &text);
    void debug(const char *line);
    // Shows the overview of a strat just read; a missing one is replaced by one the user
    // picks (written into doc). False when the user gave up: the board has closed.
    bool takeOverview(StratDocument &doc, bool logDebug);

    ProgramState &state_;
    BoardHost &host_;
    BoardDocument document_;
    const BoardModel &model_ = document_.model();
    BoardScene *scene_ = nullptr;
    QGraphicsView *view_ = nullptr;
    std::array<QString, 14> keyTexts_;
    bool closing_ = false;
    PlaybackController *controller_ = nullptr;
    BoardEffects *effects_ = nullptr;
    BoardPlayback *playback_ = nullptr;
    BoardAutoSave *autoSave_ = nullptr;
    BoardEditor *editor_ = nullptr;

    QLabel *lblTitulo_ = nullptr;
    QLabel *lblRoundTime_ = nullptr;
    QLabel *lblFrame_ = nullptr;
    QLabel *lblSegs_ = nullptr;
    QLabel *lblMaxTime_ = nullptr;
    QLabel *lblMinTime_ = nullptr;
    QLabel *picGO_ = nullptr;
    QLabel *Picture1_ = nullptr;
    QLabel *picPause_ = nullptr;
    QLabel *picSlow_ = nullptr;
    QLabel *picReverse_ = nullptr;
    QLabel *lblFechar_ = nullptr;
    QSlider *Slider1_ = nullptr;
    QSlider *Slider2_ = nullptr;
    QStatusBar *StatusBar1_ = nullptr;
    std::array<QLabel *, 5> panels_{}; // panels 1..4
};

} // namespace quorvel
