#pragma once
// The program-wide values that the main window, its toolbar and every board share: what the
// tools share, the path palette and the settings the boards read. One instance, owned by the
// main window and handed to every board.

#include "board/ToolState.h"

#include <QColor>

#include <array>
#include <cstdint>

namespace quorvel {

constexpr int kMaxBoards = 11;

// What the tools of every board share: the armed tool and the object type it places, the
// right-click context, and the level and facing of the last step asked for.
struct SharedToolState {
    // Written through its transitions by the toolbar, the menus and the boards.
    ToolState tool;
    std::int16_t iTipoObj = 0;

    // Right-click context: set by a board before it pops up one of the main window's menus.
    std::int16_t iMapaSel = 0;  // board slot
    std::int16_t iTipoSel = 0;  // 1 object or path point, 2 text or marker
    std::int16_t iObjSel = 0;   // object
    std::int16_t iItemSel = 0;  // text, marker, or the point's movement slot
    std::int16_t iPontoSel = 0; // path point, 0 for an object

    // A step continued with Ctrl takes these when the path's last step has none that fits.
    std::int16_t sLvlMov = 0;
    std::int16_t sDirMov = 0;
};

struct ProgramState : SharedToolState {
    // Path palette: entries 0 to 11 filled when the main window loads, 12 stays 0.
    std::array<std::int32_t, 13> lCores{};

    // Settings the boards read.
    std::int16_t iRoundTimer = 105;
    std::int32_t lFrameInc = 1;
    bool bShowAnimations = true;

    // Fills lCores with the path palette.
    void fillPalette();
};

// A path colour as the strat stores it (0x00BBGGRR; the top bit names a system colour) as
// the colour it is drawn in. 0 and system colours draw as the button face.
QColor pathColourDrawn(std::int32_t value);
constexpr std::int32_t storedColour(int r, int g, int b) { return r + 256 * g + 65536 * b; }

} // namespace quorvel
