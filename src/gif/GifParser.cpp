#include "gif/GifParser.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace quorvel::gif {

namespace {

// The parser's cursor. Like ByteReader, the first failure ends every later read; unlike it,
// the position may be moved by hand, because skipping sub-blocks may step past the end and
// only the next read notices.
class Cursor {
public:
    explicit Cursor(QByteArrayView data) : data_(data) {}

    bool ok() const { return ok_; }
    qsizetype pos() const { return pos_; }
    void seek(qsizetype pos) { pos_ = pos; }
    void fail() { ok_ = false; }

    std::uint8_t byte()
    {
        if (!ok_ || pos_ < 0 || pos_ >= data_.size()) {
            ok_ = false;
            return 0;
        }
        return std::uint8_t(data_[pos_++]);
    }
    int u16()
    {
        const int lo = byte();
        const int hi = byte();
        return lo | hi << 8;
    }
    // n bytes, or an empty view when fewer are left (the position then stays).
    QByteArrayView bytes(qsizetype n)
    {
        if (!ok_ || n < 0 || pos_ < 0 || n > data_.size() - pos_)
            return {};
        const QByteArrayView v = data_.sliced(pos_, n);
        pos_ += n;
        return v;
    }
    // Size-prefixed sub-blocks up to their terminator, which is stepped over too.
    void skipSubBlocks()
    {
        while (pos_ >= 0 && pos_ < data_.size()) {
            const int size = std::uint8_t(data_[pos_]);
            if (size == 0)
                break;
            pos_ += 1 + size;
        }
        ++pos_;
    }
    // A colour table of 2^bits colours; a table must be followed by at least one more byte.
    bool colorTable(int bits, GifColorTable &table)
    {
        const qsizetype count = qsizetype(1) << bits;
        if (!ok_ || pos_ + 3 * count >= data_.size()) {
            ok_ = false;
            return false;
        }
        table.resize(count);
        const auto *p = reinterpret_cast<const std::uint8_t *>(data_.data()) + pos_;
        for (qsizetype i = 0; i < count; ++i, p += 3)
            table[i] = qRgb(p[0], p[1], p[2]);
        pos_ += 3 * count;
        return true;
    }
    QByteArrayView from(qsizetype start) const
    {
        start = std::clamp<qsizetype>(start, 0, data_.size());
        return data_.sliced(start, std::clamp<qsizetype>(pos_, start, data_.size()) - start);
    }

private:
    QByteArrayView data_;
    qsizetype pos_ = 0;
    bool ok_ = true;
};

bool sameLetters(QByteArrayView bytes, const char *text)
{
    const qsizetype n = qsizetype(std::strlen(text));
    if (bytes.size() != n)
        return false;
    for (qsizetype i = 0; i < n; ++i) {
        char c = bytes[i];
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
        if (c != text[i])
            return false;
    }
    return true;
}

bool failWith(QString *error, const QString &why)
{
    if (error)
        *error = why;
    return false;
}

} // namespace

