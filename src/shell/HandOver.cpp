#include "shell/HandOver.h"

#include "common/Clock.h"
#include "common/FileHelpers.h"
#include "platform/Settings.h"
#include "shell/SingleInstance.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <ctime>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {

namespace {

const QString kComando = QStringLiteral("Comando");

class BootClock final : public Clock {
public:
    qint64 nsecsElapsed() const override
    {
        timespec ts {};
        ::clock_gettime(CLOCK_BOOTTIME, &ts);
        return qint64(ts.tv_sec) * 1000000000 + ts.tv_nsec;
    }
};

qint64 ticksPerSecond()
{
    static const long ticks = ::sysconf(_SC_CLK_TCK);
    return ticks > 0 ? ticks : 100;
}

qint64 nowMs(const Clock &clock) { return clock.nsecsElapsed() / 1000000; }

// The queue file, opened without following a link or waiting on a pipe. Only a regular file of
// this user's with no other name is used: the folder is private, but nothing is trusted.
class QueueFile {
public:
    explicit QueueFile(const QString &path)
    {
        if (path.isEmpty())
            return;
        fd_ = ::open(QFile::encodeName(path).constData(),
                     O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
        if (fd_ >= 0 && (::fstat(fd_, &st_) != 0 || !S_ISREG(st_.st_mode) || st_.st_uid != ::geteuid()
                         || st_.st_nlink != 1))
            close();
    }
    ~QueueFile() { close(); }
    Q_DISABLE_COPY(QueueFile)

    bool usable() const { return fd_ >= 0; }
    bool tryLock() { return usable() && ::flock(fd_, LOCK_EX | LOCK_NB) == 0; }
    quint64 inode() const { return st_.st_ino; }
    // True while the name still leads to this file (a stuck queue is replaced under it).
    bool stillAt(const QString &path) const
    {
        struct stat now {};
        return ::lstat(QFile::encodeName(path).constData(), &now) == 0 && now.st_dev == st_.st_dev
            && now.st_ino == st_.st_ino;
    }
    qint64 size() const
    {
        struct stat now {};
        return usable() && ::fstat(fd_, &now) == 0 ? now.st_size : -1;
    }
    bool append(const QByteArray &line)
    {
        const qint64 before = size();
        if (before < 0 || ::lseek(fd_, 0, SEEK_END) < 0)
            return false;
        // A line cut short at the end (a start killed mid-write, stray bytes) costs only itself:
        // ended with a blank, it can never read as a whole line of its own.
        char last = '\n';
        const QByteArray whole = before > 0 && ::pread(fd_, &last, 1, before - 1) == 1 && last != '\n'
            ? " \n" + line
            : line;
        if (before + whole.size() > HandOver::kMaxQueueBytes)
            return false;
        if (writeFully(fd_, whole.constData(), whole.size()) == 0)
            return true;
        // A cut line is dropped by the reader, but the queue goes back as it was all the same.
        [[maybe_unused]] const int undone = ::ftruncate(fd_, before);
        return false;
    }
    // What the queue holds, up to its cap.
    QByteArray read() const
    {
        QByteArray all(qBound<qint64>(0, size(), HandOver::kMaxQueueBytes), Qt::Uninitialized);
        qint64 done = 0;
        while (done < all.size()) {
            const ssize_t n = ::pread(fd_, all.data() + done, size_t(all.size() - done), done);
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                break;
            done += n;
        }
        all.truncate(done);
        return all;
    }
    // True when line (with its newline) stands whole on a line of its own: a writer that takes
    // no lock may have written into it.
    bool holdsWhole(const QByteArray &line) const
    {
        const QByteArray all = read();
        for (qsizetype at = all.indexOf(line); at >= 0; at = all.indexOf(line, at + 1)) {
            if (at == 0 || all[at - 1] == '\n')
                return true;
        }
        return false;
    }
    bool truncate() { return ::ftruncate(fd_, 0) == 0; }

private:
    void close()
    {
        if (fd_ >= 0)
            ::close(fd_); // and the lock with it
        fd_ = -1;
    }

    int fd_ = -1;
    struct stat st_ {};
};

// When this process began: the kernel's start time in clock ticks (stat's 22nd field, after the
// command name that may hold blanks and brackets), 0 when it cannot be read.
QByteArray startMoment()
{
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return QByteArrayLiteral("0");
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 1).simplified().split(' ');
    // Fields from the state (the 3rd) on: the start time is the 22nd.
    bool ok = false;
    const qulonglong ticks = fields.size() > 19 ? fields[19].toULongLong(&ok) : 0;
    return QByteArray::number(ok ? ticks : 0);
}

// Digits only, at most 18 of them (no sign, no blank, no overflow).
bool wholeNumber(const QByteArray &field, qulonglong &value)
{
    if (field.isEmpty() || field.size() > 18)
        return false;
    value = 0;
    for (const char c : field) {
        if (c < '0' || c > '9')
            return false;
        value = value * 10 + qulonglong(c - '0');
    }
    return true;
}

// ASCII only, whatever the locale says of other bytes.
bool asciiHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
bool asciiLetterOrDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

// What QUrl::toPercentEncoding gives: unreserved characters and %XX.
bool percentEncoded(const QByteArray &field)
{
    for (qsizetype i = 0; i < field.size(); ++i) {
        const char c = field[i];
        if (c == '%') {
            if (i + 2 >= field.size() || !asciiHexDigit(field[i + 1]) || !asciiHexDigit(field[i + 2]))
                return false;
            i += 2;
        } else if (!asciiLetterOrDigit(c) && c != '-' && c != '.' && c != '_' && c != '~') {
            return false;
        }
    }
    return !field.isEmpty();
}

} // namespace

