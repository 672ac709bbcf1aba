#pragma once
// A cursor over the little-endian bytes of a file the program reads whole (language packs;
// strat files have a cursor of their own that reads as it goes). The first failure is kept as
// the error and every later read does nothing, so a reader checks once, at the end or where it
// must stop; nothing is ever read past the end.

#include <QByteArrayView>
#include <QLatin1StringView>
#include <QString>

#include <cstdint>

namespace quorvel {

// The little-endian fields of a byte cursor, read through its bytes(n, what): the cursor
// checks the length against the bytes left and keeps the first failure, and a read that failed
// gives 0. ByteReader and the strat readers' cursor share them.
template <typename Cursor>
class LittleEndianFields {
public:
    std::uint16_t u16(const char *what)
    {
        const QByteArrayView b = cursor().bytes(2, what);
        return b.size() == 2 ? std::uint16_t(std::uint8_t(b[0]) | std::uint8_t(b[1]) << 8) : 0;
    }
    std::int16_t i16(const char *what) { return static_cast<std::int16_t>(u16(what)); }
    std::uint32_t u32(const char *what)
    {
        const QByteArrayView b = cursor().bytes(4, what);
        if (b.size() != 4)
            return 0;
        return std::uint32_t(std::uint8_t(b[0])) | std::uint32_t(std::uint8_t(b[1])) << 8
               | std::uint32_t(std::uint8_t(b[2])) << 16 | std::uint32_t(std::uint8_t(b[3])) << 24;
    }
    std::int32_t i32(const char *what) { return static_cast<std::int32_t>(u32(what)); }

private:
    Cursor &cursor() { return static_cast<Cursor &>(*this); }
};

class ByteReader : public LittleEndianFields<ByteReader> {
public:
    // subject names the input in messages: "the file ends inside the texts".
    ByteReader(QByteArrayView data, QLatin1StringView subject) : data_(data), subject_(subject) {}

    bool ok() const { return error_.isEmpty(); }
    const QString &error() const { return error_; }
    qsizetype pos() const { return pos_; }
    qsizetype left() const { return data_.size() - pos_; }
    bool atEnd() const { return pos_ == data_.size(); }

    void fail(const QString &why)
    {
        if (error_.isEmpty())
            error_ = why + QStringLiteral(" (at byte %1)").arg(pos_);
    }

    // True when `bytes` more bytes are there to read; otherwise the reader fails.
    bool need(qsizetype bytes, const char *what)
    {
        if (!ok())
            return false;
        if (bytes < 0 || bytes > left()) {
            fail(QStringLiteral("%1 ends inside %2").arg(subject_, QLatin1String(what)));
            return false;
        }
        return true;
    }

    QByteArrayView bytes(qsizetype n, const char *what)
    {
        if (!need(n, what))
            return {};
        const QByteArrayView v = data_.sliced(pos_, n);
        pos_ += n;
        return v;
    }

    // A u16 byte count followed by that many bytes.
    QByteArrayView countedBytes(const char *what) { return bytes(u16(what), what); }

private:
    QByteArrayView data_;
    QLatin1StringView subject_;
    qsizetype pos_ = 0;
    QString error_;
};

} // namespace quorvel
