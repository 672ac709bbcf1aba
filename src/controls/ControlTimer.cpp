#include "controls/ControlTimer.h"

#include "common/Clock.h"

#include <QTimer>

#include <algorithm>
#include <vector>

namespace quorvel {

namespace {

// The live timers, for wakeDue(). User-interface thread only.
std::vector<ControlTimer *> &liveTimers()
{
    static std::vector<ControlTimer *> timers;
    return timers;
}

} // namespace

ControlTimer::ControlTimer(Clock &clock, QObject *parent) : QObject(parent), clock_(clock), wakeUp_(new QTimer(this))
{
    wakeUp_->setSingleShot(true);
    wakeUp_->setTimerType(Qt::PreciseTimer);
    connect(wakeUp_, &QTimer::timeout, this, &ControlTimer::wake);
    liveTimers().push_back(this);
}

ControlTimer::~ControlTimer()
{
    auto &timers = liveTimers();
    timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
}

qint64 ControlTimer::nowMs() const { return clock_.nsecsElapsed() / 1000000; }

void ControlTimer::start(int ms)
{
    interval_ = std::max(ms, 1); // never a busy loop, even when asked for 0
    active_ = true;
    deadline_ = nowMs() + interval_;
    arm();
}

void ControlTimer::stop()
{
    active_ = false;
    wakeUp_->stop();
}

void ControlTimer::arm()
{
    wakeUp_->start(int(std::clamp<qint64>(deadline_ - nowMs(), 0, 1 << 30)));
}

void ControlTimer::wake()
{
    if (!active_)
        return;
    const qint64 now = nowMs();
    if (now < deadline_) { // woken early: wait for the rest
        arm();
        return;
    }
    // The next period counts from this one's end; after a stall it starts afresh rather than
    // firing the missed periods in a burst.
    deadline_ += std::max(interval_, 1);
    if (deadline_ <= now)
        deadline_ = now + std::max(interval_, 1);
    arm();
    emit timeout(); // may stop, restart or delete this timer
}

void ControlTimer::wakeDue()
{
    for (;;) {
        ControlTimer *next = nullptr;
        for (ControlTimer *t : liveTimers())
            if (t->active_ && t->deadline_ <= t->nowMs() && (!next || t->deadline_ < next->deadline_))
                next = t;
        if (!next)
            return;
        next->wake();
    }
}

void ControlTimer::advance(ManualClock &clock, int ms)
{
    wakeDue();
    for (int i = 0; i < ms; ++i) {
        clock.advanceMs(1);
        wakeDue();
    }
}

} // namespace quorvel
