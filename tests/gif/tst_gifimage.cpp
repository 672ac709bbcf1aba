// The GIF engine against GIFs that ImageMagick and gifsicle make at test time, against their
// reading of the GIFs we write, and against damaged and hostile streams.
#include "GifSamples.h"
#include "TestTools.h"
#include "gif/GifImage.h"

#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <random>

using namespace quorvel;

namespace {

GifEncodeFrame frame(QSize size, int left, int top, int disposal, int delayMs, int fill = 1)
{
    GifEncodeFrame f;
    f.size = size;
    f.left = left;
    f.top = top;
    f.disposal = disposal;
    f.delayMs = delayMs;
    f.indices = QByteArray(qsizetype(size.width()) * size.height(), char(fill));
    return f;
}

QByteArray gif(std::vector<GifEncodeFrame> frames, int loops = -1)
{
    GifEncodeInput in;
    in.screen = QSize(10, 10);
    in.globalColors = samples::ramp(4);
    in.loopCount = loops;
    in.frames = std::move(frames);
    return encodeGif(in);
}

QByteArray base()
{
    return gif({frame({4, 4}, 0, 0, 1, 10), frame({4, 4}, 6, 6, 1, 20), frame({10, 2}, 0, 8, 1, 30)});
}

// Offset of the n-th (0-based) graphic control extension; its image descriptor follows 8 bytes on.
qsizetype control(const QByteArray &g, int n)
{
    qsizetype at = -1;
    for (int i = 0; i <= n; ++i)
        at = g.indexOf("\x21\xF9\x04", at + 1);
    return at;
}

QByteArray patched(QByteArray g, qsizetype at, QByteArrayView bytes)
{
    g.replace(at, bytes.size(), bytes.toByteArray());
    return g;
}

QString summary(QByteArrayView data)
{
    QString error;
    const auto a = decodeGifAnimation(data, &error);
    if (!a)
        return QStringLiteral("error: ") + error;
    QStringList delays, disposals;
    for (const GifFrame &f : a->frames) {
        delays << QString::number(f.delayMs);
        disposals << QString::number(f.disposal);
    }
    return QStringLiteral("%1 frames %2x%3 loops %4 delays %5 disposals %6")
        .arg(a->frameCount()).arg(a->size.width()).arg(a->size.height()).arg(a->loopCount)
        .arg(delays.join(','), disposals.join(','));
}

// A one-image GIF of w x h with a 4-colour global table and the given LZW code size and data.
QByteArray rawGif(int w, int h, int codeSize, QByteArrayView data)
{
    QByteArray g("GIF89a");
    g += char(w) + QByteArray(1, 0) + char(h) + QByteArray(1, 0) + "\x81\0\0"_qba.left(3);
    g += QByteArray(12, '\x40');
    g += "\x2C\0\0\0\0"_qba.left(5) + char(w) + QByteArray(1, 0) + char(h) + QByteArray(2, 0);
    g += char(codeSize);
    g += data.toByteArray();
    return g;
}

// Both transparent, or the same opaque colour.
int mismatches(const QImage &ours, const QImage &theirs, QString *where)
{
    int bad = 0;
    for (int y = 0; y < ours.height(); ++y)
        for (int x = 0; x < ours.width(); ++x) {
            const QRgb a = ours.pixel(x, y);
            const QRgb b = theirs.pixel(x, y);
            if (qAlpha(a) == 0 && qAlpha(b) == 0)
                continue;
            if (a != b && bad++ == 0)
                *where = QStringLiteral("(%1, %2): ours %3, theirs %4").arg(x).arg(y).arg(a, 8, 16).arg(b, 8, 16);
        }
    return bad;
}

QString tool(const char *name)
{
    return QStandardPaths::findExecutable(QLatin1String(name));
}

// Runs the tool in the folder; a failure says what the tool printed.
bool run(const QString &program, const QStringList &args, const QString &folder, QByteArray *out = nullptr)
{
    const ToolRun r = runTool(program, args, folder);
    if (out)
        *out = r.out;
    if (!r.ok)
        qWarning().noquote() << program << args.join(' ') << r.err;
    return r.ok;
}

// ImageMagick's coalesced frames of a file, as ARGB32.
std::vector<QImage> coalesced(const QString &folder, const QString &file)
{
    QDir(folder).mkpath(QStringLiteral("im"));
    if (!run(tool("convert"), {file, QStringLiteral("-coalesce"), QStringLiteral("PNG32:im/f-%03d.png")}, folder))
        return {};
    std::vector<QImage> frames;
    const QStringList names = QDir(folder + QStringLiteral("/im")).entryList({QStringLiteral("*.png")}, QDir::Files, QDir::Name);
    for (const QString &name : names) {
        frames.push_back(QImage(folder + QStringLiteral("/im/") + name).convertToFormat(QImage::Format_ARGB32));
        QFile::remove(folder + QStringLiteral("/im/") + name);
    }
    return frames;
}

void compareWithImageMagick(const QString &folder, const QString &file)
{
    QFile f(folder + QLatin1Char('/') + file);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QString error;
    const std::vector<ComposedGifFrame> ours = composeGifFrames(f.readAll(), &error);
    QVERIFY2(!ours.empty(), qPrintable(error));
    const std::vector<QImage> theirs = coalesced(folder, file);
    QCOMPARE(ours.size(), theirs.size());
    for (std::size_t i = 0; i < ours.size(); ++i) {
        QCOMPARE(ours[i].image.size(), theirs[i].size());
        QString where;
        const int bad = mismatches(ours[i].image, theirs[i], &where);
        QVERIFY2(bad == 0, qPrintable(QStringLiteral("frame %1: %2 pixels differ, first at %3").arg(i + 1).arg(bad).arg(where)));
    }
}

} // namespace

