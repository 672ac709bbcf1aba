#include "export/VideoEncodeJob.h"

#include "export/VideoFiles.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <cmath>
#include <deque>
#include <future>

namespace quorvel {

namespace {
constexpr int kReadAhead = 6;
}

VideoEncodeJob::VideoEncodeJob(const QString &folder, int frameCount, const QString &moviePath,
                               const VideoCodecChoice &choice, QObject *parent)
    : QThread(parent), folder_(folder), frameCount_(frameCount), moviePath_(moviePath), choice_(choice)
{
}

void VideoEncodeJob::run()
{
    ok_ = false;
    written_ = 0;
    AviWriter writer;
    const QDir dir(folder_);
    // Pictures being read and converted on other threads; they use the writer, so they are
    // waited for before the writer goes.
    std::deque<std::future<VideoFrame>> ahead;
    auto failed = [&](const QString &why) {
        ahead.clear();
        error_ = why;
        writer.abandon();
        QFile::remove(moviePath_);
    };
    if (frameCount_ <= 0) {
        failed(QStringLiteral("No picture was recorded."));
        return;
    }
    if (!writer.open(moviePath_, kVideoSize, kCaptureRateNum, kCaptureRateDen, choice_)) {
        failed(writer.error());
        return;
    }
    // The next pictures are read and converted on other threads while this one is encoded.
    auto load = [&dir, &writer](int i) {
        return writer.convert(PaddedPicture::from(QImage(dir.filePath(frameFileName(i)))));
    };
    int next = 1;
    auto fill = [&] {
        while (next <= frameCount_ && int(ahead.size()) < kReadAhead)
            ahead.push_back(std::async(std::launch::async, load, next++));
    };
    int lastPercent = -1;
    for (int i = 1; i <= frameCount_; ++i) {
        fill();
        VideoFrame picture = ahead.front().get();
        ahead.pop_front();
        if (isInterruptionRequested()) {
            failed(QStringLiteral("Cancelled."));
            return;
        }
        if (picture.isNull()) {
            // A gap would shift every later picture in time: the movie is not made.
            failed(QStringLiteral("The picture %1 cannot be read.")
                       .arg(QDir::toNativeSeparators(dir.filePath(frameFileName(i)))));
            return;
        }
        if (!writer.writeFrame(std::move(picture))) {
            failed(writer.error());
            return;
        }
        written_ = i;
        const int percent = static_cast<int>(std::lrint(i * 100.0 / frameCount_));
        if (percent != lastPercent) {
            lastPercent = percent;
            emit progress(percent);
        }
    }
    if (!writer.finish()) {
        failed(writer.error());
        return;
    }
    ok_ = true;
}

} // namespace quorvel
