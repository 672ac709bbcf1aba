#pragma once
// A board (frmMapa) with its own state and host, opened on a strat written to a temporary
// folder: what the playback tests drive tick by tick. Set the state, then open().
#include "TestHost.h"
#include "board/ProgramState.h"
#include "board/frmMapa.h"
#include "common/Clock.h"
#include "document/StratFile.h"
#include "ScriptedPrompts.h"
#include "playback/PlaybackController.h"

#include <QTemporaryDir>
#include <QtGlobal>

namespace quorvel {

// A host whose clock moves only when the test says.
struct ManualClockHost : TestHost {
    ManualClock manual;
    Clock &clock() override { return manual; }
};

template <typename Host = TestHost>
struct OpenedBoard {
    ScriptedPrompts prompts;
    ProgramState state;
    Host host;
    frmMapa board{state, host};
    QTemporaryDir dir;

    OpenedBoard() { state.fillPalette(); }
    // Loads the board and opens doc, saved as s.qvl in dir.
    void open(const StratDocument &doc)
    {
        board.Form_Load();
        board.setImI(1);
        const QString path = dir.filePath(QStringLiteral("s.qvl"));
        if (!writeStratFile(path, doc))
            qFatal("cannot write the strat");
        board.AbreTatica(path);
    }
    PlaybackController &pb() { return board.controller(); }
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            pb().tick();
    }
};

} // namespace quorvel
