// Writes seed GIFs for the GIF fuzzer into the folder given as the argument.
#include "GifSamples.h"

#include <QFile>

using namespace quorvel;

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    const QString dir = QString::fromLocal8Bit(argv[1]);
    auto put = [&](const QString &name, const QByteArray &bytes) {
        QFile f(dir + QLatin1Char('/') + name);
        return !bytes.isEmpty() && f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    };
    bool ok = true;
    for (int i = 0; i < 3; ++i)
        ok &= put(QStringLiteral("effect%1.gif").arg(i), samples::effectLike(i));

    // Offsets, local tables, every disposal, a loop block.
    GifEncodeInput in;
    in.screen = QSize(24, 20);
    in.globalColors = samples::ramp(16);
    in.loopCount = 2;
    for (int i = 0; i < 5; ++i) {
        GifEncodeFrame f = samples::ringFrame(QSize(8 + i * 3, 6 + i * 2), i * 2, i, i, i % 2 ? 8 : 16);
        f.disposal = i % 4;
        f.delayMs = i * 10;
        f.transparent = i % 2 == 0;
        if (i % 2)
            f.localColors = samples::ramp(8);
        in.frames.push_back(f);
    }
    ok &= put(QStringLiteral("mixed.gif"), encodeGif(in));
    GifFrame one;
    one.width = 3;
    one.height = 2;
    one.indices = QByteArray("\1\2\3\0\1\2", 6);
    ok &= put(QStringLiteral("oneframe.gif"), encodeGifFrame(one, samples::ramp(4)));
    return ok ? 0 : 1;
}
