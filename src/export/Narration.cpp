#include "export/Narration.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSource>
#include <QMediaDevices>

namespace quorvel {

MicrophoneSource::~MicrophoneSource() { stop(); }

bool MicrophoneSource::start(const PcmFormat &format, QString *error)
{
    const QAudioDevice device = QMediaDevices::defaultAudioInput();
    if (device.isNull()) {
        *error = QStringLiteral("No sound input was found.");
        return false;
    }
    QAudioFormat f;
    f.setSampleRate(format.sampleRate);
    f.setChannelCount(format.channels);
    f.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(f)) {
        *error = QStringLiteral("The sound input cannot record 16-bit stereo at 44,100 samples a second.");
        return false;
    }
    audio_ = std::make_unique<QAudioSource>(device, f);
    io_ = audio_->start();
    if (!io_ || audio_->error() != QAudio::NoError) {
        audio_.reset();
        io_ = nullptr;
        *error = QStringLiteral("The sound input could not be opened.");
        return false;
    }
    connect(io_, &QIODevice::readyRead, this, &MicrophoneSource::readAvailable);
    connect(audio_.get(), &QAudioSource::stateChanged, this, [this](QAudio::State state) {
        if (state == QAudio::StoppedState && audio_ && audio_->error() != QAudio::NoError)
            emit failed(QStringLiteral("The sound input stopped working."));
    });
    return true;
}

void MicrophoneSource::readAvailable()
{
    if (io_) {
        const QByteArray data = io_->readAll();
        if (!data.isEmpty())
            emit samples(data);
    }
}

void MicrophoneSource::stop()
{
    if (!audio_)
        return;
    readAvailable();
    audio_->disconnect(this);
    audio_->stop();
    audio_.reset();
    io_ = nullptr;
}

Narration::Narration(SoundSource *source, QObject *parent) : QObject(parent), source_(source)
{
    connect(source_, &SoundSource::samples, this, [this](const QByteArray &pcm) {
        if (running_ && failure_.isEmpty() && !wav_.append(pcm))
            failure_ = wav_.error();
    });
    connect(source_, &SoundSource::failed, this, [this](const QString &why) {
        if (running_ && failure_.isEmpty())
            failure_ = why;
    });
}

bool Narration::start(const QString &wavPath, QString *error)
{
    failure_.clear();
    const PcmFormat format;
    if (!wav_.open(wavPath, format)) {
        *error = wav_.error();
        return false;
    }
    running_ = true;
    if (!source_->start(format, error)) {
        running_ = false;
        wav_.abandon();
        QFile::remove(wavPath);
        return false;
    }
    return true;
}

bool Narration::stop(QString *error)
{
    QString ignored;
    if (!error)
        error = &ignored;
    if (!running_)
        return false;
    source_->stop();
    running_ = false;
    if (!failure_.isEmpty()) {
        wav_.abandon();
        *error = failure_;
        return false;
    }
    if (!wav_.finish()) {
        *error = wav_.error();
        return false;
    }
    if (wav_.dataBytes() == 0) {
        *error = QStringLiteral("The sound input gave no sound.");
        return false;
    }
    return true;
}

} // namespace quorvel
