#pragma once
// A PCM wave file written as the samples arrive: the header first with empty sizes, the
// samples, then the sizes put in when the file is finished.

#include <QFile>
#include <QString>

namespace quorvel {

struct PcmFormat {
    int channels = 2;
    int sampleRate = 44100;
    int bitsPerSample = 16;
    int blockAlign() const { return channels * bitsPerSample / 8; }
    int bytesPerSecond() const { return sampleRate * blockAlign(); }
};

class WavWriter {
public:
    bool open(const QString &path, const PcmFormat &format);
    // Appends sample bytes (whole blocks; a partial block waits for the rest).
    bool append(const QByteArray &pcm);
    // Writes the sizes and closes. False with error() when the file is not whole.
    bool finish();
    void abandon();

    qint64 dataBytes() const { return data_; }
    QString error() const { return error_; }
    bool isOpen() const { return file_.isOpen(); }

private:
    bool fail(const QString &why);
    QFile file_;
    PcmFormat format_;
    qint64 data_ = 0;
    QByteArray pending_;
    QString error_;
};

} // namespace quorvel
