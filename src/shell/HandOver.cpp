#include "shell/HandOver.h"

#include "platform/Settings.h"
#include "shell/SingleInstance.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QThread>
#include <QUrl>

#include <cerrno>

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
        qint64 done = 0;
        while (done < line.size()) {
            const ssize_t n = ::write(fd_, line.constData() + done, size_t(line.size() - done));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                // A cut line would be read as another name: the queue goes back as it was.
                [[maybe_unused]] const int undone = ::ftruncate(fd_, before);
                return false;
            }
            done += n;
        }
        return true;
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
    if (queue.locked()) {
        store_.sync();
        const bool nothingPending = queue.size() == 0 && store_.GetSetting(kComando).isEmpty();
        if (!nothingPending && queue.append(QUrl::toPercentEncoding(command) + '\n'))
            return;
    }
    store_.SaveSetting(kComando, command); // also the way of a start that cannot queue
}

QStringList HandOver::take()
{
    // No wait on the interface thread: while a second start holds the lock, "Comando" alone is
    // taken (it is always older than the queue) and the queue waits for the next tick.
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
    const QByteArray all = queue.takeAll();
    for (const QByteArray &line : all.split('\n')) {
        if (!line.isEmpty())
            taken.append(QUrl::fromPercentEncoding(line));
    }
    return taken;
}

} // namespace quorvel
