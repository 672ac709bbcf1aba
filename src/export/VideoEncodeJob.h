#pragma once
// Turns the numbered pictures of a recording into an AVI on a worker thread, so the interface
// stays live and shows progress. The thread touches no widget: a few helper threads, each with
// its own scaler, read and convert the next pictures while it encodes; progress and the end
// come back as queued calls. Nothing ever waits for the thread: cancel() or the job's end asks
// it to stop after the picture it is on, and what it still uses (its pictures, its encoder, the
// file it writes) is its own, so it may finish after the job, or the program, has gone. An
// encoder can take seconds over one picture and many more to empty itself: liveWorks() counts
// the threads that have not ended yet, so that a save can hold a new one back until then.

#include "export/AviWriter.h"
#include "export/FileDescriptor.h"
#include "export/Outcome.h"
#include "export/PictureSource.h"

#include <QObject>

#include <memory>

namespace quorvel {

class VideoEncodeJob : public QObject {
    Q_OBJECT
public:
    // Pictures 1..frameCount into moviePath, which is made (or emptied) here: the thread writes
    // through its own handle, never by name, so the caller may remove the name at any time.
    VideoEncodeJob(std::shared_ptr<const PictureSource> pictures, int frameCount, const QString &moviePath,
                   const VideoCodecChoice &choice, QObject *parent = nullptr);
    // The same movie written into out: a file, or a pipe's write end that is closed when the
    // work ends, so the reader sees the end of the stream (or a cut one on failure).
    VideoEncodeJob(std::shared_ptr<const PictureSource> pictures, int frameCount, FileDescriptor out,
                   const VideoCodecChoice &choice, QObject *parent = nullptr);
    // Cancels, without waiting: from then on the job reports nothing.
    ~VideoEncodeJob() override;

    void start();
    // Asks the work to end; finished() follows, cancelled. The file it was writing is left for
    // the caller to remove.
    void cancel();

    // After finished(): how it ended.
    JobOutcome outcome() const { return outcome_; }
    bool succeeded() const { return outcome_.done(); }
    QString error() const { return outcome_.detail; }

    // The helper threads a job uses to read and convert pictures.
    static int helperCount();
    // The works started in this process whose thread has not ended yet, with its helpers and
    // its encoder: those told to end and those whose job has gone are counted too. A work no
    // longer counts by the time its job's finished() is emitted.
    static int liveWorks();

signals:
    // 0..100, after each frame whose percentage differs from the last one sent.
    void progress(int percent);
    // The thread is done with the movie: the file is closed, or the pipe's end.
    void finished(const quorvel::JobOutcome &outcome);

private:
    struct Work;
    static void run(const std::shared_ptr<Work> &work);
    std::shared_ptr<Work> work_;
    JobOutcome outcome_;
    bool started_ = false;
};

} // namespace quorvel
