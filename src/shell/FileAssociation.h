#pragma once
// Strat files open in Quorvel from the desktop: a desktop entry for the program and a
// shared-mime-info type for ".qvl", written under the user's data folder, which is what
// freedesktop desktops read. The database tools run afterwards when they are installed.

#include <QString>
#include <QStringList>

namespace quorvel {

struct tpAssociacao {
    QString Extension = QStringLiteral(".qvl");
    QString MimeType = QStringLiteral("application/x-qvl");
    QString Description = QStringLiteral("Tática do Quorvel");
    QString Program;  // the executable's absolute path
    QString IconPath; // the program's icon picture (PNG); empty: none
    QString DesktopId = QStringLiteral("quorvel");
};

struct RegistrationResult {
    bool ok = false;
    QString error; // why it failed
    QStringList written; // the files written
};

// The user's data folder: XDG_DATA_HOME, or ~/.local/share.
QString userDataHome();

// One argument of a desktop entry's Exec line, quoted and escaped, as the file stores it.
QString desktopExecArgument(const QString &argument);

// Writes the type, the desktop entry and the icon under dataHome, then updates the desktop's
// databases. ok only when every file was written whole.
RegistrationResult RegisterFileType(const tpAssociacao &record, const QString &dataHome = userDataHome());

// The main window's load: registers while "Associado" is below 3 and stores 3 only when the
// registration succeeded, so a failed one is tried again at the next start.
RegistrationResult registerStratFilesOnce();

} // namespace quorvel
