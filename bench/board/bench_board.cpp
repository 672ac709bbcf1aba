// Opening a large strat (2,000 objects, 100 movements of 300 steps) into a board window,
// offscreen: reading, rebuilding the records, the scene and the strat's length.
#include "TestHost.h"
#include "StratSamples.h"
#include "board/ProgramState.h"
#include "board/frmMapa.h"
#include "document/StratFile.h"
#include "platform/ScriptedPrompts.h"

#include <QApplication>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace quorvel;

namespace {
} // namespace

static void BM_OpenLargeStratIntoBoard(benchmark::State &state)
{
    QTemporaryDir dir;
    StratDocument doc = samples::largeStrat(2000, 0, 100, 300);
    doc.sOverview = QStringLiteral("Harbor.jpg");
    makeSavePlaceholders(doc);
    const QString path = dir.filePath(QStringLiteral("large.qvl"));
    writeStratFile(path, doc);
    ScriptedPrompts prompts; // the length warning, if any, is answered without a window
    ProgramState programState;
    programState.fillPalette();
    TestHost host;
    frmMapa board(programState, host);
    for (auto _ : state) {
        board.Form_Load();
        board.setImI(1);
        board.AbreTatica(path);
        state.PauseTiming();
        board.closeBoard(frmMapa::CloseReason::User);
        state.ResumeTiming();
    }
}
BENCHMARK(BM_OpenLargeStratIntoBoard)->Unit(benchmark::kMillisecond);

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QUORVEL_HOME", QUORVEL_PROGRAM_DIR);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
