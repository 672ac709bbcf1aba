#include "export/VideoEncodeJob.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <condition_variable>
#include <csignal>
#include <cmath>
#include <cstring>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <pthread.h>

namespace quorvel {

namespace {
// Pictures converted ahead of the encoder, at most.
constexpr int kReadAhead = 8;
// Works whose thread has not ended.
std::atomic<int> live{0};
} // namespace

// What the thread uses, kept alive by it after the job has gone.
struct VideoEncodeJob::Work {
    std::shared_ptr<const PictureSource> pictures;
    int frameCount = 0;
    FileDescriptor out;
    QString openError; // why out could not be made
    VideoCodecChoice choice;
    std::atomic<bool> cancelled{false};
    std::mutex mutex; // the pictures being read, in encode()
    std::condition_variable wake;
    // Held while the thread reports; owner is null once the job has gone, so nothing reports
    // to it after that.
    std::mutex reportLock;
    VideoEncodeJob *owner = nullptr;

    // Runs call(job) on the job's thread, if the job is still there then.
    template <typename Call>
    void report(Call call)
    {
        std::lock_guard locker(reportLock);
        if (VideoEncodeJob *job = owner)
            QMetaObject::invokeMethod(job, [job, call] { call(job); }, Qt::QueuedConnection);
    }
    void cancel()
    {
        {
            std::lock_guard lock(mutex);
            cancelled = true;
        }
        wake.notify_all();
    }
    JobOutcome encode();
};

int VideoEncodeJob::helperCount() { return std::clamp(QThread::idealThreadCount() / 2, 1, 4); }

int VideoEncodeJob::liveWorks() { return live; }

VideoEncodeJob::VideoEncodeJob(std::shared_ptr<const PictureSource> pictures, int frameCount,
                               const QString &moviePath, const VideoCodecChoice &choice, QObject *parent)
    : VideoEncodeJob(std::move(pictures), frameCount, FileDescriptor(), choice, parent)
{
    // Never through a link, never waiting on a pipe that stands under the name.
    const int fd = ::open(QFile::encodeName(moviePath).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    const int why = errno;
    work_->out = FileDescriptor(fd);
    if (!work_->out.isValid())
        work_->openError = QDir::toNativeSeparators(moviePath) + QStringLiteral(": ")
                           + QString::fromLocal8Bit(std::strerror(why));
}

VideoEncodeJob::VideoEncodeJob(std::shared_ptr<const PictureSource> pictures, int frameCount, FileDescriptor out,
                               const VideoCodecChoice &choice, QObject *parent)
    : QObject(parent), work_(std::make_shared<Work>())
{
    work_->pictures = std::move(pictures);
    work_->frameCount = frameCount;
    work_->out = std::move(out);
    work_->choice = choice;
    work_->owner = this;
}

VideoEncodeJob::~VideoEncodeJob()
{
    work_->cancel();
    std::lock_guard locker(work_->reportLock);
    work_->owner = nullptr;
}

void VideoEncodeJob::start()
{
    if (started_ || !work_->owner)
        return;
    started_ = true;
    ++live;
    std::thread(&VideoEncodeJob::run, work_).detach();
}

void VideoEncodeJob::cancel() { work_->cancel(); }

void VideoEncodeJob::run(const std::shared_ptr<Work> &work)
{
    // A reader that has gone makes a write into a pipe fail with EPIPE rather than end the
    // program.
    sigset_t pipeSignal;
    sigemptyset(&pipeSignal);
    sigaddset(&pipeSignal, SIGPIPE);
    pthread_sigmask(SIG_BLOCK, &pipeSignal, nullptr);
    const JobOutcome outcome = work->encode();
    // The helpers and the encoder are gone: the work no longer counts by the time anyone
    // hears of its end, so a save started from finished() sees only its own.
    --live;
    work->report([outcome](VideoEncodeJob *job) {
        job->outcome_ = outcome;
        emit job->finished(outcome);
    });
}

JobOutcome VideoEncodeJob::Work::encode()
{
    AviWriter writer;
    writer.setCancelFlag(&cancelled);
    auto failed = [&](const QString &why) {
        writer.abandon();
        return cancelled ? JobOutcome{Outcome::Cancelled, QString()} : JobOutcome{Outcome::Failed, why};
    };
    if (frameCount <= 0)
        return failed(QStringLiteral("No picture was recorded."));
    if (!writer.open(std::move(out), kVideoSize, kCaptureRateNum, kCaptureRateDen, choice))
        return failed(openError.isEmpty() ? writer.error() : writer.error() + QStringLiteral(": ") + openError);

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
                std::unique_lock lock(mutex);
                wake.wait(lock, [&] {
                    return stop || cancelled || nextToLoad > frameCount || nextToLoad < nextToEncode + kReadAhead;
                });
                if (stop || cancelled || nextToLoad > frameCount)
                    return;
                i = nextToLoad++;
            }
            QString why;
            VideoFrame frame = writer.convert(pictures->picture(i, &why), scaler);
            {
                std::lock_guard lock(mutex);
                if (frame.isNull())
                    unreadable[i] = why.isEmpty() ? QStringLiteral("The picture %1 cannot be converted.").arg(i) : why;
                ready.emplace(i, std::move(frame));
            }
            wake.notify_all();
        }
    };
    std::vector<std::thread> helpers;
    for (int h = 0; h < helperCount(); ++h)
        helpers.emplace_back(helper);
    auto endHelpers = [&] {
        {
            std::lock_guard lock(mutex);
            stop = true;
        }
        wake.notify_all();
        for (std::thread &t : helpers)
            t.join();
        helpers.clear();
    };

    int lastPercent = -1;
    for (int i = 1; i <= frameCount; ++i) {
        VideoFrame picture;
        QString why;
        {
            std::unique_lock lock(mutex);
            wake.wait(lock, [&] { return cancelled || ready.count(i) != 0; });
            if (cancelled)
                break;
            picture = std::move(ready[i]);
            ready.erase(i);
            why = unreadable[i];
            nextToEncode = i + 1;
        }
        wake.notify_all();
        if (picture.isNull()) {
            endHelpers();
            // A gap would shift every later picture in time: the movie is not made.
            return failed(why);
        }
        if (!writer.writeFrame(std::move(picture))) {
            endHelpers();
            return failed(writer.error());
        }
        const int percent = static_cast<int>(std::lrint(i * 100.0 / frameCount));
        if (percent != lastPercent) {
            lastPercent = percent;
            report([percent](VideoEncodeJob *job) { emit job->progress(percent); });
        }
        if (cancelled)
            break;
    }
    endHelpers();
    if (cancelled || !writer.finish())
        return failed(writer.error());
    return {Outcome::Done, QString()};
}

} // namespace quorvel
