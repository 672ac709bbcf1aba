#pragma once
// The board's input routing: presses, moves, releases and double clicks on the board's view
// go to the element under the pointer (path points, then markers, texts, objects, then the
// bare board), as controls would receive them, and from there to the tools: the placing tool
// on the bare board, the drag tool on elements, the element dialogs on double clicks, and
// the main window's right-click menus with the right-click context written first. The
// board's keys (Esc, F2 to F5, Shift) are handled here too. An element that was pressed
// keeps the mouse until the release. The top strip passes the mouse to the board beneath it
// (its buttons aside): an element under it takes the mouse there, and the title the rest of
// its own place, where a double click edits it.

#include "board/DragTool.h"
#include "board/ElementDialogs.h"
#include "board/PlacingTool.h"
#include "board/ToolContext.h"

#include <QObject>
#include <QPointF>

#include <cstdint>

namespace quorvel {

class BoardHost;
struct SharedToolState;

class BoardEditor : public QObject {
    Q_OBJECT
public:
    explicit BoardEditor(const ToolContext &tools);

    PlacingTool &placing() { return placing_; }
    DragTool &drag() { return drag_; }
    ElementDialogs &dialogs() { return dialogs_; }

    // The bare board (X, Y in twips).
    void Form_MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, QPointF pos);
    void Form_MouseMove(Qt::MouseButtons buttons, Qt::KeyboardModifiers shift, QPointF pos);
    void Form_MouseUp(Qt::KeyboardModifiers shift);
    void lblTitulo_DblClick() { dialogs_.editTitle(); }
    // Esc, focus lost and the toolbar: no tool armed, no path-point mode, no rubber band, and
    // a drag under way aborted.
    void placingReset();
    // Keys of the board; true when the key was used.
    bool keyDown(int key);
    void keyUp(int key);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    using Target = BoardHit;
    // A position on the view's viewport (pixels, fractions kept) in twips of the board.
    QPointF toTwips(QPointF viewportPos) const;
    // What a press at this place of the viewport is for: an element, the bare board, or
    // nothing (the title's place where no element lies over it).
    Target targetAt(QPointF viewportPos) const;
    bool onTitle(QPointF viewportPos) const;
    bool filterViewport(QEvent *event);
    void routePress(const Target &t, Qt::MouseButton button, Qt::KeyboardModifiers mods, QPointF pos, QPoint global);
    void routeMove(const Target &t, Qt::MouseButtons buttons, Qt::KeyboardModifiers mods, QPointF pos);
    void routeRelease(const Target &t, Qt::KeyboardModifiers mods);
    void routeDoubleClick(const Target &t);
    // Writes the right-click context of an element and opens the main window's menu for it.
    void showContextMenu(const Target &t, QPoint global);
    // Play keeps objects, markers and path points from being pressed; texts stay live.
    bool frozenByPlay(BoardElement kind) const;
    void setCursorFor(int picture, Qt::CursorShape fallback);

    ToolContext tools_;
    SharedToolState &state_;
    BoardHost &host_;
    ElementDialogs dialogs_;
    PlacingTool placing_;
    DragTool drag_;
    Target pressed_;
    QWidget *title_ = nullptr; // the strip's title label
};

} // namespace quorvel
