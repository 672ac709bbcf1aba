// A board window offscreen with strats of many path points, 99 paths of 50, 150 and 330
// steps (about 5k, 15k and 33k points): opening one and painting the board for the first
// time, with steps spread over the whole board (long lines that cross it) and with steps in
// short hops. And, on the 33k board, repainting the whole board (the most a frame of
// Play/Edit or a drag can ask), dropping a dragged path point, the frame rate of Play/Edit,
// and the whole-path edits (a path's colour, five paths', a path shown or hidden) against a
// full redraw of the paths. And the window's repaints a second in Play and Play/Edit on a
// heavy board (the 33k points with 150 texts and 100 markers), on the same points alone and
// on the example. Opening must grow with the points, not faster.
#include "BenchBoard.h"
#include "BenchMain.h"
#include "PathStrats.h"
#include "board/BoardDocument.h"
#include "board/BoardPlayback.h"
#include "board/BoardScene.h"
#include "board/PathLayer.h"
#include "document/StratFile.h"
#include "playback/PlaybackController.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QGraphicsView>
#include <QTimer>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace quorvel;

namespace {
using bench::Board;

QString writeSample(const QTemporaryDir &dir, StratDocument doc)
{
    makeSavePlaceholders(doc);
    const QString path = dir.filePath(QStringLiteral("points.qvl"));
    writeStratFile(path, doc);
    return path;
}

QString writeSample(const QTemporaryDir &dir, int steps, samples::Steps kind)
{
    return writeSample(dir, samples::randomPaths(99, steps, kind));
}

// A board of 99 paths of 330 steps spread over it (32,670 points), open and painted.
struct BoardOf33k : Board {
    QTemporaryDir dir;
    QGraphicsView *view = nullptr;
    BoardOf33k()
    {
        open(writeSample(dir, 330, samples::Steps::Spread));
        settle();
        view = board.findChild<QGraphicsView *>(QStringLiteral("picMapa"));
    }
    void repaint() { benchmark::DoNotOptimize(view->viewport()->grab()); }
};

// Counts the times a window brings its widgets' changes to the screen.
struct FrameCounter : QObject {
    int frames = 0;
    bool eventFilter(QObject *, QEvent *e) override
    {
        frames += e->type() == QEvent::UpdateRequest;
        return false;
    }
};
} // namespace

// Arguments: steps per path, 0 for spread over the board or 1 for short hops.
static void BM_OpenAndPaintManyPoints(benchmark::State &state)
{
    QTemporaryDir dir;
    const auto kind = state.range(1) ? samples::Steps::Hops : samples::Steps::Spread;
    const QString path = writeSample(dir, int(state.range(0)), kind);
    Board b;
    for (auto _ : state) {
        b.open(path);
        b.settle();
        state.PauseTiming();
        b.close();
        state.ResumeTiming();
    }
    state.counters["points"] = double(99 * state.range(0));
}
BENCHMARK(BM_OpenAndPaintManyPoints)
    ->ArgsProduct({{50, 150, 330}, {0, 1}})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(2);

static void BM_RepaintBoardOf33kPoints(benchmark::State &state)
{
    BoardOf33k b;
    for (auto _ : state)
        b.repaint();
}
BENCHMARK(BM_RepaintBoardOf33kPoints)->Unit(benchmark::kMillisecond);

// One drop of a dragged path point: the document moves the step and the scene follows, and
// the board is painted again.
static void BM_DragPointOn33kPoints(benchmark::State &state)
{
    BoardOf33k b;
    int x = 1000;
    for (auto _ : state) {
        x = x == 1000 ? 5000 : 1000;
        b.board.document().movePathPoint(16000, QPointF(x, 4000));
        b.repaint();
    }
}
BENCHMARK(BM_DragPointOn33kPoints)->Unit(benchmark::kMillisecond);

// A seek to the round's last second and back to its start, and the repaint that follows.
static void BM_SeekOn33kPoints(benchmark::State &state)
{
    BoardOf33k b;
    PlaybackController &pb = b.board.controller();
    for (auto _ : state) {
        pb.seek(100);
        b.repaint();
        pb.seek(0);
        b.repaint();
    }
}
BENCHMARK(BM_SeekOn33kPoints)->Unit(benchmark::kMillisecond);

