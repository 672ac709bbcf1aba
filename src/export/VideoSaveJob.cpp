#include "export/VideoSaveJob.h"

#include "export/Converter.h"
#include "export/VideoEncodeJob.h"
#include "export/VideoFiles.h"
#include "language/clsLanguagePack.h"
#include "platform/Prompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

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
    connect(converter_, &Converter::finished, this, [this](const JobOutcome &outcome) {
        if (step_ == Step::Joining)
            joined(outcome);
        else
            converted(outcome);
    });
}

VideoSaveJob::~VideoSaveJob()
{
    for (VideoEncodeJob *job : {encoder_.data(), leftover_.data()})
        delete job; // cancels and waits
    if (mover_)
        mover_->wait();
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
    // A cancelled encoder may still end its last picture; it writes nothing that stays.
    if (leftover_)
        leftover_->wait();
    request_ = request;
    soundJoined_ = false;
    const QString suffix = QFileInfo(request_.target).suffix().toLower();
    extension_ = isAviName(request_.target) || suffix.isEmpty() ? QString() : suffix;
    convertedFile_.clear();
    QFile::remove(work(kTempMovie));
    QFile::remove(work(kCombined));
    setStep(Step::Encoding);
    emit status(QStringLiteral("0%"), 0);
    const QString problem = saveTargetProblem(request_.target);
    if (!problem.isEmpty() || writesSideFiles(request_.target)) {
        showMessage(request_.owner,
                    withDetail(writeErrorText(),
                               QDir::toNativeSeparators(request_.target) + QStringLiteral("\n")
                                   + (problem.isEmpty() ? keyedText("export10", QStringLiteral(
                                                              "This format writes several files; choose a format "
                                                              "that keeps the video in one file, such as AVI or MP4."))
                                                        : problem)),
                    QString(), MessageIcon::Information);
        end(Outcome::Failed);
        return;
    }
    encoder_ = new VideoEncodeJob(request_.workFolder, request_.frames, work(kTempMovie), request_.codec, this);
    connect(encoder_, &VideoEncodeJob::progress, this,
            [this](int percent) { emit status(QString::number(percent) + u'%', percent); });
    connect(encoder_, &QThread::finished, this, &VideoSaveJob::encoded);
    encoder_->start();
}

void VideoSaveJob::encoded()
{
    VideoEncodeJob *job = encoder_;
    if (!job || sender() != job)
        return; // a cancelled job: its end was told already
    encoder_ = nullptr;
    const JobOutcome outcome = job->outcome();
    job->deleteLater();
    if (outcome.outcome == Outcome::Cancelled) {
        end(Outcome::Cancelled);
        return;
    }
    if (!outcome.done()) {
        showMessage(request_.owner, withDetail(writeErrorText(), outcome.detail), QString(), MessageIcon::Information);
        end(Outcome::Failed);
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

void VideoSaveJob::joined(const JobOutcome &outcome)
{
    if (outcome.done()) {
        QFile::remove(work(kTempMovie));
        if (QFile::rename(work(kCombined), work(kTempMovie))) {
            soundJoined_ = true;
        } else {
            showMessage(request_.owner, writeErrorText());
            end(Outcome::Failed);
            return;
        }
    } else if (outcome.outcome == Outcome::Cancelled) {
        end(Outcome::Cancelled);
        return;
    } else {
        // The movie goes on without sound; the narration is kept.
        showMessage(request_.owner,
                    withDetail(QStringLiteral("An error occurred adding audio to your video file."), outcome.detail));
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

void VideoSaveJob::converted(const JobOutcome &outcome)
{
    if (!outcome.done()) {
        if (outcome.outcome == Outcome::Failed)
            showMessage(request_.owner,
                        withDetail(QStringLiteral("An error occurred creating your video file.\r\nTry using a different codec."),
                                   outcome.detail));
        end(outcome.outcome);
        return;
    }
    place(convertedFile_, request_.target);
}

void VideoSaveJob::place(const QString &file, const QString &target)
{
    setStep(Step::Placing);
    // A rename where it can be; a copy (raw video: seconds) runs off the interface thread.
    auto *result = new std::pair<bool, QString>(false, QString());
    mover_ = QThread::create([file, target, result] { result->first = moveFileInto(file, target, &result->second); });
    connect(mover_, &QThread::finished, this, [this, result, target] {
        mover_->deleteLater();
        mover_ = nullptr;
        const std::pair<bool, QString> r = *result;
        delete result;
        placed(r.first, r.second, target);
    });
    mover_->start();
}

void VideoSaveJob::placed(bool ok, const QString &error, const QString &target)
{
    if (!ok) {
        showMessage(request_.owner,
                    withDetail(writeErrorText(), QDir::toNativeSeparators(target) + QStringLiteral("\n") + error),
                    QString(), MessageIcon::Information);
        end(Outcome::Failed);
        return;
    }
    // The video is safe: the recording's files may go. The narration goes only when it is in
    // the video.
    deleteFrameFiles(request_.workFolder);
    if (soundJoined_)
        QFile::remove(work(kTempAudio));
    end(Outcome::Done);
}

void VideoSaveJob::end(Outcome outcome)
{
    QFile::remove(work(kTempMovie));
    QFile::remove(work(kCombined));
    if (!convertedFile_.isEmpty())
        QFile::remove(convertedFile_);
    setStep(Step::Idle);
    const bool saved = outcome == Outcome::Done;
    emit status(saved ? QStringLiteral("Done") : QString(), saved ? 100 : 0);
    emit finished(outcome);
}

void VideoSaveJob::cancel()
{
    switch (step_) {
    case Step::Encoding:
        if (encoder_) {
            // The half-written movie goes now; the thread ends after its picture.
            encoder_->cancel();
            encoder_->disconnect(this); // its last progress is not shown
            leftover_ = encoder_;
            connect(leftover_, &QThread::finished, leftover_, &QObject::deleteLater);
            encoder_ = nullptr;
        }
        end(Outcome::Cancelled);
        break;
    case Step::Joining:
    case Step::Converting:
        converter_->cancel();
        break;
    case Step::Idle:
    case Step::Placing:
        break;
    }
}

} // namespace quorvel
