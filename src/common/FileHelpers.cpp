#include "common/FileHelpers.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <cerrno>
#include <csignal>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace quorvel {

bool ArquivoExiste(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

bool PastaExiste(const QString &path)
{
    QString p = path;
    while (p.size() > 1 && (p.endsWith(u'/') || p.endsWith(u'\\')))
        p.chop(1);
    return !p.isEmpty() && QFileInfo(p).isDir();
}

bool ArquivoTemDados(const QString &path)
{
    const QFileInfo info(path);
    return info.isFile() && info.size() > 0;
}

bool RenomeiaArquivo(const QString &oldPath, const QString &newPath)
{
    if (!ArquivoExiste(oldPath) || QFileInfo::exists(newPath))
        return false;
    return QFile::rename(oldPath, newPath);
}

RegularFileReader::~RegularFileReader()
{
    if (fd_ >= 0)
        ::close(fd_);
}

bool RegularFileReader::open(const QString &path, qint64 maxBytes, FollowLinks links)
{
    error_.clear();
    if (fd_ >= 0) {
        ::close(fd_);
        fd_ = -1;
    }
    if (path.isEmpty()) {
        error_ = QStringLiteral("cannot open the file");
        return false;
    }
    // O_NONBLOCK: opening a pipe must not wait for its writer. It means nothing for the
    // regular files that get past the type check.
    const QByteArray name = QFile::encodeName(path);
    int fd;
    do
        fd = ::open(name.constData(),
                    O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | (links == FollowLinks::No ? O_NOFOLLOW : 0));
    while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        error_ = QStringLiteral("cannot open the file: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        error_ = QStringLiteral("not a regular file");
        return false;
    }
    if (st.st_size > maxBytes) {
        ::close(fd);
        error_ = QStringLiteral("the file is too large");
        return false;
    }
    fd_ = fd;
    size_ = st.st_size;
    mtimeSec_ = st.st_mtim.tv_sec;
    mtimeNsec_ = st.st_mtim.tv_nsec;
    return true;
}

bool RegularFileReader::read(char *to, qint64 n)
{
    if (fd_ < 0) {
        if (error_.isEmpty())
            error_ = QStringLiteral("the file is not open");
        return false;
    }
    while (n > 0) {
        const ssize_t got = ::read(fd_, to, static_cast<std::size_t>(n));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            error_ = QStringLiteral("cannot read the file: %1").arg(QString::fromLocal8Bit(std::strerror(errno)));
            return false;
        }
        if (got == 0) {
            error_ = QStringLiteral("the file shrank while it was read");
            return false;
        }
        to += got;
        n -= got;
    }
    return true;
}

bool RegularFileReader::unchanged()
{
    struct stat st {};
    if (fd_ < 0 || ::fstat(fd_, &st) != 0) {
        error_ = QStringLiteral("cannot read the file");
        return false;
    }
    if (st.st_size != size_)
        error_ = st.st_size < size_ ? QStringLiteral("the file shrank while it was read")
                                    : QStringLiteral("the file grew while it was read");
    else if (st.st_mtim.tv_sec != mtimeSec_ || st.st_mtim.tv_nsec != mtimeNsec_)
        error_ = QStringLiteral("the file changed while it was read");
    else
        return true;
    return false;
}

bool RegularFileReader::readAll(QByteArray &out)
{
    QByteArray bytes(static_cast<qsizetype>(size_), Qt::Uninitialized);
    if (!read(bytes.data(), size_))
        return false;
    // One byte past the size: a file holding more than its size said (one that grew, or a
    // kernel file that reports 0) is as torn as one that shrank.
    char extra = 0;
    ssize_t n;
    do
        n = ::read(fd_, &extra, 1);
    while (n < 0 && errno == EINTR);
    if (n != 0) {
        error_ = QStringLiteral("the file grew while it was read");
        return false;
    }
    if (!unchanged())
        return false;
    out = std::move(bytes);
    return true;
}

bool readRegularFile(const QString &path, qint64 maxBytes, QByteArray &out, QString *error, FollowLinks links)
{
    RegularFileReader reader;
    if (reader.open(path, maxBytes, links) && reader.readAll(out))
        return true;
    if (error)
        *error = reader.error();
    return false;
}

bool isSaveTarget(const QString &path, QString *error)
{
    struct stat st {};
    if (path.isEmpty() || ::stat(QFile::encodeName(path).constData(), &st) != 0 || S_ISREG(st.st_mode))
        return true;
    if (error)
        *error = QStringLiteral("It is not a regular file (a folder, a pipe, a socket or a device), so it is left as it is.");
    return false;
}

int writeFully(int fd, const char *data, qint64 size)
{
    for (qint64 done = 0; done < size;) {
        const ssize_t n = ::write(fd, data + done, size_t(size - done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        done += n;
    }
    return 0;
}

void ignoreFileSizeSignal()
{
    std::signal(SIGXFSZ, SIG_IGN);
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    if (!isSaveTarget(path, error))
        return false;
    // Unbuffered, and written until every byte is in: past the file-size limit or on a full
    // disk a write is cut short without an error, and a buffered QSaveFile would commit the
    // torn file. The next write reports the reason.
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Unbuffered)) {
        qint64 done = 0;
        while (done < bytes.size()) {
            const qint64 n = file.write(bytes.constData() + done, bytes.size() - done);
            if (n <= 0)
                break;
            done += n;
        }
        if (done == bytes.size() && file.commit())
            return true;
    }
    if (error)
        *error = file.errorString().isEmpty() ? QStringLiteral("cannot write the file") : file.errorString();
    return false;
}

} // namespace quorvel
