#include "gif/GifImage.h"

namespace quorvel {

std::vector<ComposedGifFrame> composeGifFrames(QByteArrayView, QString *error)
{
    if (error)
        *error = QStringLiteral("not built yet");
    return {};
}

std::shared_ptr<const GifAnimation> decodeGifAnimation(QByteArrayView, QString *error)
{
    if (error)
        *error = QStringLiteral("not built yet");
    return {};
}

std::shared_ptr<const GifAnimation> loadGifAnimation(QByteArrayView data, QString *error)
{
    return decodeGifAnimation(data, error);
}

GifCanvas::GifCanvas(std::shared_ptr<const GifAnimation> animation) : animation_(std::move(animation)) {}
QImage GifCanvas::draw(int, const std::vector<GifColorTable> &) { return {}; }
void GifCanvas::reset() { last_ = -1; }

QImage gifFrameImage(const GifFrame &, const GifColorTable &) { return {}; }
QRect mirroredGifRect(const QRect &rect, QSize, int) { return rect; }
GifScale gifScale(int, QSize size, QSize) { return {1.0f, 1.0f, size}; }
QByteArray encodeGif(const GifEncodeInput &, QString *) { return {}; }
QByteArray encodeGifFrame(const GifFrame &, const GifColorTable &) { return {}; }

} // namespace quorvel
