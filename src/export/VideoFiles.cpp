#include "export/VideoFiles.h"

#include "common/FileHelpers.h"
#include "common/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {

namespace {

void deleteMatching(const QString &folder, const QString &pattern)
{
    if (folder.isEmpty())
        return;
    const QDir dir(folder);
    const auto all = QDir::Files | QDir::System | QDir::Hidden;
    for (const QString &name : dir.entryList({pattern}, all))
        QFile::remove(dir.filePath(name));
}

} // namespace

QString videoWorkFolder()
{
    const QString folder = writableFolder() + QStringLiteral("/video");
    if (!QDir().mkpath(folder))
        return QString();
    return folder;
}

QString frameFileName(int number)
{
    return QStringLiteral("%1.bmp").arg(number, 4, 10, QLatin1Char('0'));
}

void deleteFrameFiles(const QString &folder) { deleteMatching(folder, QStringLiteral("*.bmp")); }
void deleteSoundFiles(const QString &folder) { deleteMatching(folder, QStringLiteral("*.wav")); }

void deleteMovieFiles(const QString &folder)
{
    deleteMatching(folder, QStringLiteral("tempmovie.*"));
    deleteMatching(folder, QStringLiteral("combined.*"));
}

bool writeOwnFile(const QString &path, const QByteArray &bytes, QString *error)
{
    const QByteArray name = QFile::encodeName(path);
    const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC, 0644);
    if (fd < 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (const int failed = writeFully(fd, bytes.constData(), bytes.size()); failed != 0) {
        *error = QString::fromLocal8Bit(std::strerror(failed));
        ::close(fd);
        ::unlink(name.constData());
        return false;
    }
    if (::close(fd) != 0) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        ::unlink(name.constData());
        return false;
    }
    return true;
}

QByteArray readOwnFile(const QString &path, qint64 maxBytes, QString *error)
{
    QByteArray bytes;
    readRegularFile(path, maxBytes, bytes, error, FollowLinks::No);
    return bytes;
}

QString saveTargetProblem(const QString &path)
{
    QString problem;
    return isSaveTarget(path, &problem) ? QString() : problem;
}

bool moveFileInto(const QString &source, const QString &target, QString *error, const std::atomic<bool> *stop)
{
    const QString problem = saveTargetProblem(target);
    if (!problem.isEmpty()) {
        *error = problem;
        return false;
    }
    const QString resolved = QFileInfo(target).isSymLink() ? QFileInfo(target).canonicalFilePath() : target;
    if (::rename(QFile::encodeName(source).constData(), QFile::encodeName(resolved).constData()) == 0)
        return true;
    if (errno != EXDEV) {
        *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    if (!replaceFileWith(resolved, source, error, stop))
        return false;
    QFile::remove(source);
    return true;
}

bool writesSideFiles(const QString &path)
{
    static const QStringList kinds = {QStringLiteral("m3u8"), QStringLiteral("m3u"), QStringLiteral("mpd"),
                                      QStringLiteral("ism"), QStringLiteral("f4m"), QStringLiteral("ts.m3u8")};
    return kinds.contains(QFileInfo(path).suffix().toLower());
}

bool isAviName(const QString &path) { return path.endsWith(QStringLiteral(".avi"), Qt::CaseInsensitive); }

bool replaceFileWith(const QString &target, const QString &source, QString *error, const std::atomic<bool> *stop)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = in.errorString();
        return false;
    }
    // Unbuffered, and each piece written until it is all in: a write cut short (a file-size
    // limit, a full disk) then fails with its reason instead of committing a torn file.
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        *error = out.errorString();
        return false;
    }
    QByteArray buffer(1 << 20, Qt::Uninitialized);
    for (;;) {
        const qint64 n = in.read(buffer.data(), buffer.size());
        if (n < 0) {
            *error = in.errorString();
            out.cancelWriting();
            return false;
        }
        if (n == 0)
            break;
        if (stop && *stop) {
            *error = QStringLiteral("Stopped");
            out.cancelWriting();
            return false;
        }
        for (qint64 done = 0; done < n;) {
            const qint64 written = out.write(buffer.constData() + done, n - done);
            if (written <= 0) {
                *error = out.errorString();
                out.cancelWriting();
                return false;
            }
            done += written;
        }
    }
    if (!out.commit()) {
        *error = out.errorString();
        return false;
    }
    return true;
}

QString aviBeside(const QString &target)
{
    const QFileInfo info(target);
    const QString base = info.dir().filePath(info.completeBaseName());
    QString name = base + QStringLiteral(".avi");
    for (int n = 2; QFileInfo::exists(name) && n < 1000; ++n)
        name = base + QStringLiteral(" (%1).avi").arg(n);
    return name;
}

} // namespace quorvel
