#include "shell/SingleInstance.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QStandardPaths>

namespace quorvel {

SingleInstance::SingleInstance(const QString &name)
    : name_(name)
{
}

SingleInstance::~SingleInstance() = default;

QString SingleInstance::runtimeFolder()
{
    const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!runtime.isEmpty() && QDir().mkpath(runtime))
        return runtime;
    return QDir::tempPath();
}

QString SingleInstance::lockPath() const
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("LOGNAME");
    // The temp folder may be shared between users; the runtime folder is the user's own.
    return runtimeFolder() + u'/' + name_ + u'-' + user + QStringLiteral(".lock");
}

QString SingleInstance::activationRequestPath(const QString &name)
{
    QString user = qEnvironmentVariable("USER");
    if (user.isEmpty())
        user = qEnvironmentVariable("LOGNAME");
    return runtimeFolder() + u'/' + name + u'-' + user + QStringLiteral(".raise");
}

bool SingleInstance::isFirst()
{
    if (lock_)
        return first_;
    lock_ = std::make_unique<QLockFile>(lockPath());
    // Never stale by age: the running instance may run for days. A lock whose process is gone
    // is still recognised and taken over.
    lock_->setStaleLockTime(0);
    first_ = lock_->tryLock(0);
    if (first_)
        QFile::remove(activationPath()); // an old request is not for this instance
    return first_;
}

void SingleInstance::requestActivation() const
{
    QFile file(activationPath());
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write("1");
}

bool SingleInstance::takeActivationRequest(const QString &path)
{
    return !path.isEmpty() && QFile::exists(path) && QFile::remove(path);
}

} // namespace quorvel
