#pragma once
// The board's drag tool: an object, text, marker or path point pressed with the left button
// follows the mouse as a dashed outline and is dropped where the button is released (kept on
// the board); the document takes the new place. Also the hand tool, which moves the board's
// window.

#include <QPointF>

#include <cstdint>

class QGraphicsRectItem;

namespace quorvel {

class frmMapa;
struct ProgramState;

// What the mouse is over on a board.
enum class BoardElement { None, Board, Object, Text, Marker, Point };

class DragTool {
public:
    DragTool(frmMapa &board, ProgramState &state);

    void press(BoardElement kind, int i, QPointF pos);
    void move(BoardElement kind, int i, QPointF pos);
    void release(BoardElement kind, int i);
    // Ends any drag without dropping.
    void cancel();

    // The hand tool: a press takes the place, a move with the left button moves the window.
    void handPress(QPointF pos);
    void handMove(bool leftHeld, QPointF pos);

    bool bArrastando = false;
    std::int32_t lMoverX = 0, lMoverY = 0;

    // The outlines shown while dragging: objects and texts, path points, markers.
    QGraphicsRectItem *shpT = nullptr;
    QGraphicsRectItem *shpM = nullptr;
    QGraphicsRectItem *shpMarker = nullptr;

private:
    QPointF dragTarget(QPointF pos) const;
    QPointF elementPos(BoardElement kind, int i, bool &found) const;
    QGraphicsRectItem *outlineOf(BoardElement kind) const;

    frmMapa &board_;
    ProgramState &state_;
    QPointF pressPos_;
    QPointF antigo_;
    QPointF novo_;
};

} // namespace quorvel
