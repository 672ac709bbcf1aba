// Reading and writing a large strat: 2,000 objects, 1,000 texts and 1,000 markers, 100
// movements of 300 steps.
#include "StratSamples.h"
#include "document/StratFile.h"

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

using namespace quorvel;

namespace {
const StratDocument &largeDoc()
{
    static const StratDocument doc = samples::largeStrat(2000, 1000, 100, 300);
    return doc;
}
} // namespace

static void BM_WriteLargeStrat(benchmark::State &state)
{
    for (auto _ : state) {
        QByteArray bytes = writeStrat(largeDoc());
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetBytesProcessed(state.iterations() * writeStrat(largeDoc()).size());
}
BENCHMARK(BM_WriteLargeStrat)->Unit(benchmark::kMillisecond);

// Argument 1 reads it from a file.
static void BM_ReadLargeStrat(benchmark::State &state)
{
    const QByteArray bytes = writeStrat(largeDoc());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("large.qvl"));
    if (!writeStratFile(path, largeDoc())) {
        state.SkipWithError("cannot write the file");
        return;
    }
    for (auto _ : state) {
        StratDocument doc;
        const bool ok = (state.range(0) == 1 ? readStratFile(path, doc) : readStrat(bytes, doc)).ok;
        benchmark::DoNotOptimize(ok);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_ReadLargeStrat)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);

// A file of 1.9 GB of zeros with no data on disk (`truncate -s 1900M`): both readers take it
// as a strat without an overview, and what they read is only its first records. Argument 1
// is the older format's reader (Convert Old .qvl); argument 2 puts a strat before the zeros
// whose one path claims them all as steps, which the reader refuses.
static void BM_ReadSparseFile(benchmark::State &state)
{
    QByteArray head;
    if (state.range(0) == 2) {
        head = writeStrat(samples::largeStrat(1, 0, 1, 5));
        const std::int32_t claimed = 99'000'000;
        head.replace(head.indexOf(QByteArray::fromHex("010006000000")) + 2, 4,
                     QByteArray(reinterpret_cast<const char *>(&claimed), 4));
    }
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("big.qvl")));
    if (!file.open(QIODevice::WriteOnly) || file.write(head) != head.size() || !file.resize(qint64(1900) << 20)) {
        state.SkipWithError("cannot make the sparse file");
        return;
    }
    file.close();
    for (auto _ : state) {
        bool ok;
        if (state.range(0) == 2) {
            StratDocument doc;
            ok = !readStratFile(file.fileName(), doc).ok;
        } else if (state.range(0) == 1) {
            OldStratDocument old;
            ok = readOldStratFile(file.fileName(), old).ok;
        } else {
            StratDocument doc;
            ok = readStratFile(file.fileName(), doc).ok;
        }
        if (!ok)
            state.SkipWithError("the file was not read as expected");
    }
}
BENCHMARK(BM_ReadSparseFile)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
