#pragma once
// Saving a recording: the frame pictures become an AVI on a worker thread, the narration is
// joined in and another format made by the converter when asked (reading the AVI through a pipe
// while it is encoded, so that both run at once), and the result is moved onto
// the chosen file, off the interface thread, only once it is whole. Nothing of the recording
// (frames, narration) is deleted until the video is safely written; every failure is told in a
// message box and leaves the recording in place to be saved again. Every step can be cancelled.
// A cancelled encoder's thread runs on until the picture in hand is done: a new save starts
// its encoder only once that thread has ended, saying so meanwhile, so that SAVE and CANCEL
// in turn never stack encoders. A save whose encoder may no longer open in this process (one of
// its kind could not be ended and is held) is refused before anything starts, saying why.

#include "export/AviWriter.h"
#include "export/Outcome.h"
#include "export/PictureSource.h"

#include <QObject>
#include <QPointer>

#include <atomic>
#include <memory>

class QThread;

namespace quorvel {

class Converter;
class VideoEncodeJob;

struct VideoSaveRequest {
    QString workFolder;   // the recording's frames "0001.bmp" and on, "tempaudio.wav"
    int frames = 0;       // pictures recorded
    QString target;       // the chosen file; ".avi" or another format's extension
    VideoCodecChoice codec;
    bool withSound = false; // the recording has narration to join
    QWidget *owner = nullptr; // for messages
    std::shared_ptr<const PictureSource> pictures = nullptr; // the recording's; null: the frames of workFolder
};

class VideoSaveJob : public QObject {
    Q_OBJECT
public:
    // Waiting: for a cancelled save's encoder to end before this one's starts.
    enum class Step { Idle, Waiting, Encoding, Joining, Converting, Placing };
    explicit VideoSaveJob(QObject *parent = nullptr);
    ~VideoSaveJob() override;

    void start(const VideoSaveRequest &request);
    bool canCancel() const { return step_ != Step::Idle && step_ != Step::Placing && !cancelling_; }
    // Ends the running step: the converter is killed, the encoder's thread left to end after
    // the picture it is on. finished() follows, cancelled, once the converter has ended (at
    // once when none runs), with the partial files gone. Cancelling a save that waits only
    // ends it.
    void cancel();
    // For the program's exit: the save ends now, waiting for nothing but a killed converter and
    // a copy into place that stops after its current block; finished() has been told on return.
    void stop();
    Step step() const { return step_; }

signals:
    // The progress text ("45%", "Adding Audio", "Converting to MP4", "Done") and the bar's
    // percentage.
    void status(const QString &text, int percent);
    void stepChanged();
    // Done: the video is at its place and the recording's files are gone. Otherwise the
    // recording is still there.
    void finished(quorvel::Outcome outcome);

private:
    void begin();
    void startEncoder(VideoEncodeJob *job);
    std::shared_ptr<const PictureSource> pictures() const;
    bool startStreaming();
    void streamConverted(const JobOutcome &outcome);
    void streamEnded();
    void encoded(const JobOutcome &outcome);
    void dropEncoder();
    void previousEnded();
    void moverEnded();
    void removePartial();
    void join();
    void joined(const JobOutcome &outcome);
    void convert();
    void converted(const JobOutcome &outcome);
    void place(const QString &file, const QString &target);
    void placed(bool ok, const QString &error, const QString &target);
    void end(Outcome outcome);
    void setStep(Step s);
    QString work(const QString &name) const;
    double seconds() const;

    VideoSaveRequest request_;
    Step step_ = Step::Idle;
    QPointer<VideoEncodeJob> encoder_;
    QPointer<VideoEncodeJob> finishing_; // cancelled; its thread has not told its end yet
    bool cancelling_ = false;
    // Encoding and converting at once (another format than AVI): each one's end.
    bool streaming_ = false;
    bool streamSound_ = false;
    JobOutcome encoderOutcome_;
    JobOutcome converterOutcome_;
    QThread *mover_ = nullptr;
    QString moveTarget_;
    QString moveError_; // written by the mover thread
    bool moved_ = false;
    std::atomic<bool> moveStop_{false}; // read by the mover thread
    Converter *converter_ = nullptr;
    QString convertedFile_;
    QString extension_;
    bool soundJoined_ = false;
};

} // namespace quorvel