bool parseGif(QByteArrayView data, ParsedGif &out, QString *error)
{
    out = {};
    if (data.size() > GifLimits::maxFileBytes)
        return failWith(error, QStringLiteral("The GIF is %1 bytes long, more than the %2 bytes allowed")
                                   .arg(data.size()).arg(GifLimits::maxFileBytes));
    Cursor in(data);
    const QByteArrayView signature = in.bytes(6);
    if (!sameLetters(signature, "GIF89A") && !sameLetters(signature, "GIF87A"))
        return failWith(error, QStringLiteral("This is not a GIF picture"));

    // The frames are drawn on their bounding box; the logical screen only sizes a player
    // that takes the GIF's own size.
    const int screenWidth = in.u16();
    const int screenHeight = in.u16();
    const int screenFlags = in.byte();
    in.seek(13);
    bool hasGlobal = false;
    out.colorTables.emplace_back();
    if (in.ok() && (screenFlags & 0x80)) {
        if (!in.colorTable((screenFlags & 7) + 1, out.colorTables[0]))
            return failWith(error, QStringLiteral("The GIF ends inside its colour table"));
        hasGlobal = true;
    }

    GifFrame current;
    int images = 0;   // every image descriptor, the empty ones included
    bool kept = false;
    qint64 width = 0;
    qint64 height = 0;
    while (in.ok()) {
        const std::uint8_t block = in.byte();
        if (!in.ok())
            break;
        if (block == 0x00)
            continue;
        if (block == 0x21) {
            const std::uint8_t label = in.byte();
            if (label == 0xFF) {
                const int n = in.byte();
                if (n == 0)
                    break;
                if (sameLetters(in.bytes(n), "NETSCAPE2.0")) {
                    if (in.byte() == 3) {
                        in.byte();
                        out.loopCount = in.u16();
                    } else {
                        in.seek(in.pos() - 1);
                    }
                }
                in.skipSubBlocks();
            } else if (label == 0xF9) {
                current = GifFrame();
                const qsizetype start = in.pos() - 2;
                in.byte();
                const int flags = in.byte();
                int disposal = (flags >> 2) & 7;
                if (disposal > 3 || (disposal == 3 && !kept))
                    disposal = 0;
                current.disposal = disposal;
                current.delayMs = in.u16() * 10;
                current.transparent = flags & 1;
                if (current.transparent)
                    current.transparentIndex = in.byte();
                else
                    in.seek(start + 7);
                in.skipSubBlocks();
            } else {
                in.skipSubBlocks();
            }
            continue;
        }
        if (block != 0x2C)
            break;

        ParsedImage image;
        image.frame = current;
        GifFrame &f = image.frame;
        f.left = in.u16();
        f.top = in.u16();
        f.width = in.u16();
        f.height = in.u16();
        const int flags = in.byte();
        if (!in.ok())
            break;
        if (flags & 0x80) {
            GifColorTable table;
            if (!in.colorTable((flags & 7) + 1, table))
                break;
            out.colorTables.push_back(std::move(table));
            f.colorTable = int(out.colorTables.size()) - 1;
        } else if (!hasGlobal) {
            return failWith(error, QStringLiteral("Image %1 of the GIF has no colour table").arg(images + 1));
        }
        image.interlaced = flags & 0x40;
        image.minCodeSize = in.byte();
        if (!in.ok())
            break;
        const qsizetype dataStart = in.pos();
        in.skipSubBlocks();
        image.subBlocks = in.from(dataStart);
        current = GifFrame();
        if (++images > GifLimits::maxFrames)
            return failWith(error, QStringLiteral("The GIF holds more than %1 images").arg(GifLimits::maxFrames));
        // An empty image has nothing to draw or scale by: it is left out.
        if (f.width == 0 || f.height == 0)
            continue;
        width = std::max<qint64>(width, f.left + f.width);
        height = std::max<qint64>(height, f.top + f.height);
        if (width > GifLimits::maxCanvasSide || height > GifLimits::maxCanvasSide)
            return failWith(error, QStringLiteral("The GIF's picture is %1 x %2 pixels, more than %3 x %3")
                                       .arg(width).arg(height).arg(GifLimits::maxCanvasSide));
        out.images.push_back(image);
        kept = true;
    }
    if (out.images.empty())
        return failWith(error, QStringLiteral("The GIF holds no image"));
    out.size = QSize(int(width), int(height));
    const bool screenFits = screenWidth > 0 && screenHeight > 0 && screenWidth <= GifLimits::maxCanvasSide
                            && screenHeight <= GifLimits::maxCanvasSide;
    out.screen = screenFits ? QSize(screenWidth, screenHeight) : out.size;

    qint64 pixels = 0;
    for (const ParsedImage &image : out.images)
        pixels += qint64(image.frame.width) * image.frame.height + width * height;
    if (pixels > GifLimits::maxDecodedPixels)
        return failWith(error, QStringLiteral("The GIF would decode to %1 pixels, more than the %2 allowed")
                                   .arg(pixels).arg(GifLimits::maxDecodedPixels));
    return true;
}

