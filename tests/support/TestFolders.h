#pragma once
// The folders a shell test runs in: the program folder it names, and settings and desktop data
// in a temporary folder, with the first run already behind it (no welcome on start-up).
#include "platform/Settings.h"

#include <QTemporaryDir>

namespace quorvel {

inline void useTestFolders(const QByteArray &programFolder, const QTemporaryDir &config)
{
    qputenv("QUORVEL_HOME", programFolder);
    qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
    qputenv("XDG_DATA_HOME", config.path().toUtf8()); // the strat file type registers here
    settingsStore().SaveSetting(QStringLiteral("Vez"), QStringLiteral("1"));
}

} // namespace quorvel
