// Composing every frame of the three effect-shaped GIFs and of a large one (500 x 500, 100
// frames), against Qt's own GIF reader reading every frame of the same bytes. Run with
// QT_QPA_PLATFORM=offscreen; the ratio is Qt's time over ours. Ours keeps every composed
// frame, so Qt's reader is timed both dropping and keeping its frames.
#include "GifSamples.h"
#include "gif/GifImage.h"

#include <QBuffer>
#include <QGuiApplication>
#include <QImageReader>

#include <benchmark/benchmark.h>

using namespace quorvel;

namespace {

const QByteArray &sample(int which)
{
    static const QByteArray gifs[4] = {samples::effectLike(0), samples::effectLike(1), samples::effectLike(2),
                                       samples::largeGif()};
    return gifs[which];
}

const char *names[4] = {"explosion", "flash", "smoke", "large"};

} // namespace

static void BM_ComposeGifFrames(benchmark::State &state)
{
    const QByteArray &bytes = sample(int(state.range(0)));
    state.SetLabel(names[state.range(0)]);
    for (auto _ : state) {
        const auto frames = composeGifFrames(bytes, nullptr);
        if (frames.empty())
            state.SkipWithError("the GIF did not load");
        benchmark::DoNotOptimize(frames.data());
    }
}
BENCHMARK(BM_ComposeGifFrames)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

// Qt's reader, each frame dropped once read (its memory is reused for the next) or every
// frame kept, as composeGifFrames keeps them.
static void qtReader(benchmark::State &state, bool keep)
{
    QByteArray bytes = sample(int(state.range(0)));
    state.SetLabel(names[state.range(0)]);
    for (auto _ : state) {
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer, "gif");
        std::vector<QImage> kept;
        int count = 0;
        for (QImage image; reader.read(&image); ++count)
            if (keep)
                kept.push_back(image);
        if (count == 0)
            state.SkipWithError("Qt's reader read nothing");
        benchmark::DoNotOptimize(kept.data());
    }
}
static void BM_QImageReaderFrames(benchmark::State &state)
{
    qtReader(state, false);
}
BENCHMARK(BM_QImageReaderFrames)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);
static void BM_QImageReaderFramesKept(benchmark::State &state)
{
    qtReader(state, true);
}
BENCHMARK(BM_QImageReaderFramesKept)->DenseRange(0, 3)->Unit(benchmark::kMicrosecond);

int main(int argc, char **argv)
{
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
