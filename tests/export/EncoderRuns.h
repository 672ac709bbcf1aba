#pragma once
// Waits the program never does, through an event loop that lets the workers' reports in: the
// program's usable encoders after its whole trial, an encode job run to its end. And pictures
// that hold the encoder busy for as long as a test likes.

#include "export/EncoderTrial.h"
#include "export/PictureSource.h"
#include "export/VideoEncodeJob.h"

#include <QEventLoop>
#include <QTimer>

#include <atomic>
#include <chrono>
#include <future>
#include <semaphore>

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
// called: it is held inside that picture until then, or for a minute at most, so that a program
// that waits for its encoder fails its test rather than hangs it.
class HeldPictures : public FramePictures {
public:
    using FramePictures::FramePictures;
    PaddedPicture picture(int number, QString *why) const override
    {
        if (number == 1) {
            asked_ = true;
            asking_.release();
            let_.wait_for(std::chrono::minutes(1));
            over_ = true;
        }
        return FramePictures::picture(number, why);
    }
    // Waits a minute at most for the encoder to ask for the first picture.
    bool asked() const { return asking_.try_acquire_for(std::chrono::minutes(1)); }
    bool held() const { return asked_ && !over_; }
    void release() { letGo_.set_value(); }

private:
    mutable std::counting_semaphore<> asking_{0};
    mutable std::atomic<bool> asked_{false}, over_{false};
    std::promise<void> letGo_;
    std::shared_future<void> let_ = letGo_.get_future().share();
};

} // namespace quorvel
