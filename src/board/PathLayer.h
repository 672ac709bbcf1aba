#pragma once
// The path points and lines are painted by two layers rather than item by item. A board may
// hold tens of thousands of them, and painted one item at a time a repaint of the board held
// the interface for close to half a second: every frame of Play/Edit, and every drop of a drag.
// The elements are items kept outside the scene, so the board's arrays, picking and whatever
// reads an element work as before while a paint never walks them; a layer draws the shown
// items of its array in index order, as they would draw themselves, from a cache kept at the
// view's resolution.
// Whoever changes an element tells the layer where (touch), and only that part is redrawn.

#include <QGraphicsItem>

#include <vector>

class QGraphicsLineItem;
class QGraphicsRectItem;

namespace quorvel {

class PathLayer : public QGraphicsItem {
public:
    // Draws the points, or (points null) the lines.
    PathLayer(const std::vector<QGraphicsRectItem *> *points, const std::vector<QGraphicsLineItem *> *lines);

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    // An element of the layer is about to change or has changed: its drawing, before and
    // after, is redrawn.
    void touch(const QGraphicsItem *element);
    // Every element may have changed.
    void touchAll();

private:
    void touchPiece(const QRectF &piece);

    qreal touchedArea_ = 0;     // what the touches since the last paint add up to
    bool wholeTouched_ = false; // the next paint redraws the layer whole
    QRectF lastPiece_;
    const std::vector<QGraphicsRectItem *> *points_;
    const std::vector<QGraphicsLineItem *> *lines_;
};

} // namespace quorvel
