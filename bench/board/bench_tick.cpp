// Playback on a board, offscreen: one clock tick with 100 walking icons at speed 5 (five model
// frames and one scene update), and a seek to the last second of a 105-second strat with 100
// paths (replay from the start, then one scene update).
#include "StratSamples.h"
#include "TestHost.h"
#include "board/BoardPlayback.h"
#include "board/ProgramState.h"
#include "board/frmMapa.h"
#include "document/StratFile.h"
#include "platform/ScriptedPrompts.h"

#include <QApplication>
#include <QSlider>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace quorvel;

namespace {

struct Fixture {
    ScriptedPrompts prompts;
    ProgramState state;
    TestHost host;
    frmMapa board{state, host};
    QTemporaryDir dir;
    explicit Fixture(int seconds)
    {
        state.fillPalette();
        board.Form_Load();
        board.setImI(1);
        const QString path = dir.filePath(QStringLiteral("crowd.qvl"));
        writeStratFile(path, samples::walkers(100, seconds));
        board.AbreTatica(path);
        board.show();
    }
};
} // namespace

static void BM_TickSpeed5With100Walkers(benchmark::State &state)
{
    Fixture f(105);
    f.board.findChild<QSlider *>(QStringLiteral("Slider1"))->setValue(5);
    f.board.Picture1_Click();
    BoardPlayback &pb = f.board.playback();
    for (auto _ : state) {
        pb.tick();
        if (!pb.clockEnabled()) { // the round is over: start again from time 0
            state.PauseTiming();
            f.board.Picture1_Click();
            f.board.Picture1_Click();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_TickSpeed5With100Walkers)->Unit(benchmark::kMicrosecond);

static void BM_SeekToLastSecondOf105(benchmark::State &state)
{
    Fixture f(110);
    BoardPlayback &pb = f.board.playback();
    for (auto _ : state)
        pb.seek(104);
    benchmark::DoNotOptimize(f.board.model().playback.lFrameAtual());
}
BENCHMARK(BM_SeekToLastSecondOf105)->Unit(benchmark::kMillisecond);

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
