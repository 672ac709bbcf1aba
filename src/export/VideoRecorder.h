#pragma once
// The video recording of a board, as a state machine that is the only door to the recording
// panel's buttons: each button is enabled only in the states where its step may run.
//
//   Closed --Export as Video--> Ready --REC--> Recording --STOP / end of playback--> Recorded
//   Recorded --SAVE--> Saving --saved--> Closed;  Saving --failed or cancelled--> Recorded
//   CANCEL: Ready, Recording, Recorded --> Closed (the recording's files deleted); in Saving it
//   stops a running conversion only, never the writing of a file.
//
// The board's playback controller says when a picture is due; the picture is captured and
// written in one step, with nothing in between that could let a click land. "Record Sound?"
// is read once when a recording starts and is locked until it ends.

#include "board/frmMapa.h"
#include "export/AviWriter.h"

#include <QObject>
#include <QPointer>

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
    explicit VideoRecorder(QWidget *panelParent);
    ~VideoRecorder() override;

    RecordingPanel *panel() const { return panel_; }
    State state() const { return state_; }
    frmMapa *board() const { return board_; }
    int capturedFrames() const { return captured_; }
    // Replaces the default sound input (not owned); tests feed samples through it.
    void setSoundSource(SoundSource *source);

    // "Export as Video": stops the board's playback and opens the panel for it.
    void open(frmMapa *board);

    // The panel's buttons.
    void cmdRec_Click();
    void cmdSave_Click();
    void cmdCancel_Click();
    void chkSound_Click();

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
    QString workFile(const QString &name) const;

    RecordingPanel *panel_ = nullptr;
    QPointer<frmMapa> board_;
    State state_ = State::Closed;
    QString folder_;
    int captured_ = 0;
    bool sound_ = false;        // "Record Sound?" as read when the recording started
    bool soundRecorded_ = false;
    SoundSource *source_ = nullptr;
    SoundSource *ownSource_ = nullptr;
    Narration *narration_ = nullptr;
    VideoSaveJob *saver_ = nullptr;
    QList<QMetaObject::Connection> boardLinks_;
};

} // namespace quorvel