// Play/Edit keeps the paths shown while the 99 icons walk: the frames a second the board keeps
// with the real clock, against the 63 it aims at.
static void BM_PlayEditFrameRateOn33kPoints(benchmark::State &state)
{
    QTemporaryDir dir;
    Board b;
    b.open(writeSample(dir, 330, samples::Steps::Spread));
    b.board.show();
    b.settle();
    PlaybackController &pb = b.board.controller();
    for (auto _ : state) {
        QElapsedTimer wall;
        b.board.playback().Picture1_Click();
        wall.start();
        QEventLoop loop;
        QTimer::singleShot(3000, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        loop.exec();
        const double fps = b.board.model().playback.lFrameAtual() / (double(wall.nsecsElapsed()) / 1e9);
        state.counters["frames_per_second"] = fps;
        b.board.playback().Picture1_Click();
    }
    benchmark::DoNotOptimize(pb.running());
}
BENCHMARK(BM_PlayEditFrameRateOn33kPoints)->Unit(benchmark::kSecond)->Iterations(1);

// A whole-path edit and the repaint that follows: 0 redraws the paths in full (what every
// such edit must stay below), 1 changes a path's colour, 2 five paths' colours, 3 hides or
// shows a path.
static void BM_PathEditOn33kPoints(benchmark::State &state)
{
    BoardOf33k b;
    std::vector<PathLayer *> layers;
    for (QGraphicsItem *item : b.board.scene()->items())
        if (auto *layer = dynamic_cast<PathLayer *>(item))
            layers.push_back(layer);
    BoardDocument &doc = b.board.document();
    std::int32_t colour = 0x00FF00;
    for (auto _ : state) {
        colour ^= 0xFFFF00;
        switch (state.range(0)) {
        case 0:
            for (PathLayer *layer : layers)
                layer->touchAll();
            break;
        case 1: doc.MudaCor(50, colour); break;
        case 2:
            for (std::int16_t o : {10, 30, 50, 70, 90})
                doc.MudaCor(o, colour);
            break;
        case 3: doc.ShowHide(50, false); break;
        }
        b.repaint();
    }
}
BENCHMARK(BM_PathEditOn33kPoints)->DenseRange(0, 3)->Unit(benchmark::kMillisecond);

// The window's repaints a second while Play (mode 0) or Play/Edit (1) runs on the real clock,
// with the interface thread as busy as the board makes it: on the heavy board (board 0), its
// points alone (1) and the example (2). Each aims at the 63 frames a second of the clock.
static void BM_RepaintsPerSecond(benchmark::State &state)
{
    QTemporaryDir dir;
    const int kind = int(state.range(0));
    const QString path = kind == 2 ? qEnvironmentVariable("QUORVEL_HOME") + QStringLiteral("/Strats/Examples/example.qvl")
                         : kind == 1 ? writeSample(dir, samples::randomPaths(99, 330, samples::Steps::Spread, 11))
                                     : writeSample(dir, samples::heavyBoard());
    Board b;
    b.open(path);
    b.board.show();
    b.settle();
    PlaybackController &pb = b.board.controller();
    FrameCounter counter;
    b.board.installEventFilter(&counter);
    for (auto _ : state) {
        QEventLoop loop;
        QObject::connect(&pb, &PlaybackController::stopped, &loop, &QEventLoop::quit);
        QTimer::singleShot(3000, Qt::PreciseTimer, &loop, &QEventLoop::quit);
        if (state.range(1))
            b.board.playback().Picture1_Click();
        else
            b.board.playback().picGO_Click();
        QElapsedTimer wall;
        wall.start();
        counter.frames = 0;
        loop.exec();
        state.counters["repaints_per_second"] = counter.frames / (double(wall.nsecsElapsed()) / 1e9);
        if (pb.running())
            state.range(1) ? b.board.playback().Picture1_Click() : b.board.playback().picGO_Click();
    }
}
BENCHMARK(BM_RepaintsPerSecond)->ArgsProduct({{0, 1, 2}, {0, 1}})->Unit(benchmark::kSecond)->Iterations(1);

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(argc, argv, QUORVEL_PROGRAM_DIR);
}
