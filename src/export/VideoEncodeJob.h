#pragma once
// Turns the numbered frame pictures of a recording into an AVI on a worker thread, so the
// interface stays live and shows progress. The thread touches no widget: a few helper threads,
// each with its own scaler, read and convert the next pictures while this one encodes; progress
// goes out by a queued signal. cancel() ends the work after the picture being encoded.

#include "export/AviWriter.h"
#include "export/Outcome.h"

#include <QThread>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace quorvel {

class VideoEncodeJob : public QThread {
    Q_OBJECT
public:
    // Frames 1..frameCount of folder ("0001.bmp" and on) into moviePath.
    VideoEncodeJob(const QString &folder, int frameCount, const QString &moviePath,
                   const VideoCodecChoice &choice, QObject *parent = nullptr);
    // The same movie written as a stream into the write end of a pipe, which the job owns and
    // closes when it ends, so the reader sees the end of the stream (or a cut one on failure).
    VideoEncodeJob(const QString &folder, int frameCount, int pipeFd, const VideoCodecChoice &choice,
                   QObject *parent = nullptr);
    // Cancels and waits.
    ~VideoEncodeJob() override;

    // Asks the work to end; the file it was writing is left for the caller to remove.
    void cancel();
    bool cancelled() const { return cancelled_; }

    // After finished(): how it ended.
    JobOutcome outcome() const { return outcome_; }
    bool succeeded() const { return outcome_.done(); }
    QString error() const { return outcome_.detail; }
    int framesWritten() const { return written_; }

    // The helper threads a job uses to read and convert pictures.
    static int helperCount();

signals:
    // 0..100, after each frame whose percentage differs from the last one sent.
    void progress(int percent);

protected:
    void run() override;

private:
    void encode();
    QString folder_;
    int frameCount_ = 0;
    QString moviePath_;
    int pipeFd_ = -1;
    VideoCodecChoice choice_;
    JobOutcome outcome_;
    int written_ = 0;
    std::atomic<bool> cancelled_{false};
    std::mutex mutex_;
    std::condition_variable wake_;
};

} // namespace quorvel
