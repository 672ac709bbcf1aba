// Starts the encoder trial as opening the recording panel does and leaves at once, as a user
// who quits right after Export as Video; with "whole", leaves after the whole trial. Prints how
// many encoders the trial told it tried, of how many, once the application object has gone.

#include "EncoderRuns.h"

#include <QCoreApplication>

#include <atomic>
#include <cstdio>

int main(int argc, char **argv)
{
    std::atomic<int> tried{0};
    qsizetype total = 0;
    {
        QCoreApplication app(argc, argv);
        total = quorvel::aviVideoEncoders().size();
        QObject::connect(&quorvel::EncoderTrial::program(), &quorvel::EncoderTrial::tried, [&tried] { ++tried; });
        quorvel::startProbingVideoEncoders();
        if (app.arguments().contains(QStringLiteral("whole")))
            quorvel::usableVideoEncoders();
    }
    std::printf("%d %d\n", tried.load(), int(total));
    return 0;
}
