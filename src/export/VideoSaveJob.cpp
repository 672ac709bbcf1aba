#include "export/VideoSaveJob.h"

#include "export/Converter.h"
#include "export/VideoEncodeJob.h"
#include "export/VideoFiles.h"
#include "language/clsLanguagePack.h"
#include "platform/Prompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSignalBlocker>
#include <QThread>

#include <fcntl.h>

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
        if (step_ == Step::Encoding)
            return; // a streamed conversion: the encoder's progress is shown
        emit status(step_ == Step::Joining ? QStringLiteral("Adding Audio")
                                           : QStringLiteral("Converting to ") + extension_.toUpper(),
                    percent);
    });
    connect(converter_, &Converter::finished, this, [this](const JobOutcome &outcome) {
        if (streaming_)
            streamConverted(outcome);
        else if (step_ == Step::Joining)
            joined(outcome);
        else
            converted(outcome);
    });
}

VideoSaveJob::~VideoSaveJob()
{
    // The program leaves during a save: it ends as at the exit, told to no one.
    const QSignalBlocker quiet(this);
    stop();
}

void VideoSaveJob::removePartial()
{
    QFile::remove(work(kTempMovie));
    QFile::remove(work(kCombined));
    if (!convertedFile_.isEmpty())
        QFile::remove(convertedFile_);
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
    cancelling_ = false;
    streaming_ = false;
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
    if (finishing_) {
        setStep(Step::Waiting);
        emit status(QStringLiteral("Waiting for the cancelled save to end"), 0);
        return; // begun when it ends
    }
    begin();
}

std::shared_ptr<const PictureSource> VideoSaveJob::pictures() const
{
    return request_.pictures ? request_.pictures : std::make_shared<FramePictures>(request_.workFolder);
}

void VideoSaveJob::begin()
{
    // Said before anything starts, or a conversion would end on a cut stream and blame itself.
    const QString held = AviWriter::heldBack(request_.codec);
    if (!held.isEmpty()) {
        showMessage(request_.owner, withDetail(writeErrorText(), held), QString(), MessageIcon::Information);
        end(Outcome::Failed);
        return;
    }
    if (!extension_.isEmpty() && startStreaming())
        return;
    startEncoder(new VideoEncodeJob(pictures(), request_.frames, work(kTempMovie), request_.codec, this));
}

void VideoSaveJob::startEncoder(VideoEncodeJob *job)
{
    encoder_ = job;
    connect(job, &VideoEncodeJob::progress, this,
            [this](int percent) { emit status(QString::number(percent) + u'%', percent); });
    connect(job, &VideoEncodeJob::finished, this, &VideoSaveJob::encoded);
    job->start();
}

bool VideoSaveJob::startStreaming()
{
    // The converter reads the movie through a pipe while it is encoded, so the two run at once;
    // the narration is joined in the same run.
    if (Converter::program().isEmpty())
        return false; // told at the conversion, which then keeps the AVI
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        return false;
    FileDescriptor reader(fds[0]), writer(fds[1]);
    // Room for several pictures, so that neither side waits for the other at each one.
    ::fcntl(writer.get(), F_SETPIPE_SZ, 1 << 20);
    streaming_ = true;
    encoderOutcome_ = converterOutcome_ = JobOutcome{};
    convertedFile_ = work(QStringLiteral("tempmovie.") + extension_);
    const QString sound = work(kTempAudio);
    streamSound_ = request_.withSound && QFileInfo(sound).isFile();
    auto *job = new VideoEncodeJob(pictures(), request_.frames, std::move(writer), request_.codec, this);
    if (!converter_->start(Converter::streamArguments(streamSound_ ? sound : QString(), convertedFile_),
                           convertedFile_, seconds(), std::move(reader))) {
        delete job; // closes its end of the pipe
        streaming_ = false;
        convertedFile_.clear();
        return false;
    }
    startEncoder(job);
    return true;
}

void VideoSaveJob::streamConverted(const JobOutcome &outcome)
{
    converterOutcome_ = outcome;
    if (!outcome.done() && encoder_)
        encoder_->cancel();
    streamEnded();
}

