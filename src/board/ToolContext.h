#pragma once
// What the board's tools work on: the board's document, its scene and view, its playback
// controller, what the tools of every board share (the armed tool, the right-click context)
// and the host, and the board's widget (its keys, and the window the hand tool moves). Tools
// get this, never the board window itself.

#include "board/BoardDocument.h"
#include "board/ProgramState.h"

#include <cstdint>

class QGraphicsView;
class QWidget;

namespace quorvel {

class BoardHost;
class BoardScene;
class PlaybackController;

struct ToolContext {
    BoardDocument &document;
    BoardScene &scene;
    QGraphicsView &view;
    PlaybackController &controller;
    SharedToolState &state;
    BoardHost &host;
    QWidget &window;
    // The board's slot (0: closed).
    std::int16_t slot() const { return document.model().imI; }
    // What a press on this board does now.
    ArmedTool armed() const { return state.tool.armed(slot()); }
};

} // namespace quorvel
