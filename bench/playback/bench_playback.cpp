// The strat-length dry run and a seek to the last second, for a full board: 100 paths of 20
// steps that keep walking for the whole 105-second round.
#include "playback/PlaybackModel.h"

#include <benchmark/benchmark.h>

#include <random>

using namespace quorvel;

namespace {

PlaybackModel fullBoard()
{
    std::mt19937 rng(7);
    std::uniform_int_distribution<int> coord(0, 11000);
    std::uniform_int_distribution<int> wait(0, 60);
    const float speeds[] = {8.0f, 3.0f, 20.0f};
    PlaybackModel m;
    std::vector<tpObjeto> objects{tpObjeto{}};
    for (int i = 1; i <= PlaybackModel::kMaxSlots; ++i)
        objects.push_back({std::int16_t(i % 14), float(coord(rng)), float(coord(rng) % 8500)});
    m.setObjects(objects);
    for (int k = 1; k <= PlaybackModel::kMaxSlots; ++k) {
        clsMovimento *mv = m.Movimento(k);
        mv->iObj = std::int16_t(k);
        for (int s = 1; s <= 20; ++s)
            mv->Adiciona(wait(rng), coord(rng), coord(rng) % 8500, std::int16_t(s % 3 - 1), speeds[(k + s) % 3],
                         std::int16_t(s % 9));
    }
    m.setMovementCount(PlaybackModel::kMaxSlots);
    m.resetToStart();
    return m;
}

void BM_DryRun(benchmark::State &state)
{
    const PlaybackModel m = fullBoard();
    for (auto _ : state) {
        const auto r = m.CalculaTempo();
        benchmark::DoNotOptimize(r);
    }
    state.counters["seconds"] = m.CalculaTempo().seconds;
}
BENCHMARK(BM_DryRun)->Unit(benchmark::kMillisecond);

void BM_SeekToLastSecond(benchmark::State &state)
{
    PlaybackModel m = fullBoard();
    for (auto _ : state) {
        const auto r = m.UpdateAnimationPosition(105, PlayMode::Play);
        benchmark::DoNotOptimize(r);
    }
    state.counters["frames"] = m.lFrameAtual();
}
BENCHMARK(BM_SeekToLastSecond)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
