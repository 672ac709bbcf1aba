#pragma once
// Waits the program never does, through an event loop that lets the workers' reports in: the
// program's usable encoders after its whole trial, an encode job run to its end. And pictures
// that hold the encoder busy for as long as a test likes.

#include "export/EncoderTrial.h"
#include "export/PictureSource.h"
#include "export/VideoEncodeJob.h"

#include <QEventLoop>
#include <QTimer>

#include <chrono>
#include <condition_variable>
#include <mutex>

namespace quorvel {

inline QList<VideoEncoderInfo> usableVideoEncoders()
{
    EncoderTrial &trial = EncoderTrial::program();
    trial.start();
    QEventLoop loop;
    QObject::connect(&trial, &EncoderTrial::ended, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    if (!trial.hasEnded())
        loop.exec();
    return trial.usable();
}

// False when the job had not ended within ms.
inline bool runToEnd(VideoEncodeJob &job, int ms)
{
    bool ended = false;
    QEventLoop loop;
    QObject::connect(&job, &VideoEncodeJob::finished, &loop, [&] {
        ended = true;
        loop.quit();
    });
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
    return ended;
}

// The frame files of a folder, the first of which the encoder gets only once release() is
// called: until then it is held inside that picture. A hold lasts a minute at most, so that a
// program that waits for its encoder fails its test rather than hangs it.
class HeldPictures : public FramePictures {
public:
    using FramePictures::FramePictures;
    PaddedPicture picture(int number, QString *why) const override
    {
        if (number == 1) {
            std::unique_lock lock(mutex_);
            asked_ = true;
            changed_.notify_all();
            changed_.wait_for(lock, std::chrono::minutes(1), [this] { return let_; });
            over_ = true;
        }
        return FramePictures::picture(number, why);
    }
    // False when the encoder had not asked for the first picture within a minute.
    bool waitUntilAsked() const
    {
        std::unique_lock lock(mutex_);
        return changed_.wait_for(lock, std::chrono::minutes(1), [this] { return asked_; });
    }
    // The encoder is in the first picture, neither let go nor past the hold's minute.
    bool held() const
    {
        std::lock_guard lock(mutex_);
        return asked_ && !over_;
    }
    void release()
    {
        std::lock_guard lock(mutex_);
        let_ = true;
        changed_.notify_all();
    }

private:
    mutable std::mutex mutex_;
    mutable std::condition_variable changed_;
    mutable bool asked_ = false;
    mutable bool over_ = false;
    bool let_ = false;
};

} // namespace quorvel
