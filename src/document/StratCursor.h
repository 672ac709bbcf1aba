#pragma once
// The strat readers' cursor: little-endian fields, finite floats, ANSI texts and section
// counts, read from bytes in memory or from a file just opened. A file is read only as far as
// its records go: a huge file costs no more than the strat at its start, and what lies after
// the last record is never read. Counts and lengths are checked against the bytes left (the
// file's size when it was opened) before anything is read or allocated.
// As in ByteReader, the first failure is kept with its offset and every later read does
// nothing, so the caller checks once; the little-endian fields are ByteReader's.

#include "common/ByteReader.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <cstdint>

namespace quorvel {

class RegularFileReader;

class StratCursor : public LittleEndianFields<StratCursor> {
public:
    explicit StratCursor(QByteArrayView data);
    explicit StratCursor(RegularFileReader &file);

    bool ok() const { return error_.isEmpty(); }
    const QString &error() const { return error_; }
    qint64 pos() const { return pos_; }
    qint64 left() const { return size_ - pos_; }
    bool atEnd() const { return pos_ == size_; }
    void fail(const QString &why);

    // The next `bytes` bytes are sure to be read unless reading fails first (they were checked
    // against the bytes left): a file is fetched in large pieces as far as that, and no further.
    void expect(qint64 bytes);
    // A section's record begins: it takes at least recordBytes, and the section's records after
    // it at least laterBytes, which every later expect() reaches past.
    void beginRecord(qint64 recordBytes, qint64 laterBytes)
    {
        later_ = laterBytes;
        expect(recordBytes);
    }

    // The next n bytes, valid until the next read; empty when the reader has failed.
    QByteArrayView bytes(qint64 n, const char *what)
    {
        if (!ok() || n < 0 || n > left())
            return refused(what);
        if (pos_ + n > windowStart_ + window_.size() && !fetch(n))
            return {};
        const QByteArrayView v = window_.sliced(pos_ - windowStart_, n);
        pos_ += n;
        return v;
    }
    float f32(const char *what);
    QString fixed(qint64 n, const char *what);
    // A u16 byte count followed by that many bytes of text.
    QString text(const char *what);
    // A section's count n, checked so that its n + 1 records of at least minRecordBytes fit.
    std::int16_t count(qint64 minRecordBytes, const char *what);

private:
    bool fetch(qint64 n);
    QByteArrayView refused(const char *what);

    RegularFileReader *file_ = nullptr;
    QByteArray buffer_;     // a file's bytes from windowStart_ on
    QByteArrayView window_; // the bytes at hand: all of them in memory, or buffer_'s
    qint64 windowStart_ = 0;
    qint64 pos_ = 0;
    qint64 size_ = 0;
    qint64 expected_ = 0; // the end of what is sure to be read
    qint64 later_ = 0;    // what the section's later records take at least
    QString error_;
};

} // namespace quorvel
