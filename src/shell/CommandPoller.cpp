#include "shell/CommandPoller.h"

#include "platform/Settings.h"
#include "shell/SingleInstance.h"
#include "shell/StartUp.h"

#include <QTimer>

namespace quorvel {

CommandPoller::CommandPoller(QObject *parent, SettingsStore *store, const QString &activationFile)
    : QObject(parent),
      store_(store ? store : &settingsStore()),
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

    store_->sync(); // another process may have written since the last tick
    const QString command = store_->GetSetting(QStringLiteral("Comando"));
    if (!command.isEmpty())
        store_->SaveSetting(QStringLiteral("Comando"), QString());
    // Front first: opening may ask about a missing overview, and that question must be seen.
    if (bringToFront || !command.isEmpty())
        emit raise();
    if (command.isEmpty() || command.startsWith(u'-') || isCommandSwitch(command))
        return;
    const QString path = handedOverPath(command);
    if (!path.isEmpty())
        emit openFile(path);
}

} // namespace quorvel