void VideoSaveJob::streamEnded()
{
    if (encoder_ || converter_->running())
        return; // the other one still runs
    streaming_ = false;
    if (cancelling_) {
        end(Outcome::Cancelled);
    } else if (encoderOutcome_.done() && converterOutcome_.done()) {
        soundJoined_ = streamSound_;
        place(convertedFile_, request_.target);
    } else if (converterOutcome_.outcome == Outcome::Failed && streamSound_ && encoderOutcome_.outcome != Outcome::Failed) {
        // Perhaps the narration: the steps one by one keep the video when the sound cannot join.
        QFile::remove(convertedFile_);
        convertedFile_.clear();
        setStep(Step::Encoding);
        emit status(QStringLiteral("0%"), 0);
        startEncoder(new VideoEncodeJob(pictures(), request_.frames, work(kTempMovie), request_.codec, this));
    } else if (converterOutcome_.outcome == Outcome::Failed) {
        converted(converterOutcome_);
    } else {
        showMessage(request_.owner, withDetail(writeErrorText(), encoderOutcome_.detail), QString(),
                    MessageIcon::Information);
        end(Outcome::Failed);
    }
}

void VideoSaveJob::encoded(const JobOutcome &outcome)
{
    VideoEncodeJob *job = encoder_;
    if (!job || sender() != job)
        return;
    encoder_ = nullptr;
    job->deleteLater();
    if (streaming_) {
        encoderOutcome_ = outcome;
        if (!outcome.done()) {
            converter_->cancel(); // a cut stream must not become a shorter movie
        } else if (converter_->running()) {
            setStep(Step::Converting);
            emit status(QStringLiteral("Converting to ") + extension_.toUpper(), 100);
        }
        streamEnded();
        return;
    }
    if (cancelling_ || outcome.outcome == Outcome::Cancelled) {
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
    moveTarget_ = target;
    moveError_.clear();
    moved_ = false;
    moveStop_ = false;
    mover_ = QThread::create([this, file, target] { moved_ = moveFileInto(file, target, &moveError_, &moveStop_); });
    connect(mover_, &QThread::finished, this, &VideoSaveJob::moverEnded);
    mover_->start();
}

void VideoSaveJob::moverEnded()
{
    if (!mover_)
        return;
    mover_->deleteLater();
    mover_ = nullptr;
    placed(moved_, moveError_, moveTarget_);
}

void VideoSaveJob::placed(bool ok, const QString &error, const QString &target)
{
    if (!ok && moveStop_) {
        end(Outcome::Cancelled);
        return;
    }
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
    removePartial();
    cancelling_ = false;
    streaming_ = false;
    setStep(Step::Idle);
    const bool saved = outcome == Outcome::Done;
    emit status(saved ? QStringLiteral("Done") : QString(), saved ? 100 : 0);
    emit finished(outcome);
}

void VideoSaveJob::dropEncoder()
{
    // Its thread ends by itself after the picture it is on and writes only through its own
    // handles: nobody waits for it, and the movie's name is removed with the other partial files.
    // The job stays, to tell when the thread is done, until then or until this save goes.
    VideoEncodeJob *job = encoder_;
    encoder_ = nullptr;
    if (!job)
        return;
    disconnect(job, nullptr, this, nullptr);
    job->cancel();
    finishing_ = job;
    connect(job, &VideoEncodeJob::finished, this, &VideoSaveJob::previousEnded);
}

void VideoSaveJob::previousEnded()
{
    if (finishing_)
        finishing_->deleteLater();
    finishing_ = nullptr;
    if (step_ != Step::Waiting)
        return;
    setStep(Step::Encoding);
    emit status(QStringLiteral("0%"), 0);
    begin();
}

void VideoSaveJob::cancel()
{
    if (!canCancel())
        return;
    cancelling_ = true;
    dropEncoder();
    converter_->cancel();
    emit stepChanged();
    emit status(QString(), 0);
    // A converter ends at once, killed; its end ends the save and removes what it wrote.
    if (!converter_->running())
        end(Outcome::Cancelled);
}

void VideoSaveJob::stop()
{
    if (step_ == Step::Idle)
        return;
    if (step_ == Step::Placing) {
        // A rename is done at once; a copy stops after the block it is writing, leaving the
        // chosen name as it was.
        moveStop_ = true;
        if (mover_)
            mover_->wait();
        moverEnded();
        return;
    }
    cancelling_ = true;
    dropEncoder();
    {
        const QSignalBlocker quiet(converter_);
        converter_->stop();
    }
    end(Outcome::Cancelled);
}

} // namespace quorvel
