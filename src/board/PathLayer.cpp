#include "board/PathLayer.h"

#include "board/BoardScene.h"

#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QPainter>
#include <QStyleOptionGraphicsItem>

#include <algorithm>

namespace quorvel {

namespace {
// What an element draws beyond its geometry: half a cosmetic pen of two pixels, rounded up.
constexpr qreal kPenReach = 30;
// What can be seen lies on the board; an element reaching past its edge is drawn up to it.
const QRectF kDrawn(-kPenReach, -kPenReach, kBoardWidthTwips + 2 * kPenReach, kBoardHeightTwips + 2 * kPenReach);

// Worked out here rather than by the item, which strokes a line's shape to find its bounds.
QRectF drawnRect(const QGraphicsItem *element)
{
    QRectF r;
    if (const auto *line = qgraphicsitem_cast<const QGraphicsLineItem *>(element))
        r = QRectF(line->line().p1(), line->line().p2()).normalized();
    else if (const auto *point = qgraphicsitem_cast<const QGraphicsRectItem *>(element))
        r = point->rect();
    return r.translated(element->pos()).adjusted(-kPenReach, -kPenReach, kPenReach, kPenReach);
}

// A line's change is redrawn in pieces of about this length along it: a line across the
// board then redraws the band around it, not the whole rectangle it spans.
constexpr qreal kPieceTwips = 600;
constexpr qreal kPixelSlack = 15;

// Whether the line (its pen included) reaches into r: the part of the line within r's
// extent on one axis is tested against the other (Liang-Barsky).
bool reaches(const QLineF &line, QRectF r)
{
    r.adjust(-kPenReach, -kPenReach, kPenReach, kPenReach);
    qreal from = 0, to = 1;
    const qreal d[2] = {line.dx(), line.dy()}, p[2] = {line.x1(), line.y1()};
    const qreal low[2] = {r.left(), r.top()}, high[2] = {r.right(), r.bottom()};
    for (int axis = 0; axis < 2; ++axis) {
        if (d[axis] == 0) {
            if (p[axis] < low[axis] || p[axis] > high[axis])
                return false;
            continue;
        }
        qreal a = (low[axis] - p[axis]) / d[axis], b = (high[axis] - p[axis]) / d[axis];
        if (a > b)
            std::swap(a, b);
        from = std::max(from, a);
        to = std::min(to, b);
        if (from > to)
            return false;
    }
    return true;
}
} // namespace

PathLayer::PathLayer(const std::vector<QGraphicsRectItem *> *points, const std::vector<QGraphicsLineItem *> *lines)
    : points_(points), lines_(lines)
{
    setFlag(ItemUsesExtendedStyleOption); // the exposed part, to skip what lies outside it
    setCacheMode(DeviceCoordinateCache);
    setAcceptedMouseButtons(Qt::NoButton); // the board's editor finds elements itself
}

QRectF PathLayer::boundingRect() const { return kDrawn; }

void PathLayer::paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *)
{
    const QRectF exposed = option->exposedRect;
    // A partial redraw is clipped to the pieces touched: only what reaches into one is drawn.
    const QRegion pieces = painter->hasClipping() ? painter->clipRegion() : QRegion();
    const auto inPieces = [&](const QLineF &line) {
        // The region comes back in whole twips: a pixel's slack keeps a line at its edge.
        return pieces.rectCount() < 2 || std::any_of(pieces.begin(), pieces.end(), [&](const QRect &r) {
                   return reaches(line, QRectF(r).adjusted(-kPixelSlack, -kPixelSlack, kPixelSlack, kPixelSlack));
               });
    };
    auto shown = [&](const QGraphicsItem *e) { return e && e->isVisible() && drawnRect(e).intersects(exposed); };
    // The pen and brush change only where a path ends: a path's elements are numbered in a row.
    QPen pen(Qt::NoPen);
    QBrush brush;
    if (points_) {
        for (std::size_t n = 1; n < points_->size(); ++n) {
            const QGraphicsRectItem *e = (*points_)[n];
            if (!shown(e))
                continue;
            const QRectF drawn = drawnRect(e).adjusted(-kPixelSlack, -kPixelSlack, kPixelSlack, kPixelSlack);
            if (pieces.rectCount() >= 2 && !pieces.intersects(drawn.toAlignedRect()))
                continue;
            if (e->pen() != pen)
                painter->setPen(pen = e->pen());
            if (e->brush() != brush)
                painter->setBrush(brush = e->brush());
            painter->drawRect(e->rect().translated(e->pos()));
        }
        return;
    }
    for (std::size_t n = 1; n < lines_->size(); ++n) {
        const QGraphicsLineItem *e = (*lines_)[n];
        if (!shown(e))
            continue;
        const QLineF line = e->line().translated(e->pos());
        if (!inPieces(line))
            continue;
        if (e->pen() != pen)
            painter->setPen(pen = e->pen());
        painter->drawLine(line);
    }
}

void PathLayer::touch(const QGraphicsItem *element)
{
    const auto *line = qgraphicsitem_cast<const QGraphicsLineItem *>(element);
    if (!line) {
        if (element)
            update(drawnRect(element).intersected(kDrawn));
        return;
    }
    const QLineF l = line->line().translated(line->pos());
    const int count = std::clamp(int(l.length() / kPieceTwips) + 1, 1, 64);
    for (int i = 0; i < count; ++i) {
        const QRectF piece = QRectF(l.pointAt(qreal(i) / count), l.pointAt(qreal(i + 1) / count)).normalized();
        update(piece.adjusted(-kPenReach, -kPenReach, kPenReach, kPenReach).intersected(kDrawn));
    }
}

void PathLayer::drawnByLayer(QGraphicsItem *element) { element->setFlag(ItemHasNoContents); }

} // namespace quorvel
