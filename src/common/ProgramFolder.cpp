#include "common/ProgramFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace quorvel {

QString programFolder()
{
    const QString home = qEnvironmentVariable("QUORVEL_HOME");
    QString folder = !home.isEmpty() ? home
                     : QCoreApplication::instance() ? QCoreApplication::applicationDirPath()
                                                    : QDir::currentPath();
    folder = QDir::cleanPath(QDir::fromNativeSeparators(folder));
    return folder;
}

QString writableFolder()
{
    const QString folder = programFolder();
    const QFileInfo info(folder);
    if (info.isDir() && info.isWritable())
        return folder;
    QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    if (data.isEmpty())
        data = QDir::homePath() + QStringLiteral("/.local/share/Quorvel");
    QDir().mkpath(data);
    return QDir::cleanPath(data);
}

} // namespace quorvel
