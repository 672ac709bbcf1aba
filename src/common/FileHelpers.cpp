#include "common/FileHelpers.h"

#include <QFile>
#include <QFileInfo>

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

} // namespace quorvel
