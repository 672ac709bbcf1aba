#include "board/PathLayer.h"

#include "board/BoardScene.h"

#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QPainter>
#include <QStyleOptionGraphicsItem>

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
    auto shown = [&](const QGraphicsItem *e) { return e && e->isVisible() && drawnRect(e).intersects(exposed); };
    // The pen and brush change only where a path ends: a path's elements are numbered in a row.
    QPen pen(Qt::NoPen);
    QBrush brush;
    if (points_) {
        for (std::size_t n = 1; n < points_->size(); ++n) {
            const QGraphicsRectItem *e = (*points_)[n];
            if (!shown(e))
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
        if (e->pen() != pen)
            painter->setPen(pen = e->pen());
        painter->drawLine(e->line().translated(e->pos()));
    }
}

void PathLayer::touch(const QGraphicsItem *element)
{
    if (element)
        update(drawnRect(element).intersected(kDrawn));
}

void PathLayer::drawnByLayer(QGraphicsItem *element) { element->setFlag(ItemHasNoContents); }

} // namespace quorvel
