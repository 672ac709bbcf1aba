#include "export/WavWriter.h"

#include <QtEndian>

namespace quorvel {

namespace {

constexpr int kHeaderSize = 44;
// The RIFF sizes are 32-bit.
constexpr qint64 kMaxData = 0xFFFFFFFFLL - (kHeaderSize - 8);

void put32(char *p, quint32 v) { qToLittleEndian(v, p); }
void put16(char *p, quint16 v) { qToLittleEndian(v, p); }

QByteArray header(const PcmFormat &f, quint32 dataBytes)
{
    QByteArray h(kHeaderSize, '\0');
    char *p = h.data();
    memcpy(p, "RIFF", 4);
    put32(p + 4, dataBytes + kHeaderSize - 8);
    memcpy(p + 8, "WAVEfmt ", 8);
    put32(p + 16, 16);
    put16(p + 20, 1); // PCM
    put16(p + 22, quint16(f.channels));
    put32(p + 24, quint32(f.sampleRate));
    put32(p + 28, quint32(f.bytesPerSecond()));
    put16(p + 32, quint16(f.blockAlign()));
    put16(p + 34, quint16(f.bitsPerSample));
    memcpy(p + 36, "data", 4);
    put32(p + 40, dataBytes);
    return h;
}

} // namespace

bool WavWriter::fail(const QString &why)
{
    error_ = why;
    file_.close();
    return false;
}

bool WavWriter::open(const QString &path, const PcmFormat &format)
{
    format_ = format;
    data_ = 0;
    pending_.clear();
    error_.clear();
    file_.setFileName(path);
    if (!file_.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return fail(file_.errorString());
    if (file_.write(header(format_, 0)) != kHeaderSize)
        return fail(file_.errorString());
    return true;
}

bool WavWriter::append(const QByteArray &pcm)
{
    if (!file_.isOpen())
        return false;
    pending_.append(pcm);
    const qsizetype whole = pending_.size() - pending_.size() % format_.blockAlign();
    if (whole == 0)
        return true;
    if (data_ + whole > kMaxData)
        return fail(QStringLiteral("The sound file is full."));
    if (file_.write(pending_.constData(), whole) != whole)
        return fail(file_.errorString());
    data_ += whole;
    pending_.remove(0, whole);
    return true;
}

bool WavWriter::finish()
{
    if (!file_.isOpen())
        return false;
    if (!file_.seek(0) || file_.write(header(format_, quint32(data_))) != kHeaderSize || !file_.flush())
        return fail(file_.errorString());
    file_.close();
    return true;
}

void WavWriter::abandon() { file_.close(); }

} // namespace quorvel
