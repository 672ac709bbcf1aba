// A board window offscreen with the largest strats: opening one of 2,000 objects and 100
// movements of 300 steps (reading, rebuilding the records, the scene and the strat's length),
// opening and closing one of 32,767 objects whose paths have 32,700 points, and opening one of
// 1,000 texts of 65,535 bytes, on one line or on as many lines as fill the board. None may hold
// the interface for a second.
#include "BenchBoard.h"
#include "BenchMain.h"
#include "StratSamples.h"
#include "document/StratFile.h"

#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace quorvel;

namespace {
struct Board : bench::Board {
    // Each iteration times opening the strat (and settling it, when asked); closing is not timed.
    void timeOpening(benchmark::State &state, const QString &path, bool settled)
    {
        for (auto _ : state) {
            open(path);
            if (settled)
                settle(); // the labels are laid out again when painted
            state.PauseTiming();
            close();
            state.ResumeTiming();
        }
    }
};

QString writeSample(const QTemporaryDir &dir, StratDocument doc)
{
    doc.sOverview = QStringLiteral("Harbor.jpg");
    makeSavePlaceholders(doc);
    const QString path = dir.filePath(QStringLiteral("sample.qvl"));
    writeStratFile(path, doc);
    return path;
}
} // namespace

static void BM_OpenLargeStratIntoBoard(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = writeSample(dir, samples::largeStrat(2000, 0, 100, 300));
    Board().timeOpening(state, path, false);
}
BENCHMARK(BM_OpenLargeStratIntoBoard)->Unit(benchmark::kMillisecond);

static void BM_CloseGiantStrat(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = writeSample(dir, samples::largeStrat(32767, 0, 100, 327));
    Board b;
    for (auto _ : state) {
        state.PauseTiming();
        b.open(path);
        b.settle();
        state.ResumeTiming();
        b.close();
    }
}
static void BM_OpenGiantStrat(benchmark::State &state)
{
    QTemporaryDir dir;
    const QString path = writeSample(dir, samples::largeStrat(32767, 0, 100, 327));
    Board().timeOpening(state, path, true);
}
BENCHMARK(BM_OpenGiantStrat)->Unit(benchmark::kMillisecond)->Iterations(2);

BENCHMARK(BM_CloseGiantStrat)->Unit(benchmark::kMillisecond)->Iterations(2);

static void BM_OpenLongTexts(benchmark::State &state)
{
    QTemporaryDir dir;
    StratDocument doc = samples::largeStrat(10, 1000, 1, 2);
    for (std::size_t i = 1; i < doc.tTextos.size(); ++i)
        doc.tTextos[i].Texto = QString(65535, QChar(u'a' + int(i % 26)));
    const QString path = writeSample(dir, doc);
    Board().timeOpening(state, path, true);
}
BENCHMARK(BM_OpenLongTexts)->Unit(benchmark::kMillisecond)->Iterations(2);

// The same number of texts, each as many lines of narrow letters as fill the board, all in the
// board's corner: the most a label can show, a thousand times.
static void BM_OpenBoardFillingTexts(benchmark::State &state)
{
    QTemporaryDir dir;
    StratDocument doc = samples::largeStrat(10, 1000, 1, 2);
    QString lines;
    while (lines.size() + 301 <= 65535)
        lines += QString(300, u'i') + u'\n';
    for (std::size_t i = 1; i < doc.tTextos.size(); ++i)
        doc.tTextos[i] = {0, 0, lines};
    const QString path = writeSample(dir, doc);
    Board().timeOpening(state, path, true);
}
BENCHMARK(BM_OpenBoardFillingTexts)->Unit(benchmark::kMillisecond)->Iterations(2);

int main(int argc, char **argv)
{
    return runWidgetBenchmarks(argc, argv, QUORVEL_PROGRAM_DIR);
}
