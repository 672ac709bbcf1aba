#include "board/PathLayer.h"

#include "board/BoardScene.h"

#include <QGraphicsLineItem>
#include <QGraphicsRectItem>
#include <QPainter>
#include <QStyleOptionGraphicsItem>

#include <algorithm>
#include <cmath>

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

// The pieces of a partial redraw filed by the cells of a coarse grid over the board, so that an
// element is tested only against the pieces near it: a whole path's change touches thousands
// of pieces, and testing each of tens of thousands of lines against all of them cost more than
// redrawing everything. A piece is filed in every cell that its margin reaches into.
class PieceGrid {
public:
    explicit PieceGrid(const QRegion &pieces) : cells_(std::size_t(kColumns) * kRows)
    {
        for (const QRect &r : pieces) {
            // The region comes back in whole twips: a pixel's slack keeps an element at its edge.
            const QRectF piece = QRectF(r).adjusted(-kPixelSlack, -kPixelSlack, kPixelSlack, kPixelSlack);
            const QRectF reach = piece.adjusted(-kPenReach, -kPenReach, kPenReach, kPenReach);
            for (int row = rowOf(reach.top()); row <= rowOf(reach.bottom()); ++row)
                for (int col = columnOf(reach.left()); col <= columnOf(reach.right()); ++col)
                    cells_[std::size_t(row) * kColumns + col].push_back(piece);
        }
    }

    // Whether the line (its pen included) reaches into a piece: the cells are taken row by row,
    // along the part of the line that crosses each row.
    bool reachedBy(const QLineF &line) const
    {
        const qreal top = std::min(line.y1(), line.y2()), bottom = std::max(line.y1(), line.y2());
        for (int row = rowOf(top); row <= rowOf(bottom); ++row) {
            qreal from = 0, to = 1;
            if (line.dy() != 0) {
                from = std::clamp((bandTop(row) - kSlop - line.y1()) / line.dy(), 0.0, 1.0);
                to = std::clamp((bandTop(row + 1) + kSlop - line.y1()) / line.dy(), 0.0, 1.0);
            }
            const qreal x1 = line.pointAt(from).x(), x2 = line.pointAt(to).x();
            for (int col = columnOf(std::min(x1, x2) - kSlop); col <= columnOf(std::max(x1, x2) + kSlop); ++col)
                for (const QRectF &piece : cells_[std::size_t(row) * kColumns + col])
                    if (reaches(line, piece))
                        return true;
        }
        return false;
    }

    bool meets(const QRectF &drawn) const
    {
        const QRect aligned = drawn.toAlignedRect();
        for (int row = rowOf(drawn.top()); row <= rowOf(drawn.bottom()); ++row)
            for (int col = columnOf(drawn.left()); col <= columnOf(drawn.right()); ++col)
                for (const QRectF &piece : cells_[std::size_t(row) * kColumns + col])
                    if (piece.toAlignedRect().intersects(aligned))
                        return true;
        return false;
    }

private:
    static constexpr qreal kCell = 600;
    static constexpr qreal kSlop = 1; // a twip either way against the rounding at a cell's edge
    static constexpr int kColumns = int(kBoardWidthTwips / kCell) + 2;
    static constexpr int kRows = int(kBoardHeightTwips / kCell) + 2;
    // Cell 0 of each axis takes everything before the board, the last everything after.
    static int index(qreal v, int count) { return std::clamp(int(std::floor(v / kCell)) + 1, 0, count - 1); }
    static int columnOf(qreal x) { return index(x, kColumns); }
    static int rowOf(qreal y) { return index(y, kRows); }
    static qreal bandTop(int row) { return row == 0 ? -1e9 : row == kRows ? 1e9 : (row - 1) * kCell; }

    std::vector<std::vector<QRectF>> cells_;
};

// A change that touches more than this (its pieces' areas added up) redraws the layer whole:
// a partial redraw still draws every line that reaches into a piece, nearly all of them when
// the pieces spread over the board, and clipped to thousands of pieces that costs more than
// drawing them all.
constexpr qreal kWholeRedrawArea = kBoardWidthTwips * kBoardHeightTwips / 8;
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
    touchedArea_ = 0;
    wholeTouched_ = false;
    lastPiece_ = QRectF();
    const QRectF exposed = option->exposedRect;
    // A partial redraw is clipped to the pieces touched: only what reaches into one is drawn.
    const QRegion pieces = painter->hasClipping() ? painter->clipRegion() : QRegion();
    const bool filtered = pieces.rectCount() >= 2;
    const PieceGrid grid(filtered ? pieces : QRegion());
    auto shown = [&](const QGraphicsItem *e) { return e && e->isVisible() && drawnRect(e).intersects(exposed); };
    // The pen and brush change only where a path ends: a path's elements are numbered in a row.
    QPen pen(Qt::NoPen);
    QBrush brush;
    if (points_) {
        for (std::size_t n = 1; n < points_->size(); ++n) {
            const QGraphicsRectItem *e = (*points_)[n];
            if (!shown(e))
                continue;
            if (filtered && !grid.meets(drawnRect(e)))
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
        if (filtered && !grid.reachedBy(line))
            continue;
        if (e->pen() != pen)
            painter->setPen(pen = e->pen());
        painter->drawLine(line);
    }
}

void PathLayer::touchAll()
{
    wholeTouched_ = true;
    update();
}

void PathLayer::touchPiece(const QRectF &piece)
{
    if (wholeTouched_ || piece == lastPiece_)
        return; // an element touched before and after a change that left its place
    lastPiece_ = piece;
    touchedArea_ += piece.width() * piece.height();
    if (touchedArea_ > kWholeRedrawArea)
        touchAll();
    else
        update(piece);
}

void PathLayer::touch(const QGraphicsItem *element)
{
    if (wholeTouched_)
        return;
    const auto *line = qgraphicsitem_cast<const QGraphicsLineItem *>(element);
    if (!line) {
        if (element)
            touchPiece(drawnRect(element).intersected(kDrawn));
        return;
    }
    const QLineF l = line->line().translated(line->pos());
    const int count = std::clamp(int(l.length() / kPieceTwips) + 1, 1, 64);
    for (int i = 0; i < count; ++i) {
        const QRectF piece = QRectF(l.pointAt(qreal(i) / count), l.pointAt(qreal(i + 1) / count)).normalized();
        touchPiece(piece.adjusted(-kPenReach, -kPenReach, kPenReach, kPenReach).intersected(kDrawn));
    }
}

} // namespace quorvel
