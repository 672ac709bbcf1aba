// Any bytes given to the GIF engine are composed or refused with a reason, never a crash or a
// wild allocation; a frame that decodes writes out as a one-frame GIF with the same pixels,
// which writes again byte for byte.
#include "gif/GifImage.h"

#include <cstdlib>

using namespace quorvel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    QString error;
    const auto animation = decodeGifAnimation(bytes, &error);
    if (!animation) {
        if (error.isEmpty())
            std::abort();
        return 0;
    }
    if (animation->composed.size() != animation->frames.size() || animation->frames.empty())
        std::abort();
    for (const ComposedGifFrame &frame : animation->composed)
        if (frame.image.size() != animation->size || frame.image.format() != QImage::Format_ARGB32)
            std::abort();

    const GifFrame &first = animation->frames.front();
    const QByteArray again = encodeGifFrame(first, animation->colorTables[std::size_t(first.colorTable)]);
    const auto back = decodeGifAnimation(again, &error);
    if (!back || back->frames.front().indices != first.indices)
        std::abort();
    // Written again, it is the same bytes.
    if (encodeGifFrame(back->frames.front(), back->colorTables.front()) != again)
        std::abort();
    return 0;
}
