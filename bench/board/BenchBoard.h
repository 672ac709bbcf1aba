#pragma once
// A board window offscreen for the board benches: a strat opened the way the program opens
// one, and what the event loop does once it is open.

#include "ScriptedPrompts.h"
#include "TestHost.h"
#include "board/ProgramState.h"
#include "board/frmMapa.h"

#include <QCoreApplication>

namespace quorvel::bench {

struct Board {
    ScriptedPrompts prompts; // a message the board gives when it opens is answered without a window
    ProgramState programState;
    TestHost host;
    frmMapa board{programState, host};
    Board() { programState.fillPalette(); }
    void open(const QString &path)
    {
        board.Form_Load();
        board.setImI(1);
        board.AbreTatica(path);
    }
    // What the event loop does once a strat is open, before the user can close it: the scene
    // takes in its new items, and the board is painted.
    void settle()
    {
        QCoreApplication::processEvents();
        board.resize(820, 680);
        board.grab();
    }
    void close() { board.closeBoard(frmMapa::CloseReason::User); }
};

} // namespace quorvel::bench
