#pragma once
// A board inside an MDI sub-window, as the main window holds it, shown offscreen with a saved
// strat of the given icons on Harbor: what the export captures and encodes.
#include "TestHost.h"
#include "board/ProgramState.h"
#include "board/frmMapa.h"
#include "document/StratFile.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTemporaryDir>

#include <vector>

namespace quorvel {

struct BoardInWindow {
    QTemporaryDir dir;
    ProgramState state;
    TestHost host;
    QMdiArea area;
    frmMapa *board = new frmMapa(state, host);
    QMdiSubWindow *sub = nullptr;
    BoardInWindow(const QString &name, const std::vector<tpObjeto> &icons)
    {
        state.fillPalette();
        StratDocument d;
        d.sOverview = QStringLiteral("Harbor.jpg");
        d.sNomeTatica = name;
        makeSavePlaceholders(d);
        d.iObj = std::int16_t(icons.size());
        d.tObjetos.resize(1);
        d.tObjetos.insert(d.tObjetos.end(), icons.begin(), icons.end());
        const QString path = dir.filePath(QStringLiteral("b.qvl"));
        writeStratFile(path, d);
        sub = area.addSubWindow(board);
        area.resize(1000, 900);
        area.show();
        board->Form_Load();
        board->setImI(1);
        board->AbreTatica(path);
        sub->show();
    }
};

} // namespace quorvel
