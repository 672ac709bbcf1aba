// Claims the single instance the way a start of the program does. First: prints "first" and
// holds the lock until its standard input closes, then exits 10. Second: hands its command
// line over and exits 20, or prints the message it would show and exits 21.

#include "ScriptedPrompts.h"
#include "shell/SingleInstance.h"
#include "shell/StartUp.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Quorvel"));
    QCoreApplication::setOrganizationName(QStringLiteral("Quorvel"));
    quorvel::ScriptedPrompts prompts;
    quorvel::SingleInstance instance;
    const int waitMs = qEnvironmentVariableIntValue("QUORVEL_GIVE_WAIT_MS");
    const auto claim = quorvel::claimInstance(instance, quorvel::parseArguments(argc, argv),
                                              waitMs > 0 ? waitMs : quorvel::HandOver::kGiveWaitMs);
    for (const QString &text : prompts.messageTexts())
        std::printf("%s\n", qPrintable(text));
    if (claim != quorvel::InstanceClaim::First)
        return claim == quorvel::InstanceClaim::HandedOver ? 20 : 21;
    std::puts("first");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 10;
}
