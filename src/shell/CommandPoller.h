#pragma once
// tmrCmd of the main window: every 200 ms it looks for a command line that a second start
// handed over under "Comando" and for a request to come to the front.
//
// A command is taken by clearing "Comando" first and opening second, so a slow open is never
// repeated by the next tick. A switch ("-d", "-Spanish", any line starting with '-') is
// dropped: it is never taken for a file name. A second start hands a file name over made
// absolute (claimInstance), so a file whose name starts with '-' still arrives.

#include <QObject>
#include <QString>

#include <functional>

class QTimer;

namespace quorvel {

class SettingsStore;

class CommandPoller : public QObject {
    Q_OBJECT
public:
    // store: the program-wide store unless given. activationFile: the running instance's
    // request file (SingleInstance::activationRequestPath() unless given).
    explicit CommandPoller(QObject *parent = nullptr, SettingsStore *store = nullptr,
                           const QString &activationFile = QString());

    // Starts the 200 ms timer; it then runs for the window's life.
    void start();
    // One tick (also called by tests).
    void tmrCmd_Timer();

    QTimer *tmrCmd() const { return timer_; }

signals:
    // A file to open (handedOverPath): the main window's openNamedFile.
    void openFile(const QString &path);
    // The main window should come to the front.
    void raise();

private:
    SettingsStore *store_ = nullptr;
    QString activationFile_;
    QTimer *timer_ = nullptr;
};

} // namespace quorvel
