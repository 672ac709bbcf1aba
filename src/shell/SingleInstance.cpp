#include "shell/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QStandardPaths>

#include <cerrno>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {

SingleInstance::SingleInstance(const QString &name)
    : name_(name)
{
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::isPrivateFolder(const QString &path)
{
    struct stat st {};
    if (path.isEmpty() || ::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & (S_IWGRP | S_IWOTH)) == 0;
}

QString SingleInstance::instanceFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (isPrivateFolder(runtime))
        return runtime;
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (data.isEmpty())
        return {};
    const QString own = data + QStringLiteral("/instance");
    if (QDir().mkpath(own) && !isPrivateFolder(own))
        QFile::setPermissions(own, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    return isPrivateFolder(own) ? own : QString();
}

namespace {
QString instanceFile(const QString &name, const char *suffix)
{
    const QString folder = SingleInstance::instanceFolder();
    if (folder.isEmpty())
        return {};
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("LOGNAME");
    return folder + u'/' + name + u'-' + user + QLatin1String(suffix);
}
} // namespace

QString SingleInstance::lockPath() const
{
    return instanceFile(name_, ".lock");
}

QString SingleInstance::activationRequestPath(const QString &name)
{
    return instanceFile(name, ".raise");
}

bool SingleInstance::isFirst()
{
    if (lock_)
        return first_;
    const QString path = lockPath();
    if (path.isEmpty()) {
        first_ = true; // nowhere safe to lock: run rather than never start
        return first_;
    }
    lock_ = std::make_unique<QLockFile>(path);
    // Never stale by age: the running instance may run for days. A lock whose process is gone
    // is still recognised and taken over.
    lock_->setStaleLockTime(0);
    first_ = lock_->tryLock(0);
    if (first_)
        QFile::remove(activationPath()); // an old request is not for this instance
    return first_;
}

bool replaceStrayEntry(const QString &path)
{
    struct stat st {};
    const QByteArray name = QFile::encodeName(path);
    if (::lstat(name.constData(), &st) != 0)
        return errno == ENOENT;
    if (S_ISREG(st.st_mode) && st.st_uid == ::geteuid() && st.st_nlink == 1)
        return true;
    return !S_ISDIR(st.st_mode) && ::unlink(name.constData()) == 0;
}

void SingleInstance::requestActivation() const
{
    const QString path = activationPath();
    if (path.isEmpty() || !replaceStrayEntry(path))
        return;
    // Never through a link, never into a pipe: only the request's own byte is written.
    const int fd = ::open(QFile::encodeName(path).constData(),
                          O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0600);
    if (fd < 0)
        return;
    // The file's presence is the request; its byte only makes it a non-empty file.
    struct stat st {};
    ssize_t written = 0;
    if (::fstat(fd, &st) == 0 && S_ISREG(st.st_mode))
        written = ::write(fd, "1", 1);
    ::close(fd);
    Q_UNUSED(written);
}

bool SingleInstance::takeActivationRequest(const QString &path)
{
    return !path.isEmpty() && QFile::exists(path) && QFile::remove(path);
}

} // namespace quorvel
