#pragma once
// Waiting for encoder work, which the program itself never does: the program's usable
// encoders once its whole trial has run, and an encode job run to its end. Both run an event
// loop, through which the reports of the worker threads arrive.

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