const Clock &HandOver::bootClock()
{
    static const BootClock clock;
    return clock;
}

HandOver::HandOver(SettingsStore &store, const QString &name, const Clock &clock)
    : store_(store), name_(name), clock_(clock)
{
}

QString HandOver::queuePath() const
{
    const QString lock = SingleInstance(name_).lockPath();
    return lock.isEmpty() ? QString() : lock.chopped(5) + QStringLiteral(".handover");
}

std::vector<HandOver::Entry> HandOver::parseQueue(const QByteArray &bytes)
{
    std::vector<Entry> entries;
    qsizetype from = 0;
    for (qsizetype end; (end = bytes.indexOf('\n', from)) >= 0; from = end + 1) {
        const QList<QByteArray> fields = bytes.sliced(from, end - from).split(' ');
        qulonglong began = 0, pid = 0;
        // A start moment that no clock since boot reaches is not one (and its milliseconds would
        // not fit).
        if (fields.size() != 3 || !wholeNumber(fields[0], began) || began > kMaxBegan
            || !wholeNumber(fields[1], pid) || !percentEncoded(fields[2]))
            continue;
        const QString command = QUrl::fromPercentEncoding(fields[2]);
        if (!command.isEmpty())
            entries.push_back({began, qint64(pid), command});
    }
    return entries; // what follows the last newline is a line cut short
}

bool HandOver::give(const QString &command, int waitMs)
{
    const QString path = queuePath();
    if (path.isEmpty())
        return false;
    const QByteArray line = startMoment() + ' ' + QByteArray::number(qint64(::getpid())) + ' '
        + QUrl::toPercentEncoding(command) + '\n';
    const QDeadlineTimer deadline(waitMs);
    for (;;) {
        {
            QueueFile queue(path);
            // Short steps rather than a blocking lock: a start gives up in time, and the starts
            // waiting together take the lock about in the order they came. A queue replaced
            // meanwhile is opened again.
            bool locked = queue.tryLock();
            while (!locked && queue.usable() && queue.stillAt(path) && !deadline.hasExpired()) {
                QThread::usleep(500);
                locked = queue.tryLock();
            }
            // Handed over once the line stands whole in the queue at its name. A line merged
            // with bytes written without the lock, or written into a queue replaced meanwhile,
            // is written again (the running instance opens a start's name once).
            if (locked && queue.stillAt(path) && queue.append(line) && queue.holdsWhole(line)
                && queue.stillAt(path))
                return true;
        }
        if (deadline.hasExpired())
            return false;
        // Not a queue of ours, or full: the running instance mends or takes it at its next tick.
        QThread::msleep(20);
    }
}

QStringList HandOver::take()
{
    QStringList taken;
    store_.sync(); // another process may have written since the last tick
    const QString command = store_.GetSetting(kComando);
    if (!command.isEmpty()) {
        store_.SaveSetting(kComando, QString());
        taken.append(command);
    }
    const QString path = queuePath();
    if (path.isEmpty() || !replaceStrayEntry(path))
        return taken;
    // No wait on the interface thread: while a second start holds the lock, the queue waits
    // for the next tick.
    QueueFile queue(path);
    if (!queue.usable())
        return taken;
    const qint64 now = nowMs(clock_);
    if (!queue.tryLock()) {
        if (lockedSinceMs_ < 0 || lockedFile_ != queue.inode()) {
            lockedSinceMs_ = now;
            lockedFile_ = queue.inode();
        } else if (now - lockedSinceMs_ >= kStuckLockMs && queue.stillAt(path)
                   && ::unlink(QFile::encodeName(path).constData()) == 0) {
            // Held far past any hand-over: a new queue takes its place, and what the old one
            // holds opens with the next take.
            const std::vector<Entry> held = parseQueue(queue.read());
            kept_.insert(kept_.end(), held.begin(), held.end());
            lockedSinceMs_ = -1;
        }
        return taken;
    }
    lockedSinceMs_ = -1;

    const qint64 size = queue.size();
    if (size <= 0 && kept_.empty())
        return taken; // idle: nothing is written
    std::vector<Entry> entries = kept_;
    const std::vector<Entry> queued = parseQueue(queue.read());
    entries.insert(entries.end(), queued.begin(), queued.end());

    // A burst still arriving is left to settle, so that a start slow to load still opens in turn.
    qulonglong newest = 0;
    for (const Entry &entry : entries)
        newest = std::max(newest, entry.began);
    const qint64 newestMs = qint64(newest) * 1000 / ticksPerSecond();
    const bool settling = size != seenSize_ || (!entries.empty() && now - newestMs < kSettleMs);
    if (settling && heldTicks_ < kMaxHeldTicks) {
        seenSize_ = size;
        ++heldTicks_;
        return taken;
    }
    if (size > 0 && !queue.truncate())
        return taken; // what stays is taken next time, not twice
    seenSize_ = 0;
    heldTicks_ = 0;
    kept_.clear();
    std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        return a.began != b.began ? a.began < b.began : a.pid < b.pid;
    });
    // A start that saw its queue replaced under it wrote its line again, which may have been
    // taken from the old queue already, in this batch or an earlier one.
    for (const Entry &entry : entries) {
        if (std::any_of(recent_.begin(), recent_.end(), [&](const Entry &seen) {
                return seen.began == entry.began && seen.pid == entry.pid && seen.command == entry.command;
            }))
            continue;
        recent_.push_back(entry);
        if (recent_.size() > kRecentStarts)
            recent_.pop_front();
        taken.append(entry.command);
    }
    return taken;
}

} // namespace quorvel
