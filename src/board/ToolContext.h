#pragma once
// What the board's tools work on: the board's document, its scene and view, its playback
// controller, the program-wide values and the host, and the board's widget (its keys, and the
// window the hand tool moves). Tools get this, never the board window itself.

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
    ProgramState &state;
    BoardHost &host;
    QWidget &window;
    // The board's slot (0: closed).
    std::int16_t slot() const { return document.model().imI; }
    // The board's path-point mode: presses add points to the selected object's path.
    bool pathMode() const { return state.tool.pathMode(slot()); }
};

} // namespace quorvel
