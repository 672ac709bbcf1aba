#pragma once
// Narration: the sound input recorded into a wave file while a video is recorded (PCM, 2
// channels, 16 bits, 44,100 samples a second). The samples come from a SoundSource, the
// default sound input through Qt Multimedia in the program and a source fed by hand in tests.

#include "export/WavWriter.h"

#include <QObject>

#include <memory>

#include <QAudioSource>
class QIODevice;

namespace quorvel {

class SoundSource : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Starts delivering samples of format. False with *error set when the input cannot be opened.
    virtual bool start(const PcmFormat &format, QString *error) = 0;
    // Stops; samples still buffered are delivered first.
    virtual void stop() = 0;

signals:
    void samples(const QByteArray &pcm);
    // The input failed after it started.
    void failed(const QString &why);
};

// The default sound input.
class MicrophoneSource : public SoundSource {
    Q_OBJECT
public:
    using SoundSource::SoundSource;
    ~MicrophoneSource() override;
    bool start(const PcmFormat &format, QString *error) override;
    void stop() override;

private:
    void readAvailable();
    std::unique_ptr<QAudioSource> audio_;
    QIODevice *io_ = nullptr;
};

class Narration : public QObject {
    Q_OBJECT
public:
    // source is not owned.
    explicit Narration(SoundSource *source, QObject *parent = nullptr);

    // Opens the input and the wave file. False with *error set when either fails; nothing is
    // left open.
    bool start(const QString &wavPath, QString *error);
    // Stops the input and completes the file. False with *error set when the narration is
    // missing or incomplete (the input failed, the file could not be written).
    bool stop(QString *error);
    bool running() const { return running_; }
    qint64 bytesRecorded() const { return wav_.dataBytes(); }

private:
    SoundSource *source_ = nullptr;
    WavWriter wav_;
    bool running_ = false;
    QString failure_;
};

} // namespace quorvel
