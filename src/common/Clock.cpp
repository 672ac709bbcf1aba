#include "common/Clock.h"

#include <QElapsedTimer>

namespace quorvel {

namespace {

class SteadyClock : public Clock {
public:
    SteadyClock() { timer_.start(); }
    qint64 nsecsElapsed() const override { return timer_.nsecsElapsed(); }

private:
    QElapsedTimer timer_;
};

} // namespace

Clock &Clock::system()
{
    static SteadyClock clock;
    return clock;
}

} // namespace quorvel
