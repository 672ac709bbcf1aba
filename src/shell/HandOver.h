#pragma once
// The names that second starts hand to the running instance, opened in the order of the starts
// however close together they come (a file manager starts one process per selected strat).
//
// A second start appends its name to the queue file beside the instance lock, under a lock on
// that file held for a few milliseconds, with the moment the process began (the kernel's start
// time, then its process number): starts that reach the queue out of turn, one slower to load
// than the other, are still opened in the order they began. The running instance takes the
// queue once it has stopped growing for a tick (at most a couple of seconds into a burst) and
// sorts it by that moment. The setting "Comando" keeps its meaning: what it holds is taken
// first, at every tick, as always; it is written by a start that cannot reach the queue (the
// lock not had within a few seconds, the queue full or not a private file), and a value left
// there is opened by the next start. A second start never waits on the running instance.

#include <QString>
#include <QStringList>

namespace quorvel {

class SettingsStore;

class HandOver {
public:
    // store: the settings store that holds "Comando"; name: the instance's name (its files lie
    // in SingleInstance::instanceFolder()).
    explicit HandOver(SettingsStore &store, const QString &name = QStringLiteral("Quorvel"));

    // A second start: hands command over (not empty).
    void give(const QString &command);
    // The running instance, at each tick: what "Comando" holds, then the queue in the order of
    // the starts once it has stopped growing.
    QStringList take();

    // The queue file, "" when there is no private instance folder.
    QString queuePath() const;

    // How long a second start waits for the lock before it writes "Comando" regardless.
    static constexpr int kGiveWaitMs = 3000;
    // The queue holds at most this much; a start past it writes "Comando" regardless.
    static constexpr qint64 kMaxQueueBytes = 1 << 20;

    // Ticks a growing queue is left to settle before it is taken all the same.
    static constexpr int kMaxHeldTicks = 10;

private:
    SettingsStore &store_;
    QString name_;
    qint64 seenSize_ = 0; // the queue's size at the last tick that left it
    int heldTicks_ = 0;
};

} // namespace quorvel
