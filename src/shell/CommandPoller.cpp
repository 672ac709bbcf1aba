#include "shell/CommandPoller.h"

#include "platform/Settings.h"
#include "shell/SingleInstance.h"
#include "shell/StartUp.h"

#include <QTimer>

namespace quorvel {

CommandPoller::CommandPoller(QObject *parent, SettingsStore *store, const QString &activationFile)
    : QObject(parent),
      store_(store ? store : &settingsStore()),
      handOver_(*store_),
      activationFile_(activationFile.isEmpty() ? SingleInstance::activationRequestPath() : activationFile),
      timer_(new QTimer(this))
{
    setObjectName(QStringLiteral("tmrCmd"));
    timer_->setObjectName(QStringLiteral("tmrCmd"));
    timer_->setInterval(200);
    connect(timer_, &QTimer::timeout, this, &CommandPoller::tmrCmd_Timer);
}

void CommandPoller::start() { timer_->start(); }

void CommandPoller::tmrCmd_Timer()
{
    bool bringToFront = SingleInstance::takeActivationRequest(activationFile_);

    const QStringList commands = handOver_.take();
    for (const QString &command : commands) {
        if (command.startsWith(u'-') || isCommandSwitch(command))
            continue;
        const QString path = handedOverPath(command);
        if (!path.isEmpty())
            waiting_.append(path);
    }
    // Front first: opening may ask about a missing overview, and that question must be seen.
    if (bringToFront || !commands.isEmpty())
        emit raise();
    if (opening_)
        return; // the open in hand runs this tick; the names taken open after it
    opening_ = true;
    while (!waiting_.isEmpty())
        emit openFile(waiting_.takeFirst());
    opening_ = false;
}

} // namespace quorvel
