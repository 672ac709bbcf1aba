#pragma once
// The frame timer of the animated controls and the balloon: a repeating timer paced by the
// clock seam (common/Clock.h). A precise QTimer only wakes it; whether the interval is over is
// the clock's say, so under a ManualClock tests move time by hand and call wakeDue(), and
// every frame comes at its millisecond.

#include <QObject>

#include <cstdint>

class QTimer;

namespace quorvel {

class Clock;
class ManualClock;

class ControlTimer : public QObject {
    Q_OBJECT
public:
    explicit ControlTimer(Clock &clock, QObject *parent = nullptr);
    ~ControlTimer() override;

    // (Re)starts the countdown: timeout() every ms milliseconds until stop().
    void start(int ms);
    void stop();
    bool isActive() const { return active_; }
    int interval() const { return interval_; }

    // Fires every timer whose time has come by its clock, earliest first, until none is due.
    static void wakeDue();
    // Moves a manual clock on ms milliseconds one at a time, firing what falls due on the way.
    static void advance(ManualClock &clock, int ms);

signals:
    void timeout();

private:
    qint64 nowMs() const;
    void wake();
    void arm();

    Clock &clock_;
    QTimer *wakeUp_ = nullptr;
    bool active_ = false;
    int interval_ = 0;
    qint64 deadline_ = 0; // clock milliseconds
};

} // namespace quorvel
