#include "gif/GifImage.h"

#include <algorithm>
#include <array>

namespace quorvel {

namespace {

// Writes LZW codes lowest bit first into data sub-blocks. Full sub-blocks carry 254 bytes,
// as the control's own writer always did.
class CodeWriter {
public:
    explicit CodeWriter(QByteArray &out) : out_(out) {}

    void write(int code, int codeSize)
    {
        accumulator_ |= std::uint32_t(code) << bitCount_;
        bitCount_ += codeSize;
        while (bitCount_ >= 8) {
            packet_[count_++] = char(accumulator_ & 0xFF);
            accumulator_ >>= 8;
            bitCount_ -= 8;
            if (count_ == 254)
                sendPacket();
        }
    }
    void flush()
    {
        if (bitCount_ > 0)
            packet_[count_++] = char(accumulator_ & 0xFF);
        accumulator_ = 0;
        bitCount_ = 0;
        if (count_ > 0)
            sendPacket();
    }

private:
    void sendPacket()
    {
        out_.append(char(count_));
        out_.append(packet_.data(), count_);
        count_ = 0;
    }

    QByteArray &out_;
    std::array<char, 254> packet_{};
    int count_ = 0;
    std::uint32_t accumulator_ = 0;
    int bitCount_ = 0;
};

// The GIF flavour of LZW at minimum code size 8 (codes of 9 to 12 bits): a 5003-slot hash
// with double hashing finds a string's code; a full table writes a clear code.
void compress(QByteArray &out, const std::uint8_t *pixels, qsizetype count)
{
    constexpr int hashSize = 5003;
    constexpr int clear = 256;
    constexpr int end = 257;
    std::vector<std::int32_t> keys(hashSize, -1);
    std::vector<std::int32_t> codes(hashSize, 0);
    CodeWriter writer(out);
    int codeSize = 9;
    int largest = 511;
    int next = 258;

    writer.write(clear, codeSize);
    if (count > 0) {
        int prefix = pixels[0];
        for (qsizetype n = 1; n < count; ++n) {
            const int c = pixels[n];
            const std::int32_t key = c * 4096 + prefix;
            int i = (c << 4) ^ prefix;
            bool found = keys[i] == key;
            if (!found && keys[i] != -1) {
                const int displacement = i == 0 ? 1 : hashSize - i;
                do {
                    i -= displacement;
                    if (i < 0)
                        i += hashSize;
                    found = keys[i] == key;
                } while (!found && keys[i] > 0);
            }
            if (found) {
                prefix = codes[i];
                continue;
            }
            writer.write(prefix, codeSize);
            prefix = c;
            codes[i] = next;
            keys[i] = key;
            if (next > largest) {
                if (next == 4096) {
                    writer.write(clear, codeSize);
                    std::fill(keys.begin(), keys.end(), -1);
                    codeSize = 9;
                    next = 257;
                } else {
                    ++codeSize;
                }
                largest = (1 << codeSize) - 1;
            }
            ++next;
        }
        writer.write(prefix, codeSize);
    }
    writer.write(end, codeSize);
    writer.flush();
}

void put16(QByteArray &out, int value)
{
    out.append(char(value & 0xFF));
    out.append(char((value >> 8) & 0xFF));
}

// A table padded with black to 2^bits entries; returns bits (1..8).
int putTable(QByteArray &out, const GifColorTable &colors, int minEntries = 2)
{
    int bits = 1;
    while ((1 << bits) < std::max<qsizetype>(colors.size(), minEntries))
        ++bits;
    for (int i = 0; i < (1 << bits); ++i) {
        const QRgb c = i < colors.size() ? colors[i] : 0;
        out.append(char(qRed(c)));
        out.append(char(qGreen(c)));
        out.append(char(qBlue(c)));
    }
    return bits;
}

void putImage(QByteArray &out, int left, int top, QSize size, int flags)
{
    out.append(char(0x2C));
    put16(out, left);
    put16(out, top);
    put16(out, size.width());
    put16(out, size.height());
    out.append(char(flags));
}

bool failWith(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

bool fits(const GifEncodeInput &input, QString *error)
{
    const auto inRange = [](QSize s) { return s.width() >= 0 && s.height() >= 0 && s.width() <= 65535 && s.height() <= 65535; };
    if (!inRange(input.screen) || input.globalColors.size() > 256 || input.loopCount > 65535)
        return failWith(error, QStringLiteral("The GIF's screen, colour table or loop count is out of range"));
    for (std::size_t i = 0; i < input.frames.size(); ++i) {
        const GifEncodeFrame &f = input.frames[i];
        const GifColorTable &colors = f.localColors.isEmpty() ? input.globalColors : f.localColors;
        const auto bad = [&](const char *what) {
            return failWith(error, QStringLiteral("Frame %1: %2").arg(i + 1).arg(QLatin1String(what)));
        };
        if (!inRange(f.size) || f.left < 0 || f.top < 0 || f.left > 65535 || f.top > 65535)
            return bad("its size or position is out of range");
        if (f.indices.size() != qsizetype(f.size.width()) * f.size.height())
            return bad("its pixels do not match its size");
        if (colors.isEmpty() || f.localColors.size() > 256)
            return bad("it has no colour table, or one of more than 256 colours");
        if (f.disposal < 0 || f.disposal > 3 || f.delayMs < 0 || f.delayMs / 10 > 65535
            || (f.transparent && (f.transparentIndex < 0 || f.transparentIndex > 255)))
            return bad("its delay, disposal or transparent index is out of range");
        const auto top = std::max_element(f.indices.cbegin(), f.indices.cend(),
                                          [](char a, char b) { return std::uint8_t(a) < std::uint8_t(b); });
        if (top != f.indices.cend() && std::uint8_t(*top) >= colors.size())
            return bad("a pixel uses a colour its table does not hold");
    }
    return true;
}

} // namespace

QByteArray encodeGif(const GifEncodeInput &input, QString *error)
{
    if (!fits(input, error))
        return {};
    QByteArray out("GIF89a");
    put16(out, input.screen.width());
    put16(out, input.screen.height());
    QByteArray table;
    if (!input.globalColors.isEmpty()) {
        const int bits = putTable(table, input.globalColors);
        out.append(char(0x80 | (bits - 1) << 4 | (bits - 1)));
    } else {
        out.append(char(0));
    }
    out.append(char(0));
    out.append(char(0));
    out.append(table);
    if (input.loopCount >= 0) {
        out.append("\x21\xFF\x0BNETSCAPE2.0\x03\x01", 16);
        put16(out, input.loopCount);
        out.append(char(0));
    }
    for (const GifEncodeFrame &f : input.frames) {
        out.append("\x21\xF9\x04", 3);
        out.append(char(f.disposal << 2 | (f.transparent ? 1 : 0)));
        put16(out, f.delayMs / 10);
        out.append(char(f.transparent ? f.transparentIndex : 0));
        out.append(char(0));
        QByteArray local;
        int flags = 0;
        if (!f.localColors.isEmpty())
            flags = 0x80 | (putTable(local, f.localColors) - 1);
        putImage(out, f.left, f.top, f.size, flags);
        out.append(local);
        out.append(char(8));
        compress(out, reinterpret_cast<const std::uint8_t *>(f.indices.constData()), f.indices.size());
        out.append(char(0));
    }
    out.append(char(0x3B));
    return out;
}

QByteArray encodeGifFrame(const GifFrame &frame, const GifColorTable &colors)
{
    QByteArray out("GIF89a");
    put16(out, frame.width);
    put16(out, frame.height);
    out.append(char(0x87));
    out.append(char(0));
    out.append(char(0));
    putTable(out, colors.mid(0, 256), 256);
    if (frame.transparent) {
        out.append("\x21\xF9\x04\x01\x00\x00", 6);
        out.append(char(frame.transparentIndex));
        out.append(char(0));
    }
    putImage(out, 0, 0, QSize(frame.width, frame.height), 0);
    out.append(char(8));
    const qsizetype count = std::min<qsizetype>(frame.indices.size(), qsizetype(frame.width) * frame.height);
    compress(out, reinterpret_cast<const std::uint8_t *>(frame.indices.constData()), count);
    out.append(char(0));
    out.append(char(0x3B));
    return out;
}

} // namespace quorvel
