// Claims the single instance the way a start of the program does. First: prints "first" and
// holds the lock until its standard input closes, then exits 10. Second: hands its command
// line over and exits 20.

#include "shell/SingleInstance.h"
#include "shell/StartUp.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("Quorvel"));
    QCoreApplication::setOrganizationName(QStringLiteral("Quorvel"));
    quorvel::SingleInstance instance;
    if (!quorvel::claimInstance(instance, quorvel::parseArguments(argc, argv)))
        return 20;
    std::puts("first");
    std::fflush(stdout);
    while (std::getchar() != EOF) {
    }
    return 10;
}
