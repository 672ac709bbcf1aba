#pragma once
// The video recording of a board, as a state machine that is the only door to the recording
// panel's buttons: each button is enabled only in the states where its step may run.
//
//   Closed --Export as Video--> Ready --REC--> Recording --STOP / end of playback--> Recorded
//   Recorded --SAVE--> Saving --saved--> Closed;  Saving --failed or cancelled--> Recorded
//   CANCEL: Ready, Recording, Recorded --> Closed (the recording's files deleted); in Saving it
//   stops the save, which leaves no file, and the recording stays for another SAVE.
//   The program's exit: the recording's files are deleted unless it was saved, as no later run
//   can save them.
//
// REC always records from the strat's first frame. The board's playback controller says when a
// picture is due; the picture is captured and written in one step, with nothing in between
// that could let a click land. "Record Sound?" is read once when a recording starts and is
// locked until it ends; with narration the board plays at 1x, so that picture and sound keep
// one clock, and the user's speed comes back afterwards.

#include "board/frmMapa.h"
#include "export/AviWriter.h"
#include "export/PictureSource.h"

#include <QObject>
#include <QPointer>

class QMdiSubWindow;

namespace quorvel {

class Narration;
class RecordingPanel;
class SoundSource;
class VideoSaveJob;


class VideoRecorder : public QObject {
    Q_OBJECT
public:
    enum class State { Closed, Ready, Recording, Recorded, Saving };

    // The panel is made as a child of panelParent, hidden.
    // Effects let finish at the end of a recording: at most this long, the longest the program
    // ships (an effect file with longer delays is cut there).
    static constexpr int kLongestEffectSeconds = 20; // the smoke

    explicit VideoRecorder(QWidget *panelParent);
    ~VideoRecorder() override;

    RecordingPanel *panel() const { return panel_; }
    State state() const { return state_; }
    frmMapa *board() const { return board_; }
    int capturedFrames() const { return captured_; }
    // Replaces the default sound input (not owned); tests feed samples through it.
    void setSoundSource(SoundSource *source);
    // Replaces where a save takes the recorded pictures from (the work folder's frame files);
    // tests hold the encoder busy through it.
    void setPictureSource(std::shared_ptr<const PictureSource> source) { pictures_ = std::move(source); }

    // "Export as Video": stops the board's playback and opens the panel for it.
    void open(frmMapa *board);

    // The panel's buttons.
    void cmdRec_Click();
    void cmdSave_Click();
    void cmdCancel_Click();
    void chkSound_Click();

    // The program closes: a running save is stopped (its partial movie removed) and the
    // recording, which no later run can save, is deleted.
    void closeForExit();

signals:
    void stateChanged(quorvel::VideoRecorder::State state);

private:
    void startRecording();
    void endRecording();
    void captureDue(int frame, int capture);
    void abandon();
    void setState(State s);
    void updateControls();
    void stopPlayback();
    void rewind();
    QMdiSubWindow *activeBoardWindow() const;
    void keepActive(QMdiSubWindow *sub);
    QString workFile(const QString &name) const;

    RecordingPanel *panel_ = nullptr;
    QPointer<frmMapa> board_;
    State state_ = State::Closed;
    QString folder_;
    int captured_ = 0;
    bool sound_ = false;        // "Record Sound?" as read when the recording started
    bool soundRecorded_ = false;
    int userSpeed_ = 0;         // the speed to give back after a narrated recording; 0 = none
    qint64 lastFrame_ = 0;      // the last frame a recording may reach (effects let finish)
    SoundSource *source_ = nullptr;
    SoundSource *ownSource_ = nullptr;
    std::shared_ptr<const PictureSource> pictures_; // null: the frame files
    Narration *narration_ = nullptr;
    VideoSaveJob *saver_ = nullptr;
    QList<QMetaObject::Connection> boardLinks_;
};

} // namespace quorvel
