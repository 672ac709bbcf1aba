#include "gif/GifImage.h"

#include "gif/GifParser.h"

#include <QHash>
#include <QMutex>

#include <new>

namespace quorvel {

namespace {

// Whether frames meet on a canvas, and whether that canvas needs a mask: a single frame, or
// frames that each clear themselves away, are drawn on their own.
void chooseCanvas(GifAnimation &a)
{
    const GifFrame &first = a.frames.front();
    bool allCleared = true;
    bool restores = false;
    bool anyTransparent = false;
    for (const GifFrame &f : a.frames) {
        allCleared = allCleared && f.disposal == 2;
        restores = restores || f.disposal == 2 || f.disposal == 3;
        anyTransparent = anyTransparent || f.transparent;
    }
    a.hasCanvas = a.frames.size() > 1 && !allCleared;
    a.hasMask = a.hasCanvas
                && (restores || first.transparent
                    || (anyTransparent && QSize(first.width, first.height) != a.size));
}

std::shared_ptr<const GifAnimation> decode(QByteArrayView data, QString *error)
{
    gif::ParsedGif parsed;
    if (!gif::parseGif(data, parsed, error))
        return {};
    auto animation = std::make_shared<GifAnimation>();
    animation->size = parsed.size;
    animation->loopCount = parsed.loopCount;
    animation->colorTables = std::move(parsed.colorTables);
    animation->frames.reserve(parsed.images.size());
    for (gif::ParsedImage &image : parsed.images) {
        GifFrame frame = image.frame;
        frame.indices = QByteArray(qsizetype(frame.width) * frame.height, '\0');
        gif::decodeGifImage(image.subBlocks, image.minCodeSize, image.interlaced, frame.width,
                            frame.height, reinterpret_cast<std::uint8_t *>(frame.indices.data()));
        animation->frames.push_back(std::move(frame));
    }
    chooseCanvas(*animation);

    GifCanvas canvas(animation);
    animation->composed.reserve(animation->frames.size());
    for (int i = 0; i < animation->frameCount(); ++i) {
        const GifFrame &frame = animation->frames[std::size_t(i)];
        animation->composed.push_back({canvas.draw(i, animation->colorTables), frame.delayMs, frame.disposal});
        if (animation->composed.back().image.isNull()) {
            if (error)
                *error = QStringLiteral("Frame %1 of the GIF could not be drawn").arg(i + 1);
            return {};
        }
    }
    return animation;
}

} // namespace

std::shared_ptr<const GifAnimation> decodeGifAnimation(QByteArrayView data, QString *error)
{
    try {
        return decode(data, error);
    } catch (const std::bad_alloc &) {
        if (error)
            *error = QStringLiteral("There is not enough memory to decode the GIF");
        return {};
    }
}

std::shared_ptr<const GifAnimation> loadGifAnimation(QByteArrayView data, QString *error)
{
    // Keyed by the bytes themselves; an entry lives only while some control holds it.
    static QMutex mutex;
    static QHash<QByteArray, std::weak_ptr<const GifAnimation>> cache;
    const QByteArray key = data.toByteArray();
    {
        QMutexLocker lock(&mutex);
        if (auto found = cache.value(key).lock())
            return found;
    }
    auto animation = decodeGifAnimation(data, error);
    if (!animation)
        return {};
    QMutexLocker lock(&mutex);
    if (auto raced = cache.value(key).lock())
        return raced;
    cache.removeIf([](const auto &entry) { return entry.value().expired(); });
    cache.insert(key, animation);
    return animation;
}

std::vector<ComposedGifFrame> composeGifFrames(QByteArrayView data, QString *error)
{
    const auto animation = decodeGifAnimation(data, error);
    return animation ? animation->composed : std::vector<ComposedGifFrame>{};
}

} // namespace quorvel
