#pragma once
// Saving a recording: the frame pictures become an AVI on a worker thread, the narration is
// joined in and another format made by the converter when asked, and the result replaces the
// chosen file only once it is whole. Nothing of the recording (frames, narration) is deleted
// until the video is safely written; every failure is told in a message box and leaves the
// recording in place to be saved again.

#include "export/AviWriter.h"

#include <QObject>
#include <QPointer>

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
    // Only the converter's steps can be cancelled: the writing of the AVI and of the final
    // file runs to its end.
    bool canCancel() const { return step_ == Step::Joining || step_ == Step::Converting; }
    void cancel();
    Step step() const { return step_; }

signals:
    // The progress text ("45%", "Adding Audio", "Converting to MP4", "Done") and the bar's
    // percentage.
    void status(const QString &text, int percent);
    void stepChanged();
    // saved: the video is at its place and the recording's files are gone. Otherwise the
    // recording is still there.
    void finished(bool saved);

private:
    void encoded();
    void join();
    void joined(bool ok, const QString &error);
    void convert();
    void converted(bool ok, const QString &error);
    void place(const QString &file, const QString &target);
    void end(bool saved);
    void setStep(Step s);
    QString work(const QString &name) const;
    double seconds() const;

    VideoSaveRequest request_;
    Step step_ = Step::Idle;
    QPointer<VideoEncodeJob> encoder_;
    Converter *converter_ = nullptr;
    QString convertedFile_;
    QString extension_;
    bool soundJoined_ = false;
};

} // namespace quorvel
