#pragma once
// Turns the numbered frame pictures of a recording into an AVI on a worker thread, so the
// interface stays live and shows progress. The thread touches no widget: it reads the frame
// files, encodes, writes the movie and reports progress by a queued signal.

#include "export/AviWriter.h"

#include <QSize>
#include <QThread>

namespace quorvel {

// One picture every 8 playback frames of 63 a second: 63/8 pictures a second of strat time.
inline constexpr int kCaptureRateNum = 63;
inline constexpr int kCaptureRateDen = 8;
inline constexpr int kCaptureEvery = 8;
// The video's picture size.
inline const QSize kVideoSize(800, 600);

class VideoEncodeJob : public QThread {
    Q_OBJECT
public:
    // Frames 1..frameCount of folder ("0001.bmp" and on) into moviePath.
    VideoEncodeJob(const QString &folder, int frameCount, const QString &moviePath,
                   const VideoCodecChoice &choice, QObject *parent = nullptr);

    // After finished(): whether the movie is complete, and why not.
    bool succeeded() const { return ok_; }
    QString error() const { return error_; }
    int framesWritten() const { return written_; }

signals:
    // 0..100, after each frame whose percentage differs from the last one sent.
    void progress(int percent);

protected:
    void run() override;

private:
    QString folder_;
    int frameCount_ = 0;
    QString moviePath_;
    VideoCodecChoice choice_;
    bool ok_ = false;
    QString error_;
    int written_ = 0;
};

} // namespace quorvel
