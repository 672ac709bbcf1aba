#include "gif/GifImage.h"

#include "gif/GifParser.h"

#include <QHash>
#include <QMutex>

#include <atomic>
#include <deque>
#include <cstdlib>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

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

// The composed pictures of one animation share one block, released with the last of them:
// one allocation instead of one per frame, and on Linux in large pages when it is big.
struct PictureBlock {
    std::atomic<int> users{0};
    void *data = nullptr;
};

void releasePicture(void *info)
{
    auto *block = static_cast<PictureBlock *>(info);
    if (--block->users == 0) {
        std::free(block->data);
        delete block;
    }
}

std::vector<QImage> composedImages(QSize size, int count)
{
    constexpr std::size_t largePage = std::size_t(2) << 20;
    const std::size_t each = std::size_t(size.width()) * std::size_t(size.height()) * 4;
    std::size_t bytes = each * std::size_t(count);
    const bool large = bytes >= 2 * largePage;
    if (large)
        bytes = (bytes + largePage - 1) / largePage * largePage;
    auto *block = new PictureBlock;
    block->data = large ? std::aligned_alloc(largePage, bytes) : std::malloc(std::max<std::size_t>(bytes, 1));
    if (!block->data) {
        delete block;
        throw std::bad_alloc();
    }
#ifdef MADV_HUGEPAGE
    if (large)
        madvise(block->data, bytes, MADV_HUGEPAGE);
#endif
    std::vector<QImage> images;
    images.reserve(std::size_t(count));
    block->users = count;
    for (int i = 0; i < count; ++i)
        images.emplace_back(static_cast<uchar *>(block->data) + each * std::size_t(i), size.width(), size.height(),
                            qsizetype(size.width()) * 4, QImage::Format_ARGB32, releasePicture, block);
    return images;
}

std::shared_ptr<const GifAnimation> decode(QByteArrayView data, QString *error)
{
    gif::ParsedGif parsed;
    if (!gif::parseGif(data, parsed, error))
        return {};
    auto animation = std::make_shared<GifAnimation>();
    animation->size = parsed.size;
    animation->screen = parsed.screen;
    animation->loopCount = parsed.loopCount;
    animation->colorTables = std::move(parsed.colorTables);
    animation->frames.reserve(parsed.images.size());
    for (gif::ParsedImage &image : parsed.images) {
        GifFrame frame = image.frame;
        frame.indices = gif::decodeGifImage(image.subBlocks, image.minCodeSize, image.interlaced,
                                            frame.width, frame.height);
        animation->frames.push_back(std::move(frame));
    }
    chooseCanvas(*animation);

    GifCanvas canvas(animation);
    std::vector<QImage> images = composedImages(animation->size, animation->frameCount());
    animation->composed.reserve(animation->frames.size());
    for (int i = 0; i < animation->frameCount(); ++i) {
        const GifFrame &frame = animation->frames[std::size_t(i)];
        if (!canvas.drawInto(i, animation->colorTables, images[std::size_t(i)])) {
            if (error)
                *error = QStringLiteral("Frame %1 of the GIF could not be drawn").arg(i + 1);
            return {};
        }
        animation->composed.push_back({std::move(images[std::size_t(i)]), frame.delayMs, frame.disposal});
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
    // Keyed by the bytes themselves. An entry lives while some control holds it; the last few
    // small ones (the effects) are held here too, so boards opened one after another do not
    // decode them again.
    constexpr qsizetype smallBytes = 64 * 1024;
    constexpr std::size_t smallKept = 16;
    static QMutex mutex;
    static QHash<QByteArray, std::weak_ptr<const GifAnimation>> cache;
    static std::deque<std::shared_ptr<const GifAnimation>> recent;
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
    if (data.size() <= smallBytes) {
        recent.push_back(animation);
        if (recent.size() > smallKept)
            recent.pop_front();
    }
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
