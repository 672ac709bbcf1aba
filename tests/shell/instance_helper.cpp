// Claims the single instance the way a start of the program does. First: prints "first" and
// holds the lock until its standard input closes, then exits 10. Second: hands its command
// line over and exits 20, or prints the message it would show and exits 21 (" [on top]": above
// every window; " [raised]": the running instance was asked forward before it).

#include "ScriptedPrompts.h"
#include "shell/SingleInstance.h"
#include "shell/StartUp.h"

#include <QFile>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>

static QWidget *holdTheLock(const quorvel::StartupOptions &)
{
    std::puts("first");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    std::exit(10);
}

int main(int argc, char **argv)
{
    quorvel::ScriptedPrompts prompts;
    prompts.addDialog([](QDialog &box) {
        std::printf("%s%s%s\n", qPrintable(static_cast<QMessageBox &>(box).text()),
                    box.windowFlags() & Qt::WindowStaysOnTopHint ? " [on top]" : "",
                    QFile::exists(quorvel::SingleInstance::activationRequestPath()) ? " [raised]" : "");
        return 0;
    });
    const int waitMs = qEnvironmentVariableIntValue("QUORVEL_GIVE_WAIT_MS");
    const int claim = quorvel::runQuorvel(argc, argv, holdTheLock, waitMs > 0 ? waitMs : quorvel::HandOver::kGiveWaitMs);
    return claim == 0 ? 20 : 21;
}
