#pragma once
// The board's drag tool: an object, text, marker or path point pressed with the left button
// follows the mouse as a dashed outline and is dropped where the button is released (all of it
// on the board below the top strip where it fits); the document takes the new place. The
// outline is the drag's only feedback: the element the scene mirrors is never hidden or moved
// before the drop, so a drag that ends where it began, or is aborted (Esc, focus lost, another
// tool), leaves it as it was. Also the hand tool, which moves the board's window.

#include "board/BoardScene.h"
#include "board/ToolContext.h"

#include <QPointF>
#include <QRectF>

#include <cstdint>

class QGraphicsRectItem;

namespace quorvel {

struct SharedToolState;

class DragTool {
public:
    explicit DragTool(const ToolContext &tools);

    void press(BoardElement kind, int i, QPointF pos);
    void move(BoardElement kind, int i, QPointF pos);
    void release(BoardElement kind, int i);
    // Ends a drag without dropping: the outline goes, the element stays where it was.
    void abort();

    // What the drag tool is doing: nothing, an element pressed (the outline shows from the
    // first move on), or a drag that the document refused to arm (an object on a path in a
    // running Play/Edit), which ignores the mouse until the release.
    enum class Action { None, Dragging, Refused };
    Action action() const { return action_; }

    // The hand tool: a press takes the place, a move with the left button moves the window.
    void handPress(QPointF pos);
    void handMove(bool leftHeld, QPointF pos);

    std::int32_t lMoverX = 0, lMoverY = 0;

    // The outlines shown while dragging: objects and texts, path points, markers.
    QGraphicsRectItem *shpT = nullptr;
    QGraphicsRectItem *shpM = nullptr;
    QGraphicsRectItem *shpMarker = nullptr;

private:
    QPointF dragTarget(QPointF pos) const;
    QPointF elementPos(BoardElement kind, int i, bool &found) const;
    // What the element draws relative to its stored corner.
    QRectF extentOf(BoardElement kind, int i) const;
    QGraphicsRectItem *outlineOf(BoardElement kind) const;

    ToolContext tools_;
    SharedToolState &state_;
    Action action_ = Action::None;
    BoardElement kind_ = BoardElement::None;
    int index_ = 0;
    QPointF pressPos_;
    QPointF antigo_;
    QPointF novo_;
    QRectF extent_; // what the dragged element draws, which the drop keeps on the board
};

} // namespace quorvel
