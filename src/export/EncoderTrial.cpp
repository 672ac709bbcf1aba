#include "export/EncoderTrial.h"

#include <QCoreApplication>

#include <mutex>
#include <thread>

namespace quorvel {

// Shared by the trial's thread and its owner: the thread keeps it alive after the owner goes.
struct EncoderTrial::State {
    mutable std::mutex lock; // the fields below
    QList<VideoEncoderInfo> usable;
    bool started = false;
    bool stopped = false;
    bool ended = false;
    // Held while the thread reports; owner is null once stopped, so nothing reports to an
    // object that has gone.
    std::mutex reportLock;
    EncoderTrial *owner = nullptr;
};

EncoderTrial::EncoderTrial() : state_(std::make_shared<State>()) { state_->owner = this; }

EncoderTrial::~EncoderTrial() { stop(); }

EncoderTrial &EncoderTrial::program()
{
    static EncoderTrial trial;
    static const bool hooked = [] {
        if (QCoreApplication::instance())
            qAddPostRoutine([] { program().stop(); });
        return true;
    }();
    Q_UNUSED(hooked);
    return trial;
}

void EncoderTrial::start()
{
    {
        std::lock_guard<std::mutex> locker(state_->lock);
        if (state_->started || state_->stopped)
            return;
        state_->started = true;
    }
    std::thread(&EncoderTrial::run, state_, aviVideoEncoders()).detach();
}

void EncoderTrial::run(std::shared_ptr<State> state, QList<VideoEncoderInfo> candidates)
{
    const auto report = [&state](void (EncoderTrial::*signal)()) {
        std::lock_guard<std::mutex> locker(state->reportLock);
        if (state->owner)
            (state->owner->*signal)();
    };
    for (const VideoEncoderInfo &e : std::as_const(candidates)) {
        {
            std::lock_guard<std::mutex> locker(state->lock);
            if (state->stopped)
                break;
        }
        VideoCodecChoice choice;
        choice.encoder = e.name;
        // One thread each: all of the machine's threads cost hundreds of megabytes and give
        // the same answer.
        const bool usable = AviWriter::opensWith(choice, kVideoSize, kCaptureRateNum, kCaptureRateDen, nullptr, 1);
        {
            std::lock_guard<std::mutex> locker(state->lock);
            if (usable)
                state->usable.append(e);
        }
        report(&EncoderTrial::tried);
    }
    {
        std::lock_guard<std::mutex> locker(state->lock);
        state->ended = true;
    }
    report(&EncoderTrial::ended);
}

void EncoderTrial::stop()
{
    {
        std::lock_guard<std::mutex> locker(state_->lock);
        state_->stopped = true;
        if (!state_->started)
            state_->ended = true;
    }
    std::lock_guard<std::mutex> locker(state_->reportLock);
    state_->owner = nullptr;
}

QList<VideoEncoderInfo> EncoderTrial::usable() const
{
    std::lock_guard<std::mutex> locker(state_->lock);
    return state_->usable;
}

bool EncoderTrial::hasEnded() const
{
    std::lock_guard<std::mutex> locker(state_->lock);
    return state_->ended || state_->stopped;
}

void startProbingVideoEncoders() { EncoderTrial::program().start(); }

} // namespace quorvel
