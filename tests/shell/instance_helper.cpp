// Starts the way the program does (runQuorvel). First: prints "first", shows a bare main
// window until its standard input closes, then exits 10. Second: hands its command line over
// and exits 0, or exits 1 after the box that names the strat, printed with whether it stands
// above every window and whether the running instance was asked to the front while it was up.

#include "ScriptedPrompts.h"
#include "shell/SingleInstance.h"
#include "shell/StartUp.h"

#include <QCoreApplication>
#include <QFile>
#include <QMessageBox>
#include <QSocketNotifier>

#include <cstdio>

#include <unistd.h>

int main(int argc, char **argv)
{
    quorvel::ScriptedPrompts prompts;
    prompts.addDialog([](QDialog &box) {
        std::printf("%s%s%s\n", qPrintable(static_cast<QMessageBox &>(box).text()),
                    box.windowFlags() & Qt::WindowStaysOnTopHint ? " [on top]" : "",
                    QFile::exists(quorvel::SingleInstance::activationRequestPath()) ? " [raised]" : "");
        return int(QMessageBox::Ok);
    });
    const int waitMs = qEnvironmentVariableIntValue("QUORVEL_GIVE_WAIT_MS");
    return quorvel::runQuorvel(argc, argv, [](const quorvel::StartupOptions &) {
        std::puts("first");
        std::fflush(stdout);
        auto *window = new QWidget;
        auto *input = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, window);
        QObject::connect(input, &QSocketNotifier::activated, [] {
            char c = 0;
            if (::read(STDIN_FILENO, &c, 1) <= 0)
                QCoreApplication::exit(10);
        });
        return window;
    }, waitMs > 0 ? waitMs : quorvel::HandOver::kGiveWaitMs);
}
