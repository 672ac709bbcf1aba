#pragma once
// The GIF engine: reads a GIF stream into its frames (palette indices, colour tables, delays,
// disposal), composes them on a canvas with a transparency mask by the animated control's
// drawing rules, and writes GIFs. Every count in the stream is checked against the bytes left
// and against the caps below before anything is allocated, so no file can crash it or make it
// allocate wildly. QtCore and QImage only.

#include <QByteArray>
#include <QByteArrayView>
#include <QImage>
#include <QList>
#include <QRect>
#include <QSize>
#include <QString>

#include <cstdint>
#include <memory>
#include <vector>

namespace quorvel {

// Beyond these a stream fails to load, with the reason.
struct GifLimits {
    static constexpr qsizetype maxFileBytes = qsizetype(64) << 20;
    static constexpr int maxCanvasSide = 4096;      // overall width and height
    static constexpr int maxFrames = 32767;
    // Palette indices of every frame plus every composed picture, in pixels.
    static constexpr qint64 maxDecodedPixels = qint64(1) << 26;
};

// Colours of one table, opaque 0xffRRGGBB; its size is the table's number of colours.
using GifColorTable = QList<QRgb>;

// One image of the stream as stored: palette indices, not colours.
struct GifFrame {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
    int delayMs = 0;          // the graphic control extension's hundredths x 10; 0 without one
    int colorTable = 0;       // 0 = the global table, k = the k-th local table
    int transparentIndex = 0;
    bool transparent = false;
    int disposal = 0;         // 0..3
    QByteArray indices;       // width x height bytes, rows top-down, de-interlaced

    QRect rect() const { return QRect(left, top, width, height); }
    std::uint8_t index(int x, int y) const { return std::uint8_t(indices[qsizetype(y) * width + x]); }
};

// A frame as the control draws it at scale 1 with no offset: the overall size, ARGB32, pixels
// the mask leaves transparent have alpha 0.
struct ComposedGifFrame {
    QImage image;
    int delayMs = 0;
    int disposal = 0;
};

// A decoded animation. Immutable once loaded and shared between every control that shows it.
struct GifAnimation {
    QSize size;               // bounding box of all frames, measured from (0, 0)
    QSize screen;             // the logical screen the header announces; the bounding box when
                              // it announces none (0) or one beyond maxCanvasSide
    int loopCount = 0;        // 0 = endless (also when the stream has no loop block)
    std::vector<GifColorTable> colorTables;  // [0] global (empty when there is none), then local tables
    std::vector<GifFrame> frames;
    bool hasCanvas = false;   // frames compose on a canvas (else each is drawn on its own)
    bool hasMask = false;     // the canvas carries a transparency mask (else it is opaque)
    std::vector<ComposedGifFrame> composed;  // every frame with the original colour tables

    int frameCount() const { return int(frames.size()); }
};

// Parses, decodes and composes every frame. An error leaves the vector empty and says why.
std::vector<ComposedGifFrame> composeGifFrames(QByteArrayView data, QString *error);

// Decodes a stream (no cache). Null with the reason on failure.
std::shared_ptr<const GifAnimation> decodeGifAnimation(QByteArrayView data, QString *error);

// Same as decodeGifAnimation, but shared per process: equal bytes give the same animation
// while anyone still holds it.
std::shared_ptr<const GifAnimation> loadGifAnimation(QByteArrayView data, QString *error);

// The canvas and mask of one playing control. A control that changes colour tables while it
// plays (or wants frames one at a time) draws through this. Frames come in play order and
// index 0 starts afresh; the same frame again is drawn over its own disposal, as a repaint
// does; any other jump replays from frame 0. Mirroring commutes with composing: a mirrored
// control may mirror the pictures.
class GifCanvas {
public:
    explicit GifCanvas(std::shared_ptr<const GifAnimation> animation);

    // The picture shown for frame `index` (0-based) with the given tables: the previous
    // frame's disposal is applied, then this frame is drawn. Overall size, ARGB32.
    QImage draw(int index, const std::vector<GifColorTable> &colorTables);
    // The same into a picture the caller owns (overall size, ARGB32); false when it is not one.
    bool drawInto(int index, const std::vector<GifColorTable> &colorTables, QImage &target);
    void reset();

private:
    std::shared_ptr<const GifAnimation> animation_;
    QImage canvas_;           // RGB colours; alpha 0 where the mask is transparent
    QImage saved_;            // the rectangle a disposal-3 frame restores
    int last_ = -1;           // frame drawn last, -1 none
};

// The frame alone, ARGB32 of its own size: its transparent index has alpha 0; an index beyond
// the table's colours is black.
QImage gifFrameImage(const GifFrame &frame, const GifColorTable &colors);

// Mirroring: bit 0 left-right, bit 1 top-bottom. Where a frame's rectangle lands.
QRect mirroredGifRect(const QRect &rect, QSize overall, int mirrored);
// The frame flipped in place and moved to its mirrored rectangle, as the control's strip holds
// it (and hands it to encodeGifFrame) while `Mirrored` is set.
GifFrame mirroredGifFrame(const GifFrame &frame, QSize overall, int mirrored);

// The scale for the control's Stretch mode (0 actual size, 1 proportional fit, 2 fill,
// 3 proportional never enlarged, 4 the control takes the image's size). `size` is the
// control's inner size in pixels going in, and the size it takes coming out.
struct GifScale {
    float horizontal = 1.0f;
    float vertical = 1.0f;
    QSize size;
};
GifScale gifScale(int stretch, QSize size, QSize overall);

// One frame to encode.
struct GifEncodeFrame {
    QSize size;
    QByteArray indices;       // size.width() x size.height() bytes, rows top-down
    GifColorTable localColors; // empty: the global table
    int left = 0;
    int top = 0;
    int delayMs = 0;          // stored in hundredths, rounded down
    int disposal = 0;         // 0..3
    bool transparent = false;
    int transparentIndex = 0;
};

struct GifEncodeInput {
    QSize screen;             // logical screen size
    GifColorTable globalColors; // padded to a power of two, at most 256; empty: none
    int loopCount = -1;       // -1 writes no loop block; 0 = endless
    std::vector<GifEncodeFrame> frames;
};

// A GIF89a stream; empty with the reason when the input cannot be written (sizes, tables,
// indices that do not fit).
QByteArray encodeGif(const GifEncodeInput &input, QString *error = nullptr);

// The control's current frame as a one-frame GIF: a 256-entry global table holding the
// frame's colours, a graphic control extension only for a transparent frame, no delay and
// no disposal carried.
QByteArray encodeGifFrame(const GifFrame &frame, const GifColorTable &colors);

} // namespace quorvel
