#pragma once
// The names that second starts hand to the running instance, kept in the order of the starts
// however close together they come (a file manager starts one process per selected strat).
//
// The first of a burst goes under the setting "Comando", as it always did: a value left
// pending there is read by the next start's first tick. While "Comando" or the queue still
// holds something not yet taken, a later start appends its name to the queue file beside the
// instance lock instead of overwriting it. Both are written and taken under one lock on the
// queue file, held for a few milliseconds; the running instance takes "Comando" first, then
// the queue, so the order holds. A second start never waits on the running instance: only on
// that lock, and at most a few seconds (then it writes "Comando" as it stands, which a
// busy instance takes late and a later start may replace).

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
    // The running instance: everything handed over and not yet taken, oldest first.
    QStringList take();

    // The queue file, "" when there is no private instance folder.
    QString queuePath() const;

    // How long a second start waits for the lock before it writes "Comando" regardless.
    static constexpr int kGiveWaitMs = 3000;
    // The queue holds at most this much; a start past it writes "Comando" regardless.
    static constexpr qint64 kMaxQueueBytes = 1 << 20;

private:
    SettingsStore &store_;
    QString name_;
};

} // namespace quorvel
