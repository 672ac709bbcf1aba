#pragma once
// The armed tool: what a press on a board does, held once for the whole program and written
// only through the named transitions below, each of which emits `changed` when it changes
// anything. Three parts make it up:
// - the tool the toolbar chose (object, text, marker, hand). The text, marker and hand
//   choices outlive a disarm until their own reset: the marker choice survives Esc, focus
//   loss and a mouse up, so marker dragging stays refused until another tool is chosen;
// - whether the choice is placing now (a press places it, the cursor is the cross);
// - the board in path-point mode, if any: presses there add points to the right-clicked
//   object's path, and Ctrl held over that board arms placing again.
// `armed(slot)` folds the three into one value; the older names the boards and menus read
// (`bAdiciona`, `bTexto`, `bMarker`, `bMover`, a board's path mode) are views of it.

#include <QObject>

#include <cstdint>

namespace quorvel {

enum class ArmedTool { None, Object, Text, Marker, Hand, PathPoint };

class ToolState : public QObject {
    Q_OBJECT
public:
    ToolState() = default;

    // What a press on board `slot` does now.
    ArmedTool armed(std::int16_t slot) const;
    // The toolbar's choice while its flag is up (None once reset).
    ArmedTool chosen() const { return chosen_; }

    // Views under the names the board code knows.
    bool placing() const { return placing_; }                          // bAdiciona
    bool text() const { return chosen_ == ArmedTool::Text; }           // bTexto
    bool marker() const { return chosen_ == ArmedTool::Marker; }       // bMarker
    bool hand() const { return chosen_ == ArmedTool::Hand; }           // bMover
    bool pathMode(std::int16_t slot) const { return slot != 0 && pathBoard_ == slot; } // bMovimento
    std::int16_t pathBoard() const { return pathBoard_; }

    // The toolbar: the whole state is written, nothing of an earlier tool survives.
    void choose(ArmedTool tool);
    // "Add Movement": placing armed, and path-point mode on `slot` when a board is open there
    // (slot 0: none). The toolbar's choice stays.
    void addMovement(std::int16_t slot);
    // Ctrl held over the board whose object was right-clicked: path points again.
    void rearmPathPoints(std::int16_t slot);
    // Esc, focus lost, a cancelled movement: nothing placing, the text and hand choices gone,
    // board `slot` out of path-point mode; the marker choice stays.
    void reset(std::int16_t slot);
    // A mouse up on the bare board: as reset, but the path-point mode stays.
    void mouseUp();
    // Shift released: placing ends, everything else stays.
    void releaseShift();
    // A text, marker or object was placed (or its dialog cancelled): that tool is spent.
    void placed();
    // The path's object on board `slot` is gone: path-point mode and placing end there.
    void objectGone(std::int16_t slot);
    // Board `slot` closed: its path-point mode ends.
    void boardClosed(std::int16_t slot);

signals:
    void changed();

private:
    void set(ArmedTool choice, bool placingNow, std::int16_t pathSlot);

    ArmedTool chosen_ = ArmedTool::None;
    bool placing_ = false;
    std::int16_t pathBoard_ = 0;
};

} // namespace quorvel
