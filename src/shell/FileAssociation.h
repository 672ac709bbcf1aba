#pragma once
// Strat files open in Quorvel from the desktop: a desktop entry for the program and a
// shared-mime-info type for ".qvl", written under the user's data folder, which is what
// freedesktop desktops read. The database tools run afterwards when they are installed, without
// waiting for them: a tool that hangs, or a slow home folder, must not hold the start-up.

#include <QObject>
#include <QPointer>
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

// The desktop's database tools (update-mime-database, update-desktop-database) for a data
// folder, started at once and left to run; each is killed after 20 s. The object deletes itself
// once all have ended. What the tools do only speeds up the desktop's look-ups, so their
// failure does not undo a registration.
class DesktopDatabaseUpdate : public QObject {
    Q_OBJECT
public:
    explicit DesktopDatabaseUpdate(const QString &dataHome, QObject *parent = nullptr);
    ~DesktopDatabaseUpdate() override;
    int running() const { return running_; }

signals:
    void finished();

private:
    void start(const QString &name, const QString &argument, const QString &dataHome);
    void toolEnded();

    int running_ = 0;
};

struct RegistrationResult {
    bool ok = false;
    QString error; // why it failed
    QStringList written; // the files written
    QPointer<DesktopDatabaseUpdate> tools; // the database tools still at work, if any
};

// The user's data folder: XDG_DATA_HOME, or ~/.local/share.
QString userDataHome();

// One argument of a desktop entry's Exec line, quoted and escaped, as the file stores it.
QString desktopExecArgument(const QString &argument);

// Writes the type, the desktop entry and the icon under dataHome, then starts the update of
// the desktop's databases. ok only when every file was written whole.
RegistrationResult RegisterFileType(const tpAssociacao &record, const QString &dataHome = userDataHome());

// The main window's load: registers while "Associado" is below 3 and stores 3 only when the
// registration succeeded, so a failed one is tried again at the next start.
RegistrationResult registerStratFilesOnce();

} // namespace quorvel
