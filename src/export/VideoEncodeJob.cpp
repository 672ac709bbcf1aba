#include "export/VideoEncodeJob.h"

#include "export/VideoFiles.h"

#include <QDir>
#include <QFile>
#include <QImage>

#include <cmath>

namespace quorvel {

VideoEncodeJob::VideoEncodeJob(const QString &folder, int frameCount, const QString &moviePath,
                               const VideoCodecChoice &choice, QObject *parent)
    : QThread(parent), folder_(folder), frameCount_(frameCount), moviePath_(moviePath), choice_(choice)
{
}

void VideoEncodeJob::run()
{
    ok_ = false;
    written_ = 0;
    AviWriter writer;
    auto failed = [&](const QString &why) {
        error_ = why;
        writer.abandon();
        QFile::remove(moviePath_);
    };
    if (frameCount_ <= 0) {
        failed(QStringLiteral("No picture was recorded."));
        return;
    }
    if (!writer.open(moviePath_, kVideoSize, kCaptureRateNum, kCaptureRateDen, choice_)) {
        failed(writer.error());
        return;
    }
    const QDir dir(folder_);
    int lastPercent = -1;
    for (int i = 1; i <= frameCount_; ++i) {
        if (isInterruptionRequested()) {
            failed(QStringLiteral("Cancelled."));
            return;
        }
        const QString name = dir.filePath(frameFileName(i));
        const QImage picture(name);
        if (picture.isNull()) {
            // A gap would shift every later picture in time: the movie is not made.
            failed(QStringLiteral("The picture %1 cannot be read.").arg(QDir::toNativeSeparators(name)));
            return;
        }
        if (!writer.writeFrame(picture)) {
            failed(writer.error());
            return;
        }
        written_ = i;
        const int percent = static_cast<int>(std::lrint(i * 100.0 / frameCount_));
        if (percent != lastPercent) {
            lastPercent = percent;
            emit progress(percent);
        }
    }
    if (!writer.finish()) {
        failed(writer.error());
        return;
    }
    ok_ = true;
}

} // namespace quorvel
