#include "GifSamples.h"

#include <cmath>

namespace quorvel::samples {

GifColorTable ramp(int count)
{
    GifColorTable colors;
    for (int i = 0; i < count; ++i)
        colors.append(qRgb(i * 255 / std::max(1, count - 1), (i * 97) % 256, 255 - (i * 31) % 256));
    return colors;
}

GifEncodeFrame ringFrame(QSize size, int left, int top, int step, int colors)
{
    GifEncodeFrame f;
    f.size = size;
    f.left = left;
    f.top = top;
    f.indices.resize(qsizetype(size.width()) * size.height());
    const double cx = size.width() / 2.0;
    const double cy = size.height() / 2.0;
    const double radius = 2.0 + step * 3.0;
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const double d = std::hypot(x - cx, y - cy);
            const int band = int(std::abs(d - radius));
            const int index = band < colors - 1 ? colors - 1 - band : ((x * 7 + y * 3 + step) % 11 == 0 ? 1 : 0);
            f.indices[qsizetype(y) * size.width() + x] = char(index);
        }
    return f;
}

QByteArray effectGif(QSize size, int frames, int delayMs)
{
    GifEncodeInput in;
    in.screen = size;
    in.globalColors = ramp(64);
    for (int i = 0; i < frames; ++i) {
        GifEncodeFrame f = ringFrame(size, 0, 0, i, 64);
        f.transparent = true;
        f.transparentIndex = 0;
        f.disposal = i % 2 ? 2 : 1;
        f.delayMs = delayMs;
        in.frames.push_back(f);
    }
    return encodeGif(in);
}

QByteArray effectLike(int which)
{
    switch (which) {
    case 0:
        return effectGif(QSize(50, 50), 5, 100);
    case 1:
        return effectGif(QSize(170, 170), 11, 0);
    default:
        return effectGif(QSize(50, 50), 40, 500);
    }
}

QByteArray largeGif()
{
    GifEncodeInput in;
    in.screen = QSize(500, 500);
    in.globalColors = ramp(256);
    in.loopCount = 0;
    in.frames.push_back(ringFrame(QSize(500, 500), 0, 0, 40, 256));
    for (int i = 1; i < 100; ++i) {
        GifEncodeFrame f = ringFrame(QSize(300, 300), (i * 37) % 200, (i * 53) % 200, i, 256);
        f.transparent = i % 3 == 0;
        f.disposal = 1 + i % 3;
        f.delayMs = 40;
        in.frames.push_back(f);
    }
    return encodeGif(in);
}

} // namespace quorvel::samples
