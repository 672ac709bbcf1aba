#include "export/VideoEncodeJob.h"

#include "export/VideoFiles.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <algorithm>
#include <csignal>
#include <cmath>
#include <map>
#include <thread>
#include <vector>

#include <pthread.h>
#include <unistd.h>

namespace quorvel {

namespace {
// Pictures converted ahead of the encoder, at most.
constexpr int kReadAhead = 8;
// A frame picture is a window capture: far below this.
constexpr qint64 kMaxPictureBytes = 256 << 20;
} // namespace

int VideoEncodeJob::helperCount() { return std::clamp(QThread::idealThreadCount() / 2, 1, 4); }

VideoEncodeJob::VideoEncodeJob(const QString &folder, int frameCount, const QString &moviePath,
                               const VideoCodecChoice &choice, QObject *parent)
    : QThread(parent), folder_(folder), frameCount_(frameCount), moviePath_(moviePath), choice_(choice)
{
}

VideoEncodeJob::VideoEncodeJob(const QString &folder, int frameCount, int pipeFd, const VideoCodecChoice &choice,
                               QObject *parent)
    : QThread(parent), folder_(folder), frameCount_(frameCount), moviePath_(QStringLiteral("pipe:%1").arg(pipeFd)),
      pipeFd_(pipeFd), choice_(choice)
{
}

VideoEncodeJob::~VideoEncodeJob()
{
    cancel();
    wait();
    if (pipeFd_ >= 0) // never started
        ::close(pipeFd_);
}

void VideoEncodeJob::cancel()
{
    {
        std::lock_guard lock(mutex_);
        cancelled_ = true;
    }
    wake_.notify_all();
}

void VideoEncodeJob::run()
{
    if (pipeFd_ >= 0) {
        // A reader that has gone makes a write fail with EPIPE rather than end the program.
        sigset_t pipeSignal;
        sigemptyset(&pipeSignal);
        sigaddset(&pipeSignal, SIGPIPE);
        pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
    }
    encode();
    if (pipeFd_ >= 0) {
        ::close(pipeFd_);
        pipeFd_ = -1;
    }
}

void VideoEncodeJob::encode()
{
    outcome_ = {};
    written_ = 0;
    AviWriter writer;
    writer.setCancelFlag(&cancelled_);
    const QDir dir(folder_);
    auto failed = [&](const QString &why) {
        writer.abandon();
        if (cancelled_) {
            outcome_ = {Outcome::Cancelled, QString()};
            return;
        }
        outcome_ = {Outcome::Failed, why};
        if (pipeFd_ < 0)
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

    // Converted pictures by number, filled by the helpers at most kReadAhead ahead.
    std::map<int, VideoFrame> ready;
    std::map<int, QString> unreadable;
    int nextToLoad = 1;
    int nextToEncode = 1;
    bool stop = false;
    auto helper = [&] {
        Scaler scaler;
        for (;;) {
            int i = 0;
            {
                std::unique_lock lock(mutex_);
                wake_.wait(lock, [&] {
                    return stop || cancelled_ || nextToLoad > frameCount_ || nextToLoad < nextToEncode + kReadAhead;
                });
                if (stop || cancelled_ || nextToLoad > frameCount_)
                    return;
                i = nextToLoad++;
            }
            QString why;
            QByteArray bytes = readOwnFile(dir.filePath(frameFileName(i)), kMaxPictureBytes, &why);
            VideoFrame frame = writer.convert(PaddedPicture::fromBitmapFile(std::move(bytes)), scaler);
            {
                std::lock_guard lock(mutex_);
                if (frame.isNull())
                    unreadable[i] = why;
                ready.emplace(i, std::move(frame));
            }
            wake_.notify_all();
        }
    };
    std::vector<std::thread> helpers;
    for (int h = 0; h < helperCount(); ++h)
        helpers.emplace_back(helper);
    auto endHelpers = [&] {
        {
            std::lock_guard lock(mutex_);
            stop = true;
        }
        wake_.notify_all();
        for (std::thread &t : helpers)
            t.join();
        helpers.clear();
    };

    int lastPercent = -1;
    for (int i = 1; i <= frameCount_; ++i) {
        VideoFrame picture;
        QString why;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [&] { return cancelled_ || ready.count(i) != 0; });
            if (cancelled_)
                break;
            picture = std::move(ready[i]);
            ready.erase(i);
            why = unreadable[i];
            nextToEncode = i + 1;
        }
        wake_.notify_all();
        if (picture.isNull()) {
            endHelpers();
            // A gap would shift every later picture in time: the movie is not made.
            failed(QStringLiteral("The picture %1 cannot be read. %2")
                       .arg(QDir::toNativeSeparators(dir.filePath(frameFileName(i))), why)
                       .trimmed());
            return;
        }
        if (!writer.writeFrame(std::move(picture))) {
            endHelpers();
            failed(writer.error());
            return;
        }
        written_ = i;
        const int percent = static_cast<int>(std::lrint(i * 100.0 / frameCount_));
        if (percent != lastPercent) {
            lastPercent = percent;
            emit progress(percent);
        }
        if (cancelled_)
            break;
    }
    endHelpers();
    if (cancelled_ || !writer.finish()) {
        failed(writer.error());
        return;
    }
    outcome_ = {Outcome::Done, QString()};
}

} // namespace quorvel
