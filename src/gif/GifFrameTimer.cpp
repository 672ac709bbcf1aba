#include "gif/GifFrameTimer.h"

#include <algorithm>

namespace quorvel {

void GifFrameTimer::load(std::vector<int> delaysMs)
{
    delays_ = std::move(delaysMs);
    current_ = delays_.empty() ? 0 : 1;
    state_ = Stopped;
    armed_ = Stop;
    loopsDone_ = 0;
}

int GifFrameTimer::frameDelay() const
{
    const int delay = current_ >= 1 && current_ <= frameCount() ? delays_[std::size_t(current_ - 1)] : 0;
    return std::max(delay, minFrameDelayMs);
}

bool GifFrameTimer::set(Kind kind, bool runTime)
{
    if (kind == Stop) {
        state_ = Stopped;
        armed_ = Stop;
        return false;
    }
    if (state_ == Running)
        return false;
    state_ = Stopped;
    if (current_ == 0 || !runTime || (frameCount() == 1 && kind == Play))
        return false;
    armed_ = kind;
    armedMs_ = kind == DelayedBuild ? buildDelayMs : frameDelay();
    state_ = Running;
    return true;
}

GifFrameTimer::Tick GifFrameTimer::tick()
{
    Tick result;
    if (current_ == 0)
        return result;
    armed_ = Stop;
    bool wrapped = false;
    if (++current_ > frameCount()) {
        current_ = 1;
        wrapped = true;
    }
    if (wrapped && loops > 0 && ++loopsDone_ >= loops) {
        state_ = Stopped;
        loopsDone_ = 0;
        result.ended = true;
        return result;
    }
    armed_ = Play;
    armedMs_ = frameDelay();
    return result;
}

void GifFrameTimer::pause()
{
    if (state_ == Stopped)
        return;
    armed_ = Stop;
    state_ = Paused;
}

void GifFrameTimer::rewind()
{
    set(Stop);
    loopsDone_ = 0;
    if (current_ != 0)
        current_ = 1;
}

void GifFrameTimer::setCurrentFrame(int frame)
{
    if (frame >= 1 && frame <= frameCount())
        current_ = frame;
}

} // namespace quorvel
