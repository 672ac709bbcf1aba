#include "export/VideoSaveJob.h"

#include "export/Converter.h"
#include "export/VideoEncodeJob.h"
#include "export/VideoFiles.h"
#include "language/clsLanguagePack.h"
#include "platform/Prompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace quorvel {

namespace {

QString writeErrorText() { return QStringLiteral("There was an error writing the file."); }

QString withDetail(const QString &text, const QString &detail)
{
    return detail.isEmpty() ? text : text + QStringLiteral("\n\n") + detail;
}

} // namespace

VideoSaveJob::VideoSaveJob(QObject *parent) : QObject(parent), converter_(new Converter(this))
{
    connect(converter_, &Converter::progress, this, [this](int percent) {
        emit status(step_ == Step::Joining ? QStringLiteral("Adding Audio")
                                           : QStringLiteral("Converting to ") + extension_.toUpper(),
                    percent);
    });
    connect(converter_, &Converter::finished, this, [this](bool ok, const QString &error) {
        if (step_ == Step::Joining)
            joined(ok, error);
        else
            converted(ok, error);
    });
}

VideoSaveJob::~VideoSaveJob()
{
    if (encoder_) {
        encoder_->requestInterruption();
        encoder_->wait();
    }
}

QString VideoSaveJob::work(const QString &name) const { return QDir(request_.workFolder).filePath(name); }

double VideoSaveJob::seconds() const { return request_.frames * double(kCaptureRateDen) / kCaptureRateNum; }

void VideoSaveJob::setStep(Step s)
{
    step_ = s;
    emit stepChanged();
}

void VideoSaveJob::start(const VideoSaveRequest &request)
{
    request_ = request;
    soundJoined_ = false;
    const QString suffix = QFileInfo(request_.target).suffix().toLower();
    extension_ = isAviName(request_.target) || suffix.isEmpty() ? QString() : suffix;
    convertedFile_.clear();
    QFile::remove(work(kTempMovie));
    QFile::remove(work(kCombined));
    setStep(Step::Encoding);
    emit status(QStringLiteral("0%"), 0);
    encoder_ = new VideoEncodeJob(request_.workFolder, request_.frames, work(kTempMovie), request_.codec, this);
    connect(encoder_, &VideoEncodeJob::progress, this,
            [this](int percent) { emit status(QString::number(percent) + u'%', percent); });
    connect(encoder_, &QThread::finished, this, &VideoSaveJob::encoded);
    encoder_->start();
}

void VideoSaveJob::encoded()
{
    VideoEncodeJob *job = encoder_;
    encoder_ = nullptr;
    const bool ok = job && job->succeeded();
    const QString error = job ? job->error() : QString();
    if (job)
        job->deleteLater();
    if (!ok) {
        showMessage(request_.owner, withDetail(writeErrorText(), error), QString(), MessageIcon::Information);
        end(false);
        return;
    }
    if (request_.withSound)
        join();
    else
        convert();
}

void VideoSaveJob::join()
{
    const QString sound = work(kTempAudio);
    if (!QFileInfo(sound).isFile()) {
        convert();
        return;
    }
    setStep(Step::Joining);
    emit status(QStringLiteral("Adding Audio"), 0);
    if (!converter_->start(Converter::joinArguments(work(kTempMovie), sound, work(kCombined)), work(kCombined),
                           seconds())) {
        setStep(Step::Encoding);
        // No converter: the video is kept without its sound; the narration stays in the work folder.
        showMessage(request_.owner, missingConverterText());
        convert();
    }
}

void VideoSaveJob::joined(bool ok, const QString &error)
{
    if (ok) {
        QFile::remove(work(kTempMovie));
        if (QFile::rename(work(kCombined), work(kTempMovie))) {
            soundJoined_ = true;
        } else {
            showMessage(request_.owner, writeErrorText());
            end(false);
            return;
        }
    } else if (error == QLatin1String("Cancelled.")) {
        end(false);
        return;
    } else {
        // The movie goes on without sound; the narration is kept.
        showMessage(request_.owner,
                    withDetail(QStringLiteral("An error occurred adding audio to your video file."), error));
    }
    convert();
}

void VideoSaveJob::convert()
{
    if (extension_.isEmpty()) {
        place(work(kTempMovie), request_.target);
        return;
    }
    convertedFile_ = work(QStringLiteral("tempmovie.") + extension_);
    setStep(Step::Converting);
    emit status(QStringLiteral("Converting to ") + extension_.toUpper(), 0);
    if (!converter_->start(Converter::convertArguments(work(kTempMovie), convertedFile_), convertedFile_,
                           seconds())) {
        // No converter: the AVI is still saved, beside the chosen name.
        const QString avi = aviBeside(request_.target);
        showMessage(request_.owner,
                    missingConverterText() + QStringLiteral("\n")
                        + keyedText("export03", QStringLiteral("The video is saved as AVI:")) + QStringLiteral("\n")
                        + QDir::toNativeSeparators(avi));
        place(work(kTempMovie), avi);
    }
}

void VideoSaveJob::converted(bool ok, const QString &error)
{
    if (!ok) {
        if (error != QLatin1String("Cancelled."))
            showMessage(request_.owner,
                        withDetail(QStringLiteral("An error occurred creating your video file.\r\nTry using a different codec."),
                                   error));
        end(false);
        return;
    }
    place(convertedFile_, request_.target);
}

void VideoSaveJob::place(const QString &file, const QString &target)
{
    setStep(Step::Placing);
    QString error;
    if (!replaceFileWith(target, file, &error)) {
        showMessage(request_.owner,
                    withDetail(writeErrorText(), QDir::toNativeSeparators(target) + QStringLiteral("\n") + error),
                    QString(), MessageIcon::Information);
        end(false);
        return;
    }
    // The video is safe: the recording's files may go. The narration goes only when it is in
    // the video.
    deleteFrameFiles(request_.workFolder);
    if (soundJoined_)
        QFile::remove(work(kTempAudio));
    end(true);
}

void VideoSaveJob::end(bool saved)
{
    QFile::remove(work(kTempMovie));
    QFile::remove(work(kCombined));
    if (!convertedFile_.isEmpty())
        QFile::remove(convertedFile_);
    setStep(Step::Idle);
    emit status(saved ? QStringLiteral("Done") : QString(), saved ? 100 : 0);
    emit finished(saved);
}

void VideoSaveJob::cancel()
{
    if (canCancel())
        converter_->cancel();
}

} // namespace quorvel
