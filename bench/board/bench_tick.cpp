// Playback on a board, offscreen: one clock tick with 100 walking icons at speed 5 (five model
// frames and one scene update), and a seek to the last second of a 105-second strat with 100
// paths (replay from the start, then one scene update). And the real clock in an event loop:
// the frame rate a board keeps with 100 walking icons, against the 63 frames a second it aims at.
#include "StratSamples.h"
#include "BenchMain.h"
#include "TestHost.h"
#include "board/BoardPlayback.h"
#include "playback/PlaybackController.h"
#include "board/ProgramState.h"
#include "board/frmMapa.h"
#include "document/StratFile.h"
#include "ScriptedPrompts.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
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
    f.board.playback().Picture1_Click();
    PlaybackController &pb = f.board.controller();
    for (auto _ : state) {
        pb.tick();
        if (!pb.clockEnabled()) { // the round is over: start again from time 0
            state.PauseTiming();
            f.board.playback().Picture1_Click();
            f.board.playback().Picture1_Click();
            state.ResumeTiming();
        }
    }
}
BENCHMARK(BM_TickSpeed5With100Walkers)->Unit(benchmark::kMicrosecond);

static void BM_SeekToLastSecondOf105(benchmark::State &state)
{
    Fixture f(110);
    PlaybackController &pb = f.board.controller();
    for (auto _ : state)
        pb.seek(104);
    benchmark::DoNotOptimize(f.board.model().playback.lFrameAtual());
}
BENCHMARK(BM_SeekToLastSecondOf105)->Unit(benchmark::kMillisecond);

static void BM_RealTimeFrameRateWith100Walkers(benchmark::State &state)
{
    Fixture f(30);
    PlaybackController &pb = f.board.controller();
    for (auto _ : state) {
        QElapsedTimer wall;
        pb.togglePlay();
        wall.start();
        QEventLoop loop;
        QTimer::singleShot(3000, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
        const double seconds = double(wall.nsecsElapsed()) / 1e9;
        const double fps = f.board.model().playback.lFrameAtual() / seconds;
        state.counters["frames_per_second"] = fps;
        state.counters["ratio_to_63"] = fps / 63.0;
        pb.togglePlay();
    }
}
BENCHMARK(BM_RealTimeFrameRateWith100Walkers)->Unit(benchmark::kSecond)->Iterations(1);

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(argc, argv, QUORVEL_PROGRAM_DIR);
}
