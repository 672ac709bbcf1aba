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
// `armed(slot)` folds the three into the one value the tools act on.

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
    // The toolbar's choice while its flag is up (None once reset): a chosen text or marker
    // tool keeps its elements from being dragged, and the toolbar previews it.
    ArmedTool chosen() const { return chosen_; }
    // Placing now: the cross and, in path-point mode, the rubber band show, and a press on an
    // element is not a drag. In path-point mode a press adds a point either way.
    bool placing() const { return placing_; }

    // The toolbar: the whole state is written, nothing of an earlier tool survives. The choice
    // is announced even when it repeats, as the object type it places may be new.
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
    bool pathMode(std::int16_t slot) const { return slot != 0 && pathBoard_ == slot; }
    // The marker choice outlives a reset; every other choice ends with it.
    ArmedTool keptByReset() const;

    ArmedTool chosen_ = ArmedTool::None;
    bool placing_ = false;
    std::int16_t pathBoard_ = 0;
};

} // namespace quorvel
