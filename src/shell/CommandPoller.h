#pragma once
// tmrCmd of the main window: every 200 ms it takes what second starts handed over ("Comando"
// and the queue behind it, HandOver) and looks for a request to come to the front.
//
// Every name taken is opened once, in the order of the starts. What is handed over is taken
// (and cleared) before anything opens; an open may run the event loop (a question, a long
// read), and a tick meanwhile only takes what came, which opens after it, in turn. A switch
// ("-d", "-Spanish", any line starting with '-') is dropped: it is never taken for a file
// name. A second start hands a file name over made absolute (claimInstance), so a file whose
// name starts with '-' still arrives.

#include "shell/HandOver.h"

#include <QObject>
#include <QString>
#include <QStringList>

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
    HandOver handOver_;
    QString activationFile_;
    QTimer *timer_ = nullptr;
    QStringList waiting_; // taken, not yet opened
    bool opening_ = false;
};

} // namespace quorvel
