#pragma once
// The folders a shell test runs in: the program folder it names, and settings and desktop data
// in a temporary folder, with the first run already behind it (no welcome on start-up).
#include "platform/Settings.h"

#include <QDir>
#include <QDirIterator>
#include <QTemporaryDir>

namespace quorvel {

// The build's staged program folder (from) copied into folder (programs linked), so that what
// the program writes there (the video work folder, auto-saves, the debug log, a file saved
// over) lands in the temporary folder, never in the build. Returns folder's path.
inline QByteArray stageProgramFolder(const QTemporaryDir &folder, const QString &from)
{
    const QDir source(from), target(folder.path());
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo f(it.next());
        const QString name = source.relativeFilePath(f.filePath());
        if (name == QLatin1String("video") || name.startsWith(QLatin1String("video/"))
            || name == QLatin1String("debug.txt"))
            continue; // written by a run, not staged by the build
        if (f.isDir())
            target.mkpath(name);
        else if (f.isExecutable())
            QFile::link(f.absoluteFilePath(), target.filePath(name));
        else
            QFile::copy(f.filePath(), target.filePath(name));
    }
    return folder.path().toUtf8();
}

#ifdef QUORVEL_PROGRAM_DIR
// This test process's own copy of the build's program folder, staged on first use and removed
// when the process ends.
inline QByteArray testProgramFolder()
{
    static QTemporaryDir folder;
    static const QByteArray path = stageProgramFolder(folder, QStringLiteral(QUORVEL_PROGRAM_DIR));
    return path;
}
#endif

inline void useTestFolders(const QByteArray &programFolder, const QTemporaryDir &config)
{
    qputenv("QUORVEL_HOME", programFolder);
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    qputenv("XDG_DATA_HOME", config.path().toUtf8()); // the strat file type registers here
    settingsStore().SaveSetting(QStringLiteral("Vez"), QStringLiteral("1"));
}

#ifdef QUORVEL_PROGRAM_DIR
// The set-up of a test of the program's windows: this process's staged program folder, and
// settings and desktop data in a temporary folder of the process. Returns the program folder.
inline QDir useStagedTestFolders()
{
    static QTemporaryDir config;
    useTestFolders(testProgramFolder(), config);
    return QDir(QString::fromUtf8(testProgramFolder()));
}
#endif

} // namespace quorvel
