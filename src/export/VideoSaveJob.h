#pragma once
// Saving a recording: the frame pictures become an AVI on a worker thread, the narration is
// joined in and another format made by the converter when asked, and the result is moved onto
// the chosen file, off the interface thread, only once it is whole. Nothing of the recording
// (frames, narration) is deleted until the video is safely written; every failure is told in a
// message box and leaves the recording in place to be saved again. Every step can be cancelled.

#include "export/AviWriter.h"
#include "export/Outcome.h"

#include <QObject>
#include <QPointer>

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
};

class VideoSaveJob : public QObject {
    Q_OBJECT
public:
    enum class Step { Idle, Encoding, Joining, Converting, Placing };
    explicit VideoSaveJob(QObject *parent = nullptr);
    ~VideoSaveJob() override;

    void start(const VideoSaveRequest &request);
    bool canCancel() const { return step_ != Step::Idle && step_ != Step::Placing; }
    // Ends the running step at once: finished() follows, cancelled, with no file left of the
    // save. The encoder thread ends after the picture it is encoding.
    void cancel();
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
    void encoded();
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
    QPointer<VideoEncodeJob> leftover_; // a cancelled encoder still ending its last picture
    QThread *mover_ = nullptr;
    Converter *converter_ = nullptr;
    QString convertedFile_;
    QString extension_;
    bool soundJoined_ = false;
};

} // namespace quorvel