class TestGifImage : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { QVERIFY(folder.isValid()); }

    void parsing_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QString>("expected");
        const QString plain = QStringLiteral("3 frames 10x10 loops 0 delays 10,20,30 disposals 1,1,1");
        const QByteArray g = base();
        QTest::newRow("plain") << g << plain;
        QTest::newRow("lower-case signature") << patched(g, 0, "gif89a") << plain;
        QTest::newRow("mixed-case 87a") << patched(g, 0, "GiF87A") << plain;
        QTest::newRow("other signature") << patched(g, 0, "GIF90a") << "error: This is not a GIF picture";
        QTest::newRow("shorter than a signature") << g.left(4) << "error: This is not a GIF picture";
        QTest::newRow("no image") << g.left(25) + ";" << "error: The GIF holds no image";
        QTest::newRow("loop block") << gif({frame({2, 2}, 0, 0, 0, 0)}, 3) << "1 frames 2x2 loops 3 delays 0 disposals 0";
        QByteArray lower = gif({frame({2, 2}, 0, 0, 0, 0)}, 0x1234);
        QTest::newRow("loop block in lower case") << lower.replace("NETSCAPE", "netscape")
                                                  << "1 frames 2x2 loops 4660 delays 0 disposals 0";
        QTest::newRow("longest delay is unsigned") << patched(g, control(g, 0) + 4, "\xFF\xFF")
                                                   << "3 frames 10x10 loops 0 delays 655350,20,30 disposals 1,1,1";
        const QByteArray restore = gif({frame({4, 4}, 0, 0, 3, 0), frame({4, 4}, 0, 0, 3, 0), frame({4, 4}, 0, 0, 1, 0)});
        QTest::newRow("disposal 3 first is 0, later kept; 4..7 are 0")
            << patched(restore, control(restore, 2) + 3, "\x1C") << "3 frames 4x4 loops 0 delays 0,0,0 disposals 0,3,0";
        QTest::newRow("two controls before an image: the second counts")
            << QByteArray(g).insert(control(g, 0), "\x21\xF9\x04\x08\x63\x00\x00\x00"_qba) << plain;
        QTest::newRow("bounding box from (0, 0), not the screen")
            << gif({frame({40, 40}, 0, 0, 1, 0), frame({30, 30}, 20, 25, 1, 0)})
            << "2 frames 50x55 loops 0 delays 0,0 disposals 1,1";
        QTest::newRow("cut in the third image's data keeps it") << g.left(control(g, 2) + 8 + 10 + 3) << plain;
        QTest::newRow("cut in the third image's descriptor drops it")
            << g.left(control(g, 2) + 8 + 5) << "2 frames 10x10 loops 0 delays 10,20 disposals 1,1";
        QTest::newRow("empty images are left out")
            << gif({frame({4, 4}, 0, 0, 1, 10), frame({0, 4}, 0, 0, 1, 20), frame({3, 0}, 0, 0, 1, 20)})
            << "1 frames 4x4 loops 0 delays 10 disposals 1";
        QTest::newRow("only empty images") << gif({frame({0, 4}, 0, 0, 1, 10), frame({5, 0}, 9, 9, 1, 10)})
                                           << "error: The GIF holds no image";
        GifEncodeInput local;
        local.screen = QSize(2, 2);
        local.globalColors = samples::ramp(4);
        local.frames = {frame({2, 2}, 0, 0, 1, 0), frame({2, 2}, 0, 0, 1, 0)};
        local.frames[0].localColors = samples::ramp(2);
        QByteArray noGlobal = encodeGif(local);
        noGlobal[10] = 0;
        noGlobal.remove(13, 12);
        QTest::newRow("an image without any table fails the load")
            << noGlobal << "error: Image 2 of the GIF has no colour table";
        QByteArray wide = base();
        wide.replace(control(wide, 0) + 9, 2, "\x00\x10"_qba.left(2));
        QTest::newRow("canvas cap") << wide << "error: The GIF's picture is 4100 x 4 pixels, more than 4096 x 4096";
        QByteArray huge = gif(std::vector<GifEncodeFrame>(5, frame({4, 4}, 0, 0, 1, 0)));
        for (int i = 0; i < 5; ++i)
            huge.replace(control(huge, i) + 13, 4, "\x00\x10\x00\x10"_qba);
        QTest::newRow("decoded pixels cap")
            << huge << "error: The GIF would decode to 167772160 pixels, more than the 67108864 allowed";
        QTest::newRow("file size cap") << g + QByteArray(GifLimits::maxFileBytes, 0)
                                       << QStringLiteral("error: The GIF is %1 bytes long, more than the 67108864 bytes allowed")
                                              .arg(g.size() + GifLimits::maxFileBytes);
    }
    void parsing()
    {
        QFETCH(QByteArray, data);
        QFETCH(QString, expected);
        QCOMPARE(summary(data), expected);
    }

    // LZW data that misbehaves leaves the rest of the frame at index 0 (codes of 3 bits: clear 4, end 5).
    void damagedData_data()
    {
        QTest::addColumn<QByteArray>("data");
        QTest::addColumn<QByteArray>("indices");
        const QByteArray fine = "\x02\x8C\x78\x00;"_qba; // clear 1 2 clear 7
        QTest::newRow("a clear, then a code not yet defined") << rawGif(2, 2, 2, fine) << "\1\2\0\0"_qba;
        QTest::newRow("code size 1") << rawGif(2, 2, 1, fine) << "\0\0\0\0"_qba;
        QTest::newRow("code size 9") << rawGif(2, 2, 9, fine) << "\0\0\0\0"_qba;
        QTest::newRow("code size 0") << rawGif(2, 2, 0, fine) << "\0\0\0\0"_qba;
        QTest::newRow("a code beyond the next free one") << rawGif(2, 2, 2, "\x02\xCC\x01\x00;"_qba) << "\1\0\0\0"_qba;
        QTest::newRow("end code") << rawGif(2, 2, 2, "\x02\x5C\x01\x00;"_qba) << "\3\0\0\0"_qba;
        QTest::newRow("stream ends in the data") << rawGif(2, 2, 2, "\x02\x8C\x78"_qba) << "\1\2\0\0"_qba;
        QTest::newRow("sub-block longer than the stream") << rawGif(2, 2, 2, "\xFF\x8C"_qba) << "\1\0\0\0"_qba;
        QTest::newRow("more pixels than the frame") << rawGif(1, 1, 2, fine) << "\1"_qba;
    }
    void damagedData()
    {
        QFETCH(QByteArray, data);
        QFETCH(QByteArray, indices);
        QString error;
        const auto a = decodeGifAnimation(data, &error);
        QVERIFY2(a, qPrintable(error));
        QCOMPARE(a->frames.at(0).indices.toHex(), indices.toHex());
    }

    // Made by ImageMagick and gifsicle; composed the same as ImageMagick's -coalesce.
    void matchesImageMagick_data()
    {
        QTest::addColumn<QStringList>("commands");
        const QString im = QStringLiteral("convert");
        QTest::newRow("interlaced") << QStringList{im + " -size 37x23 gradient:red-blue -colors 50 -interlace GIF t.gif"};
        QTest::newRow("disposals, offsets, transparency, local tables") << QStringList{
            im + " -loop 3 \\( -size 31x27 gradient:yellow-green -set dispose None -set delay 7 \\)"
                 " \\( -size 13x9 xc:blue -set dispose Background -set delay 10 -repage 31x27+5+7 \\)"
                 " \\( -size 9x11 xc:none -fill red -draw 'circle 4,5 4,1' -set dispose Previous -repage 31x27+17+3 \\)"
                 " \\( -size 7x7 plasma:fractal -set dispose None -repage 31x27+1+19 \\)"
                 " \\( -size 30x4 xc:none -fill white -draw 'point 3,1' -set dispose None -repage 31x27+1+23 \\) t.gif"};
        const QString pair = im + " -size 20x20 xc:red -fill blue -draw 'rectangle 5,5 14,14' a.gif;"
                             + im + " -size 20x20 xc:blue -fill red -draw 'rectangle 2,2 9,9' -interlace GIF b.gif";
        QTest::newRow("shared table, first transparent, second opaque")
            << QStringList{pair, QStringLiteral("gifsicle -t '#ff0000' a.gif --no-transparent b.gif -o t.gif")};
        QTest::newRow("shared table, both transparent")
            << QStringList{pair, QStringLiteral("gifsicle -t '#ff0000' a.gif b.gif -o t.gif")};
        QTest::newRow("every frame cleared, gifsicle offsets") << QStringList{
            pair, QStringLiteral("gifsicle --disposal=background -t '#0000ff' a.gif --position 3,5 b.gif -o t.gif")};
    }
    void matchesImageMagick()
    {
        if (tool("convert").isEmpty() || tool("gifsicle").isEmpty())
            QSKIP("ImageMagick and gifsicle are needed (packages.txt)");
        QFETCH(QStringList, commands);
        for (const QString &line : commands)
            for (const QString &command : line.split(QLatin1Char(';')))
                QVERIFY(run(QStringLiteral("sh"), {QStringLiteral("-c"), command}, folder.path()));
        compareWithImageMagick(folder.path(), QStringLiteral("t.gif"));
    }

    // Our drawing rules where they part from common decoders.
    void drawingRules()
    {
        // No frame clears or is transparent: the canvas has no mask, so what no frame covered is
        // opaque black (ImageMagick fills it with the background colour).
        auto a = decodeGifAnimation(gif({frame({4, 4}, 0, 0, 1, 0), frame({4, 4}, 6, 6, 1, 0)}), nullptr);
        QVERIFY(a && a->hasCanvas && !a->hasMask);
        QCOMPARE(a->composed[0].image.pixel(8, 8), qRgb(0, 0, 0));

        // Disposal 3 on the first image is read as 0: the next frame still shows it.
        GifEncodeFrame see = frame({4, 4}, 0, 0, 1, 0, 0);
        see.transparent = true;
        a = decodeGifAnimation(gif({frame({4, 4}, 0, 0, 3, 0, 2), see}), nullptr);
        QVERIFY(a);
        QCOMPARE(a->composed[1].image.pixel(1, 1), samples::ramp(4)[2]);

        // A repaint of a cleared frame draws it over its own cleared rectangle.
        see.disposal = 2;
        a = decodeGifAnimation(gif({frame({4, 4}, 0, 0, 1, 0, 2), see}), nullptr);
        GifCanvas canvas(a);
        QCOMPARE(canvas.draw(0, a->colorTables).pixel(1, 1), samples::ramp(4)[2]);
        QCOMPARE(canvas.draw(1, a->colorTables).pixel(1, 1), samples::ramp(4)[2]);
        QCOMPARE(qAlpha(canvas.draw(1, a->colorTables).pixel(1, 1)), 0);
        // Frame 1 starts afresh, in the tables given.
        std::vector<GifColorTable> grey = a->colorTables;
        grey[0][2] = qRgb(9, 9, 9);
        QCOMPARE(canvas.draw(0, grey).pixel(1, 1), qRgb(9, 9, 9));

        QCOMPARE(mirroredGifRect(QRect(10, 3, 20, 5), QSize(50, 10), 1), QRect(20, 3, 20, 5));
        QCOMPARE(mirroredGifRect(QRect(10, 3, 20, 5), QSize(50, 10), 2), QRect(10, 2, 20, 5));

        // Composing mirrored frames gives the mirrored pictures, so a control may mirror either.
        const auto large = decodeGifAnimation(samples::largeGif(), nullptr);
        QVERIFY(large);
        for (int mirrored = 1; mirrored <= 3; ++mirrored) {
            auto flipped = std::make_shared<GifAnimation>(*large);
            for (GifFrame &f : flipped->frames)
                f = mirroredGifFrame(f, large->size, mirrored);
            GifCanvas c(flipped);
            for (int i = 0; i < large->frameCount(); i += 7)
                QCOMPARE(c.draw(i, large->colorTables), large->composed[std::size_t(i)].image.mirrored(mirrored & 1, mirrored & 2));
        }
    }

    void scale_data()
    {
        QTest::addColumn<int>("stretch");
        QTest::addColumn<QSize>("control");
        QTest::addColumn<QSize>("overall");
        QTest::addColumn<float>("h");
        QTest::addColumn<float>("v");
        QTest::addColumn<QSize>("size");
        QTest::newRow("actual size, clipped") << 0 << QSize(30, 80) << QSize(50, 50) << 1.0f << 1.0f << QSize(30, 50);
        QTest::newRow("fit, halves to even") << 1 << QSize(5, 1) << QSize(10, 4) << 0.25f << 0.25f << QSize(2, 1);
        QTest::newRow("fill") << 2 << QSize(100, 25) << QSize(50, 50) << 2.0f << 0.5f << QSize(100, 25);
        QTest::newRow("never enlarged") << 3 << QSize(100, 100) << QSize(50, 50) << 1.0f << 1.0f << QSize(50, 50);
        QTest::newRow("never enlarged, half width") << 3 << QSize(25, 100) << QSize(50, 50) << 0.5f << 0.5f << QSize(25, 25);
        QTest::newRow("control takes the size") << 4 << QSize(7, 7) << QSize(50, 40) << 1.0f << 1.0f << QSize(50, 40);
        QTest::newRow("nothing loaded") << 2 << QSize(7, 7) << QSize(0, 0) << 1.0f << 1.0f << QSize(7, 7);
    }
    void scale()
    {
        QFETCH(int, stretch);
        QFETCH(QSize, control);
        QFETCH(QSize, overall);
        const GifScale s = gifScale(stretch, control, overall);
        QTEST(s.horizontal, "h");
        QTEST(s.vertical, "v");
        QTEST(s.size, "size");
    }

    // What we write reads back the same in our decoder, in ImageMagick and in gifsicle.
    void encoderRoundTrip()
    {
        std::mt19937 rng(13);
        GifEncodeInput in;
        in.screen = QSize(200, 150);
        in.globalColors = samples::ramp(256);
        in.loopCount = 5;
        GifEncodeFrame noise = frame({200, 150}, 0, 0, 1, 70);
        for (char &c : noise.indices)
            c = char(rng() % 256); // fills the code table several times
        in.frames.push_back(noise);
        for (int i = 1; i < 6; ++i) {
            GifEncodeFrame f = samples::ringFrame(QSize(13 + i * 17, 11 + i * 9), i * 7, i * 5, i, i % 2 ? 256 : 5);
            f.disposal = i % 4;
            f.delayMs = i * 30;
            f.transparent = i % 2;
            if (i % 2 == 0)
                f.localColors = samples::ramp(5);
            in.frames.push_back(f);
        }
        const QByteArray written = encodeGif(in);
        const auto a = decodeGifAnimation(written, nullptr);
        QVERIFY(a);
        QCOMPARE(a->loopCount, 5);
        for (std::size_t i = 0; i < in.frames.size(); ++i) {
            QCOMPARE(a->frames[i].indices, in.frames[i].indices);
            QCOMPARE(a->frames[i].rect(), QRect(QPoint(in.frames[i].left, in.frames[i].top), in.frames[i].size));
            QCOMPARE(a->frames[i].delayMs, in.frames[i].delayMs);
            QCOMPARE(a->frames[i].disposal, in.frames[i].disposal);
        }
        QString error;
        GifEncodeInput bad = in;
        bad.frames[2].indices[0] = char(200); // its local table holds 5 colours
        QVERIFY(encodeGif(bad, &error).isEmpty());
        QCOMPARE(error, QStringLiteral("Frame 3: a pixel uses a colour its table does not hold"));
        if (tool("convert").isEmpty() || tool("gifsicle").isEmpty())
            QSKIP("ImageMagick and gifsicle are needed (packages.txt)");
        QFile out(folder.filePath(QStringLiteral("ours.gif")));
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(written) == written.size());
        out.close();
        compareWithImageMagick(folder.path(), QStringLiteral("ours.gif"));
        QByteArray info;
        QVERIFY(run(tool("gifsicle"), {QStringLiteral("--info"), QStringLiteral("ours.gif")}, folder.path(), &info));
        for (const char *line : {"6 images", "loop count 5", "disposal asis delay 0.07s", "disposal asis delay 0.03s",
                                 "disposal background delay 0.06s", "disposal previous delay 0.09s", "]\n    delay 0.12s"})
            QVERIFY2(info.contains(line), line);

    }

    // The control's current frame as a one-frame GIF: a 256-colour table of the frame's colours
    // padded with black, no delay or disposal, transparency only when the frame has it.
    void oneFrameEncoding()
    {
        GifFrame f;
        f.width = f.height = 1;
        f.indices = "\3"_qba;
        f.delayMs = 70;
        f.disposal = 2;
        for (const bool transparent : {false, true}) {
            f.transparent = transparent;
            f.transparentIndex = 3;
            const auto back = decodeGifAnimation(encodeGifFrame(f, samples::ramp(4)), nullptr);
            QVERIFY(back && back->frameCount() == 1);
            const GifColorTable &table = back->colorTables[0];
            QCOMPARE(table.size(), 256);
            QCOMPARE(table.mid(0, 4), samples::ramp(4));
            QCOMPARE(table[4], qRgb(0, 0, 0));
            const GifFrame &g = back->frames[0];
            QCOMPARE(g.indices, f.indices);
            QCOMPARE(g.delayMs + g.disposal, 0);
            QCOMPARE(g.transparent, transparent);
            QCOMPARE(g.transparentIndex, transparent ? 3 : 0);
        }
    }

    // The logical screen sizes a player that takes the GIF's size; a header announcing none or
    // one beyond the canvas cap gives the frames' bounding box.
    void logicalScreen_data()
    {
        QTest::addColumn<QByteArray>("screen");
        QTest::addColumn<QSize>("expected");
        QTest::newRow("announced") << "\x30\0\x20\0"_qba << QSize(48, 32);
        QTest::newRow("none") << "\0\0\x20\0"_qba << QSize(4, 4);
        QTest::newRow("beyond the cap") << "\x01\x10\x20\0"_qba << QSize(4, 4);
    }
    void logicalScreen()
    {
        QFETCH(QByteArray, screen);
        const auto a = decodeGifAnimation(patched(gif({frame({4, 4}, 0, 0, 1, 0)}), 6, screen), nullptr);
        QVERIFY(a);
        QTEST(a->screen, "expected");
        QCOMPARE(a->size, QSize(4, 4));
    }

    void sharedAnimations()
    {
        const QByteArray one = base();
        const std::weak_ptr<const GifAnimation> first = loadGifAnimation(one, nullptr);
        QVERIFY(!first.expired()); // no control holds it, yet a small one is kept
        const auto a = loadGifAnimation(QByteArray(one), nullptr);
        QCOMPARE(a, first.lock());
        QVERIFY(loadGifAnimation(gif({frame({2, 2}, 0, 0, 0, 0)}), nullptr).get() != a.get());
        QString error;
        QVERIFY(!loadGifAnimation("GIF89a", &error));
        QVERIFY(!error.isEmpty());
    }

private:
    QTemporaryDir folder;
};

QTEST_GUILESS_MAIN(TestGifImage)
#include "tst_gifimage.moc"
