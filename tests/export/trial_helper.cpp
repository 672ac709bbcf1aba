// Starts the encoder trial as opening the recording panel does and leaves at once, as a user
// who quits right after Export as Video; with "whole", leaves after the whole trial. Prints how
// many encoders were tried, of how many, once the application object has gone.

#include "EncoderRuns.h"

#include <QCoreApplication>

#include <cstdio>

int main(int argc, char **argv)
{
    {
        QCoreApplication app(argc, argv);
        quorvel::startProbingVideoEncoders();
        if (app.arguments().contains(QStringLiteral("whole")))
            quorvel::usableVideoEncoders();
    }
    const quorvel::EncoderTrial &trial = quorvel::EncoderTrial::program();
    std::printf("%d %d\n", trial.triedCount(), trial.total());
    return 0;
}
