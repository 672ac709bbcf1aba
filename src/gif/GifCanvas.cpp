#include "gif/GifImage.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace quorvel {

namespace {

// 256 colours for a table: an index the table does not hold is black.
std::array<QRgb, 256> fullTable(const GifColorTable &colors)
{
    std::array<QRgb, 256> table;
    table.fill(qRgb(0, 0, 0));
    std::copy_n(colors.cbegin(), std::min<qsizetype>(colors.size(), 256), table.begin());
    return table;
}

const GifColorTable &tableOf(const GifFrame &frame, const std::vector<GifColorTable> &tables)
{
    static const GifColorTable none;
    return frame.colorTable >= 0 && std::size_t(frame.colorTable) < tables.size() ? tables[frame.colorTable] : none;
}

// Draws the frame's pixels over `target` at its own rectangle: a transparent frame keeps the
// target where its transparent index is, an opaque one covers its whole rectangle.
void paintFrame(QImage &target, const GifFrame &frame, const GifColorTable &colors)
{
    const std::array<QRgb, 256> table = fullTable(colors);
    const QRect area = frame.rect() & target.rect();
    const int skip = frame.transparent ? frame.transparentIndex : -1;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(target.scanLine(y));
        const auto *source = reinterpret_cast<const std::uint8_t *>(frame.indices.constData())
                             + qsizetype(y - frame.top) * frame.width + (area.left() - frame.left);
        for (int x = area.left(); x <= area.right(); ++x, ++source)
            if (*source != skip)
                line[x] = table[*source];
    }
}

QImage blank(QSize size, QRgb fill)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(fill);
    return image;
}

} // namespace

QImage gifFrameImage(const GifFrame &frame, const GifColorTable &colors)
{
    GifFrame atOrigin = frame;
    atOrigin.left = atOrigin.top = 0;
    QImage image = blank(QSize(frame.width, frame.height), 0);
    paintFrame(image, atOrigin, colors);
    return image;
}

GifCanvas::GifCanvas(std::shared_ptr<const GifAnimation> animation) : animation_(std::move(animation)) {}

void GifCanvas::reset()
{
    canvas_ = QImage();
    saved_ = QImage();
    last_ = -1;
}

QImage GifCanvas::draw(int index, const std::vector<GifColorTable> &colorTables)
{
    if (!animation_)
        return {};
    QImage image(animation_->size, QImage::Format_ARGB32);
    return drawInto(index, colorTables, image) ? image : QImage();
}

bool GifCanvas::drawInto(int index, const std::vector<GifColorTable> &colorTables, QImage &target)
{
    if (!animation_ || index < 0 || index >= animation_->frameCount() || target.size() != animation_->size
        || target.format() != QImage::Format_ARGB32)
        return false;
    const GifFrame &frame = animation_->frames[std::size_t(index)];
    const GifColorTable &colors = tableOf(frame, colorTables);

    // Without a canvas each frame is drawn on its own, over the control's background.
    if (!animation_->hasCanvas) {
        target.fill(0);
        paintFrame(target, frame, colors);
        last_ = index;
        return true;
    }

    // The control shows frames in order; any other jump replays from the first frame, and
    // showing the same frame again draws it over its own disposal, as a repaint does.
    if (index == 0 || canvas_.isNull())
        canvas_ = blank(animation_->size, animation_->hasMask ? 0 : qRgb(0, 0, 0));
    if (index != 0 && index != last_ && index != last_ + 1) {
        for (int i = 0; i < index; ++i)
            drawInto(i, colorTables, target);
    }

    const QRect area = frame.rect() & canvas_.rect();
    if (frame.disposal == 3)
        saved_ = canvas_.copy(area);
    paintFrame(canvas_, frame, colors);
    for (int y = 0; y < canvas_.height(); ++y)
        std::copy_n(canvas_.constScanLine(y), canvas_.bytesPerLine(), target.scanLine(y));
    if (frame.disposal == 2) {
        const QRgb cleared = animation_->hasMask ? 0 : qRgb(0, 0, 0);
        for (int y = area.top(); y <= area.bottom(); ++y)
            std::fill_n(reinterpret_cast<QRgb *>(canvas_.scanLine(y)) + area.left(), area.width(), cleared);
    } else if (frame.disposal == 3 && saved_.size() == area.size()) {
        for (int y = 0; y < area.height(); ++y)
            std::copy_n(reinterpret_cast<const QRgb *>(saved_.constScanLine(y)), area.width(),
                        reinterpret_cast<QRgb *>(canvas_.scanLine(area.top() + y)) + area.left());
    }
    last_ = index;
    return true;
}

QRect mirroredGifRect(const QRect &rect, QSize overall, int mirrored)
{
    QRect r = rect;
    if (mirrored & 1)
        r.moveLeft(overall.width() - (rect.left() + rect.width()));
    if (mirrored & 2)
        r.moveTop(overall.height() - (rect.top() + rect.height()));
    return r;
}

GifFrame mirroredGifFrame(const GifFrame &frame, QSize overall, int mirrored)
{
    GifFrame flipped = frame;
    const QRect r = mirroredGifRect(frame.rect(), overall, mirrored);
    flipped.left = r.left();
    flipped.top = r.top();
    if (frame.indices.size() != qsizetype(frame.width) * frame.height)
        return flipped;
    auto *out = flipped.indices.data();
    for (int y = 0; y < frame.height; ++y) {
        const int from = (mirrored & 2) ? frame.height - 1 - y : y;
        for (int x = 0; x < frame.width; ++x)
            out[qsizetype(y) * frame.width + x] = char(frame.index((mirrored & 1) ? frame.width - 1 - x : x, from));
    }
    return flipped;
}

GifScale gifScale(int stretch, QSize size, QSize overall)
{
    GifScale s;
    s.size = size;
    if (overall.width() <= 0 || overall.height() <= 0)
        return s;
    const double across = double(size.width()) / overall.width();
    const double down = double(size.height()) / overall.height();
    const auto scaled = [&](float factor) {
        return QSize(int(std::nearbyint(double(factor) * overall.width())),
                     int(std::nearbyint(double(factor) * overall.height())));
    };
    switch (stretch) {
    case 0:
        s.size = size.boundedTo(overall);
        break;
    case 1:
    case 3: {
        float factor = float(std::min(across, down));
        if (stretch == 3 && across > 1.0 && down > 1.0)
            factor = 1.0f;
        s.horizontal = s.vertical = factor;
        s.size = scaled(factor);
        break;
    }
    case 2:
        s.horizontal = float(across);
        s.vertical = float(down);
        break;
    case 4:
        s.size = overall;
        break;
    default:
        break;
    }
    return s;
}

} // namespace quorvel
