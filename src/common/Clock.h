#pragma once
// The time source of everything paced by the clock: playback, GIF animation, the busy
// animation and recording. Code asks the clock how much time has passed instead of counting
// timer wake-ups, so a late or coalesced wake-up never slows the pace; tests hand a ManualClock
// in and move time by hand, without sleeping.

#include <QtGlobal>

namespace quorvel {

class Clock {
public:
    virtual ~Clock() = default;
    // Nanoseconds from a fixed origin; never goes back.
    virtual qint64 nsecsElapsed() const = 0;

    // The monotonic clock of the machine.
    static Clock &system();
};

// A clock that moves only when told to.
class ManualClock : public Clock {
public:
    qint64 nsecsElapsed() const override { return now_; }
    void advanceMs(qint64 ms) { now_ += ms * 1000000; }
    void advanceNs(qint64 ns) { now_ += ns; }

private:
    qint64 now_ = 0;
};

} // namespace quorvel