namespace {

// Bits of the data sub-blocks, lowest first, gathered into one run so codes may span blocks.
QByteArray gatherSubBlocks(QByteArrayView blocks)
{
    QByteArray run;
    run.reserve(blocks.size());
    qsizetype pos = 0;
    while (pos < blocks.size()) {
        const qsizetype size = std::uint8_t(blocks[pos++]);
        if (size == 0)
            break;
        run.append(blocks.sliced(pos, std::min(size, blocks.size() - pos)));
        pos += size;
    }
    return run;
}

// Rows of an interlaced image in the order they are stored.
void deinterlace(std::uint8_t *pixels, int width, int height)
{
    std::vector<std::uint8_t> stored(pixels, pixels + qsizetype(width) * height);
    static constexpr int start[4] = {0, 4, 2, 1};
    static constexpr int step[4] = {8, 8, 4, 2};
    int row = 0;
    for (int pass = 0; pass < 4; ++pass)
        for (int y = start[pass]; y < height; y += step[pass], ++row)
            std::memcpy(pixels + qsizetype(y) * width, stored.data() + qsizetype(row) * width, width);
}

} // namespace

QByteArray decodeGifImage(QByteArrayView subBlocks, int minCodeSize, bool interlaced, int width,
                          int height)
{
    const qsizetype total = qsizetype(width) * height;
    // A string may run past the last pixel; the slack takes it and is cut off at the end.
    QByteArray pixels(total + 4096, '\0');
    auto *out = reinterpret_cast<std::uint8_t *>(pixels.data());
    if (total > 0 && minCodeSize >= 2 && minCodeSize <= 8) {
        const QByteArray run = gatherSubBlocks(subBlocks);
        const auto *bytes = reinterpret_cast<const std::uint8_t *>(run.constData());
        const qsizetype byteCount = run.size();

        // Every code's string has already been written once: the previous string followed by
        // the first byte of the one after it. A code is therefore a place and a length in the
        // pixels decoded so far.
        std::array<std::uint32_t, 4096> offset{};
        std::array<std::uint16_t, 4096> length{};
        const int clear = 1 << minCodeSize;
        const int end = clear + 1;
        int codeSize = minCodeSize + 1;
        int next = clear + 2;
        int previous = -1;
        qsizetype previousAt = 0;
        std::uint32_t bits = 0;
        int bitCount = 0;
        qsizetype in = 0;
        qsizetype pos = 0;

        while (pos < total) {
            while (bitCount < codeSize && in < byteCount) {
                bits |= std::uint32_t(bytes[in++]) << bitCount;
                bitCount += 8;
            }
            if (bitCount < codeSize)
                break;
            const int code = int(bits & ((1u << codeSize) - 1));
            bits >>= codeSize;
            bitCount -= codeSize;

            if (code == clear) {
                codeSize = minCodeSize + 1;
                next = clear + 2;
                previous = -1;
                continue;
            }
            if (code == end)
                break;
            qsizetype written;
            if (code < clear) {
                out[pos] = std::uint8_t(code);
                written = 1;
            } else if (previous < 0 || code > next || (code == next && next == 4096)) {
                break;   // a code that does not exist yet
            } else if (code < next) {
                written = length[code];
                std::memcpy(out + pos, out + offset[code], std::size_t(written));
            } else {
                // The string being defined: the previous one and its own first byte again.
                written = (previous < clear ? 1 : length[previous]) + 1;
                for (qsizetype k = 0; k < written; ++k)
                    out[pos + k] = out[previousAt + k];
            }
            if (previous >= 0 && next < 4096) {
                offset[next] = std::uint32_t(previousAt);
                length[next] = std::uint16_t((previous < clear ? 1 : length[previous]) + 1);
                ++next;
                // A full table keeps 12-bit codes until the stream clears it.
                if (next == (1 << codeSize) && codeSize < 12)
                    ++codeSize;
            }
            previous = code;
            previousAt = pos;
            pos += written;
        }
    }
    pixels.resize(total);
    if (interlaced)
        deinterlace(reinterpret_cast<std::uint8_t *>(pixels.data()), width, height);
    return pixels;
}

} // namespace quorvel::gif
