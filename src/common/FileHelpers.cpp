#include "common/FileHelpers.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace quorvel {

bool ArquivoExiste(const QString &path)
{
    if (path.isEmpty())
        return false;
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
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
    return info.exists() && !info.isDir() && info.size() > 0;
}

bool RenomeiaArquivo(const QString &oldPath, const QString &newPath)
{
    if (!ArquivoExiste(oldPath) || QFileInfo::exists(newPath))
        return false;
    return QFile::rename(oldPath, newPath);
}

bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error)
{
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return true;
    if (error)
        *error = file.errorString().isEmpty() ? QStringLiteral("cannot write the file") : file.errorString();
    return false;
}

} // namespace quorvel
