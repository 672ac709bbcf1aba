#include "export/VideoFiles.h"

#include "common/ProgramFolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace quorvel {

namespace {

void deleteMatching(const QString &folder, const QString &pattern)
{
    if (folder.isEmpty())
        return;
    const QDir dir(folder);
    for (const QString &name : dir.entryList({pattern}, QDir::Files))
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

bool isAviName(const QString &path) { return path.endsWith(QStringLiteral(".avi"), Qt::CaseInsensitive); }

bool replaceFileWith(const QString &target, const QString &source, QString *error)
{
    QFile in(source);
    if (!in.open(QIODevice::ReadOnly)) {
        *error = in.errorString();
        return false;
    }
    QSaveFile out(target);
    if (!out.open(QIODevice::WriteOnly)) {
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
        if (out.write(buffer.constData(), n) != n) {
            *error = out.errorString();
            out.cancelWriting();
            return false;
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
