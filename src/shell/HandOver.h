#pragma once
// The names that second starts hand to the running instance, opened in the order of the starts
// however close together they come (a file manager starts one process per selected strat).
//
// A second start appends one line to the queue file beside the instance lock, under a lock on
// that file held for a moment: the moment the process began (the kernel's start time, in clock
// ticks since boot), its process number and the name, percent-encoded. It has handed over once
// the line stands whole in the file at the queue's name; else it writes it again (a cut line
// before it, bytes written without the lock, a queue replaced under it). The running instance
// takes the queue once its newest entry began a margin ago, so that a start slow to load still
// arrives in turn (at most a couple of seconds into a burst), and sorts it by that moment. Only
// whole lines of that form count: anything else in the file is dropped, never opened. Each
// entry opens once, also when its start wrote it again.
//
// No name is lost while the running instance lives. A second start that finds the queue
// unusable waits for the instance to mend it: at its ticks the instance replaces whatever stands
// at the queue's name that is not a regular file of its own (a link, a pipe, another user's
// file; never following it), empties a full queue, and puts a new queue in place of one whose
// lock is held far longer than any hand-over takes, keeping the whole lines it holds. A start
// that still cannot hand over in time says so. The setting "Comando" keeps its meaning: what it
// holds is opened first at every tick, and a value left there is opened by the next start.

#include <QString>
#include <QStringList>

#include <deque>
#include <limits>
#include <vector>

namespace quorvel {

class Clock;
class SettingsStore;

class HandOver {
public:
    // store: the settings store that holds "Comando"; name: the instance's name (its files lie
    // in SingleInstance::instanceFolder()); clock: time since boot, the start moments' clock.
    explicit HandOver(SettingsStore &store, const QString &name = QStringLiteral("Quorvel"),
                      const Clock &clock = bootClock());

    // A second start: appends command (not empty) to the queue, waiting at most waitMs for the
    // lock, for room or for the running instance to mend the queue. False when it could not.
    bool give(const QString &command, int waitMs = kGiveWaitMs);
    // The running instance, at each tick: what "Comando" holds, then the queue in the order of
    // the starts once its newest entry is a margin old. An idle tick writes nothing.
    QStringList take();

    // The queue file, "" when there is no private instance folder.
    QString queuePath() const;

    // The time since boot (CLOCK_BOOTTIME), which the kernel's start times count from.
    static const Clock &bootClock();

    // How long a second start waits before it says that its strat could not be handed over.
    static constexpr int kGiveWaitMs = 10000;
    // The queue holds at most this much; a start past it waits for the queue to be taken.
    static constexpr qint64 kMaxQueueBytes = 1 << 20;
    // How old the newest entry must be before the queue is taken: longer than a start takes
    // from its beginning to the queue, even on a cold cache.
    static constexpr qint64 kSettleMs = 1000;
    // Ticks a queue is left to settle before it is taken all the same.
    static constexpr int kMaxHeldTicks = 10;
    // A lock held this long belongs to no hand-over (each holds it for a moment).
    static constexpr qint64 kStuckLockMs = 1000;

private:
    struct Entry {
        qulonglong began = 0; // clock ticks since boot
        qint64 pid = 0;
        QString command;
    };
    // The entries of the queue's whole lines ("began pid name\n", both numbers in digits, the
    // name percent-encoded); whatever else it holds is passed over.
    static std::vector<Entry> parseQueue(const QByteArray &bytes);
    // The latest start moment a line may give (its milliseconds fit in a qint64).
    static constexpr qulonglong kMaxBegan = std::numeric_limits<qint64>::max() / 1000;
    // How many of the latest entries are remembered so that none is opened twice.
    static constexpr std::size_t kRecentStarts = 1024;

    SettingsStore &store_;
    QString name_;
    const Clock &clock_;
    std::vector<Entry> kept_; // taken over from a queue whose lock was stuck, not yet opened
    std::deque<Entry> recent_; // the latest entries taken
    qint64 seenSize_ = 0;     // the queue's size at the last tick that left it
    int heldTicks_ = 0;
    qint64 lockedSinceMs_ = -1; // when a tick first found the queue locked, -1 when it was not
    quint64 lockedFile_ = 0;    // the inode that was locked
};

} // namespace quorvel
