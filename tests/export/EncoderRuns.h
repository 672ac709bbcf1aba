#pragma once
// Waits the program never does, through an event loop that lets the workers' reports in: the
// program's usable encoders after its whole trial, an encode job run to its end.

#include "export/EncoderTrial.h"
#include "export/VideoEncodeJob.h"

#include <QEventLoop>
#include <QTimer>

namespace quorvel {

inline QList<VideoEncoderInfo> usableVideoEncoders()
{
    EncoderTrial &trial = EncoderTrial::program();
    trial.start();
    QEventLoop loop;
    QObject::connect(&trial, &EncoderTrial::ended, &loop, &QEventLoop::quit, Qt::QueuedConnection);
    if (!trial.hasEnded())
        loop.exec();
    return trial.usable();
}

// False when the job had not ended within ms.
inline bool runToEnd(VideoEncodeJob &job, int ms)
{
    QEventLoop loop;
    QObject::connect(&job, &VideoEncodeJob::finished, &loop, &QEventLoop::quit);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    job.start();
    loop.exec();
    return !job.isRunning();
}

} // namespace quorvel
