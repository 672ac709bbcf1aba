#include "shell/HandOver.h"

#include "common/FileHelpers.h"
#include "platform/Settings.h"
#include "shell/SingleInstance.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <QUrl>

#include <algorithm>
#include <cerrno>
#include <vector>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {

namespace {

const QString kComando = QStringLiteral("Comando");

// The queue file, open and locked for as long as it lives; invalid when it could not be had.
class LockedQueue {
public:
    LockedQueue(const QString &path, int waitMs)
    {
        if (path.isEmpty())
            return;
        // Never through a link, never a pipe: the folder is private, but nothing is trusted.
        fd_ = ::open(QFile::encodeName(path).constData(),
                     O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
        struct stat st {};
        if (fd_ < 0 || ::fstat(fd_, &st) != 0 || !S_ISREG(st.st_mode) || st.st_uid != ::geteuid()) {
            release();
            return;
        }
        // Short steps rather than a blocking lock: a start that waits gives up in time, and the
        // starts waiting together take the lock about in the order they came.
        const QDeadlineTimer deadline(waitMs);
        while (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
            if ((errno != EWOULDBLOCK && errno != EINTR) || deadline.hasExpired()) {
                release();
                return;
            }
            QThread::usleep(500);
        }
    }
    ~LockedQueue() { release(); }
    Q_DISABLE_COPY(LockedQueue)

    bool locked() const { return fd_ >= 0; }
    qint64 size() const
    {
        struct stat st {};
        return ::fstat(fd_, &st) == 0 ? st.st_size : -1;
    }

    bool append(const QByteArray &line)
    {
        const qint64 before = size();
        if (before < 0 || before + line.size() > HandOver::kMaxQueueBytes)
            return false;
        if (::lseek(fd_, 0, SEEK_END) < 0)
            return false;
        if (writeFully(fd_, line.constData(), line.size()) == 0)
            return true;
        // A cut line would be read as another name: the queue goes back as it was.
        [[maybe_unused]] const int undone = ::ftruncate(fd_, before);
        return false;
    }

    // The whole queue, emptied.
    QByteArray takeAll()
    {
        const qint64 bytes = qMin(size(), HandOver::kMaxQueueBytes);
        QByteArray all(qMax<qint64>(bytes, 0), Qt::Uninitialized);
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
        if (::ftruncate(fd_, 0) != 0)
            return {}; // what stays is taken next time, not twice
        return all;
    }

private:
    void release()
    {
        if (fd_ >= 0)
            ::close(fd_); // and the lock with it
        fd_ = -1;
    }

    int fd_ = -1;
};

} // namespace

namespace {

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

struct Entry {
    qulonglong began = 0;
    qint64 pid = 0;
    QString command;
};

} // namespace

HandOver::HandOver(SettingsStore &store, const QString &name)
    : store_(store), name_(name)
{
}

QString HandOver::queuePath() const
{
    const QString lock = SingleInstance(name_).lockPath();
    return lock.isEmpty() ? QString() : lock.chopped(5) + QStringLiteral(".handover");
}

void HandOver::give(const QString &command)
{
    LockedQueue queue(queuePath(), kGiveWaitMs);
    const QByteArray line = startMoment() + ' ' + QByteArray::number(qint64(::getpid())) + ' '
        + QUrl::toPercentEncoding(command) + '\n';
    if (!queue.locked() || !queue.append(line))
        store_.SaveSetting(kComando, command);
}

QStringList HandOver::take()
{
    // No wait on the interface thread: while a second start holds the lock, the queue waits
    // for the next tick.
    LockedQueue queue(queuePath(), 0);
    QStringList taken;
    store_.sync(); // another process may have written since the last tick
    const QString command = store_.GetSetting(kComando);
    if (!command.isEmpty()) {
        store_.SaveSetting(kComando, QString());
        taken.append(command);
    }
    if (!queue.locked())
        return taken;
    // A burst still arriving is left to settle, so that a start slow to load still opens in turn.
    const qint64 size = queue.size();
    if (size > 0 && size != seenSize_ && heldTicks_ < kMaxHeldTicks) {
        seenSize_ = size;
        ++heldTicks_;
        return taken;
    }
    seenSize_ = 0;
    heldTicks_ = 0;
    std::vector<Entry> entries;
    const QByteArray all = queue.takeAll();
    for (const QByteArray &line : all.split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() == 3 && !fields[2].isEmpty())
            entries.push_back({fields[0].toULongLong(), fields[1].toLongLong(), QUrl::fromPercentEncoding(fields[2])});
    }
    std::stable_sort(entries.begin(), entries.end(), [](const Entry &a, const Entry &b) {
        return a.began != b.began ? a.began < b.began : a.pid < b.pid;
    });
    for (const Entry &entry : entries)
        taken.append(entry.command);
    return taken;
}

} // namespace quorvel
