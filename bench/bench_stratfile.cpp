// Reading and writing a large strat: 2,000 objects, 1,000 texts and 1,000 markers, 100
// movements of 300 steps.
#include "StratSamples.h"
#include "document/StratFile.h"

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

static void BM_ReadLargeStrat(benchmark::State &state)
{
    const QByteArray bytes = writeStrat(largeDoc());
    for (auto _ : state) {
        StratDocument doc;
        const bool ok = readStrat(bytes, doc).ok;
        benchmark::DoNotOptimize(ok);
    }
    state.SetBytesProcessed(state.iterations() * bytes.size());
}
BENCHMARK(BM_ReadLargeStrat)->Unit(benchmark::kMillisecond);

BENCHMARK_MAIN();
