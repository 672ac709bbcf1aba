// The animated GIF control: its play states, loops, timing, scaling, mirroring, colour tables,
// hiding and showing, and the remote loader against a small HTTP server of the test's own.
#include "GifFixtures.h"
#include "common/Clock.h"
#include "controls/ControlTimer.h"
#include "controls/ucAniGIF.h"

#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>
#include <QTemporaryDir>
#include <QTest>

using namespace quorvel;
using namespace quorvel::test;

static constexpr qint64 kCap = 64 * 1024; // the remote loader's size cap in these tests

class TestAniGif : public QObject {
    Q_OBJECT
private slots:
    void actionTable_data();
    void actionTable();
    void loopsAndLoopsEnded();
    void frameTiming_data();
    void frameTiming();
    void propertyLimits();
    void delayedBuild();
    void stretchAndMirror();
    void palettes();
    void hideAndShow_data();
    void hideAndShow();
    void remoteLoad_data();
    void remoteLoad();

private:
    ManualClock clock;
};

// A control with the fixture loaded, not playing by itself.
static std::unique_ptr<ucAniGIF> loaded(Clock &clock, const GifRecipe &recipe = {})
{
    auto c = std::make_unique<ucAniGIF>(clock);
    c->setDelayAnimation(2); // as the board's effects: started only by Action 1
    c->setStretch(4);
    if (!c->LoadAnimatedGIF_Array(makeGif(recipe)))
        return nullptr;
    return c;
}

void TestAniGif::actionTable_data()
{
    QTest::addColumn<int>("frames");
    QTest::addColumn<int>("setup");     // 0 stopped, 1 playing, 2 paused, -1 nothing loaded
    QTest::addColumn<int>("stepsFirst"); // Action 3 presses before, to move off frame 1
    QTest::addColumn<int>("action");
    QTest::addColumn<int>("state");
    QTest::addColumn<int>("frame");
    QTest::newRow("play") << 5 << 0 << 0 << 1 << 1 << 1;
    QTest::newRow("play while playing") << 5 << 1 << 0 << 1 << 1 << 1;
    QTest::newRow("play a one-frame GIF") << 1 << 0 << 0 << 1 << 0 << 1;
    QTest::newRow("play with nothing loaded") << 5 << -1 << 0 << 1 << 0 << 0;
    QTest::newRow("pause playing") << 5 << 1 << 0 << 2 << 2 << 1;
    QTest::newRow("pause stopped stays stopped") << 5 << 0 << 0 << 2 << 0 << 1;
    QTest::newRow("resume paused") << 5 << 2 << 0 << 1 << 1 << 1;
    QTest::newRow("stop rewinds") << 5 << 2 << 3 << 0 << 0 << 1;
    QTest::newRow("step") << 5 << 0 << 0 << 3 << 2 << 2;
    QTest::newRow("step from the last frame") << 5 << 0 << 4 << 3 << 2 << 1;
    QTest::newRow("rewind and play") << 5 << 2 << 2 << 4 << 1 << 1;
    QTest::newRow("other value") << 5 << 2 << 2 << 7 << 2 << 3;
}

void TestAniGif::actionTable()
{
    QFETCH(int, frames);
    QFETCH(int, setup);
    QFETCH(int, stepsFirst);
    QFETCH(int, action);
    GifRecipe recipe;
    recipe.frames = frames;
    auto c = setup < 0 ? std::make_unique<ucAniGIF>(clock) : loaded(clock, recipe);
    QVERIFY(c);
    ControlTimer::advance(clock, ucAniGIF::kBuildDelayMs);
    for (int i = 0; i < stepsFirst; ++i)
        c->setAction(3);
    if (setup >= 1)
        c->setAction(1);
    if (setup == 2)
        c->setAction(2);
    c->setAction(action);
    QTEST(int(c->Action()), "state");
    QTEST(int(c->currentFrame()), "frame");
    QCOMPARE(frameShown(c->currentPicture()), c->currentFrame());
}

void TestAniGif::loopsAndLoopsEnded()
{
    GifRecipe recipe;
    recipe.loopCount = 2; // the GIF's own count is taken at load
    auto c = loaded(clock, recipe);
    QVERIFY(c);
    QCOMPARE(c->Loops(), 2);
    c->setLoops(-1);
    QCOMPARE(c->Loops(), 1);
    QCOMPARE(c->LoopsRemaining(), 1);
    QSignalSpy ended(c.get(), &ucAniGIF::LoopsEnded);
    QSignalSpy changed(c.get(), &ucAniGIF::FrameChanged); // from the timer: the control is never painted
    ControlTimer::advance(clock, ucAniGIF::kBuildDelayMs);
    c->setAction(1);
    QList<int> shown{c->currentFrame()};
    for (int i = 0; i < 7; ++i) {
        ControlTimer::advance(clock, 50);
        shown << c->currentFrame();
    }
    // One pass: frames 1..5, then it rests on frame 1, stopped.
    QCOMPARE(shown, (QList<int>{1, 2, 3, 4, 5, 1, 1, 1}));
    QList<int> raised;
    for (const QList<QVariant> &args : changed)
        raised << args.at(0).toInt();
    QCOMPARE(raised, (QList<int>{2, 3, 4, 5, 1}));
    QCOMPARE(c->Action(), 0);
    QCOMPARE(ended.count(), 1);
    QCOMPARE(c->LoopsRemaining(), 1);

    c->setLoops(0); // endless
    QCOMPARE(c->LoopsRemaining(), 0);
    c->setAction(1);
    ControlTimer::advance(clock, 50 * 20);
    QCOMPARE(c->Action(), 1);
    QCOMPARE(ended.count(), 1);
    QCOMPARE(ucAniGIF(clock).LoopsRemaining(), -1);
}

void TestAniGif::frameTiming_data()
{
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<int>("minDelay");
    QTest::addColumn<int>("expected");
    QTest::newRow("delay 0 plays at the minimum") << 0 << 50 << 50;
    QTest::newRow("delay 0, minimum clamped up to 10") << 0 << 1 << 10;
    QTest::newRow("longer delay wins") << 200 << 50 << 200;
    QTest::newRow("shorter delay waits for the minimum") << 30 << 80 << 80;
}

void TestAniGif::frameTiming()
{
    QFETCH(int, delayMs);
    QFETCH(int, minDelay);
    QFETCH(int, expected);
    GifRecipe recipe;
    recipe.delayMs = delayMs;
    auto c = loaded(clock, recipe);
    QVERIFY(c);
    c->setMinFrameDelay(minDelay);
    ControlTimer::advance(clock, ucAniGIF::kBuildDelayMs);
    c->setAction(1);
    for (int frame = 1; frame <= 2; ++frame) { // each frame stays exactly `expected` ms
        ControlTimer::advance(clock, expected - 1);
        QCOMPARE(c->currentFrame(), frame);
        ControlTimer::advance(clock, 1);
        QCOMPARE(c->currentFrame(), frame + 1);
    }
}

void TestAniGif::propertyLimits()
{
    ucAniGIF c(clock);
    QSignalSpy changed(&c, &ucAniGIF::PropertyChanged);
    c.setMinFrameDelay(5);
    QCOMPARE(c.MinFrameDelay(), 10);
    c.setMinFrameDelay(40000);
    c.setMinFrameDelay(40000);
    QCOMPARE(c.MinFrameDelay(), 32700);
    for (int bad : {5, -1})
        c.setStretch(bad);
    QCOMPARE(c.Stretch(), 1);
    c.setMirrored(4);
    c.setDelayAnimation(-1);
    c.setAction(1);
    QCOMPARE(c.Action(), 0);
    c.setLoops(-3);
    QCOMPARE(c.Loops(), 3);
    c.setLoops(std::numeric_limits<std::int32_t>::min()); // no overflow in the absolute value
    QCOMPARE(c.Loops(), std::numeric_limits<std::int32_t>::max());
    QCOMPARE(changed.count(), 4); // Delay twice, Loops twice; the ignored values notify nothing
    QCOMPARE(c.FrameCount(), 0);
    QVERIFY(!c.LoadAnimatedGIF_Array(QByteArray("GIF89a not really")));
    QVERIFY(!c.LoadAnimatedGIF_File(QStringLiteral("/nonexistent/\u0416.gif")));
    QCOMPARE(c.currentFrame(), 0);
}

void TestAniGif::delayedBuild()
{
    ucAniGIF c(clock);
    c.setDelayAnimation(2); // the board's effects: built on the timer, started only by Action
    QVERIFY(c.LoadAnimatedGIF_Array(makeGif({})));
    QCOMPARE(c.Action(), 1);
    c.setAction(1); // a start asked for while building comes after it
    ControlTimer::advance(clock, ucAniGIF::kBuildDelayMs - 1);
    QCOMPARE(c.Action(), 1);
    ControlTimer::advance(clock, 1);
    QCOMPARE(c.Action(), 1);
    ControlTimer::advance(clock, 50);
    QCOMPARE(c.currentFrame(), 2);

    ucAniGIF self(clock);
    self.setDelayAnimation(1); // starts by itself once built
    QVERIFY(self.LoadAnimatedGIF_Array(makeGif({})));
    ControlTimer::advance(clock, ucAniGIF::kBuildDelayMs + 50);
    QCOMPARE(self.currentFrame(), 2);
}

void TestAniGif::stretchAndMirror()
{
    QWidget board; // a shown child resizes at once; a hidden one or a window waits
    GifRecipe recipe;
    recipe.size = QSize(20, 10);
    auto c = loaded(clock, recipe);
    QVERIFY(c);
    QCOMPARE(c->size(), QSize(20, 10)); // Stretch 4: the control takes the image's size
    QCOMPARE(c->ActualWidth(), 20 * 15);
    c->setParent(&board);
    board.show();
    c->show();
    c->setStretch(2);
    c->resize(40, 40);
    QCOMPARE(c->horizontalScale(), 2.0f);
    QCOMPARE(c->verticalScale(), 4.0f);
    c->setStretch(3);
    QCOMPARE(c->horizontalScale(), 1.0f); // never enlarged; the control shrinks to the image
    QCOMPARE(c->size(), QSize(20, 10));
    c->setStretch(1);
    c->resize(40, 40);
    QCOMPARE(c->horizontalScale(), 2.0f);
    QCOMPARE(c->size(), QSize(40, 20));
    c->setAction(3);
    c->setStretch(0); // a paused control stays paused on its frame
    QCOMPARE(c->Action(), 2);
    QCOMPARE(c->currentFrame(), 2);

    // Mirroring flips what is shown; a playing control plays on.
    const QImage before = c->currentPicture();
    c->setAction(1);
    c->setMirrored(1);
    QCOMPARE(c->Action(), 1);
    QCOMPARE(c->currentPicture(), before.mirrored(true, false));
    c->setMirrored(3);
    QCOMPARE(c->currentPicture(), before.mirrored(true, true));
}

void TestAniGif::palettes()
{
    GifRecipe recipe;
    recipe.localTables = true;
    auto c = loaded(clock, recipe);
    QVERIFY(c);
    QList<std::uint32_t> entries;
    QVERIFY(c->GetPalette(0, entries));
    QCOMPARE(entries.size(), 16);
    QCOMPARE(entries[1], 0x140000u); // 0x00RRGGBB
    QVERIFY(!c->GetPalette(1, entries)); // frame 1 uses the global table
    QVERIFY(c->GetPalette(2, entries));
    QCOMPARE(entries[2], 0x002800u);
    QVERIFY(!c->GetPalette(6, entries));
    QVERIFY(!c->GetPalette(-1, entries));

    QVERIFY(c->CacheColorTables());
    QVERIFY(!c->CacheColorTables());
    QList<std::uint32_t> blue(16, 0x0000FFu);
    QVERIFY(!c->SetPalette(0, blue.mid(0, 15))); // shorter than the table: nothing changes
    QCOMPARE(qBlue(c->currentPicture().pixel(4, 4)), 0);
    QVERIFY(c->SetPalette(0, blue));
    QCOMPARE(c->currentPicture().pixel(4, 4), qRgb(0, 0, 255));
    const auto shown = decodeGifAnimation(c->AnimatedGIF(), nullptr); // the frame as a GIF
    QVERIFY(shown && shown->frameCount() == 1);
    QCOMPARE(shown->composed[0].image.pixel(4, 4), qRgb(0, 0, 255));
    c->setAction(3); // frame 2: its own table, untouched
    QCOMPARE(c->currentPicture().pixel(4, 4), qRgb(0, 40, 0));
    c->setAction(0);
    QVERIFY(c->RestoreColorTables(true));
    QCOMPARE(c->currentPicture().pixel(4, 4), qRgb(20, 0, 0));
    QVERIFY(!c->RestoreColorTables(true));
    QVERIFY(!ucAniGIF(clock).GetPalette(0, entries));
}

void TestAniGif::hideAndShow_data()
{
    QTest::addColumn<int>("setup"); // 0 stopped, 1 playing, 2 paused by Action
    QTest::addColumn<int>("after");
    QTest::newRow("playing resumes") << 1 << 1;
    QTest::newRow("stopped stays stopped") << 0 << 0;
    QTest::newRow("paused by the board stays paused") << 2 << 2;
}

void TestAniGif::hideAndShow()
{
    QFETCH(int, setup);
    QWidget board;
    auto c = loaded(clock);
    QVERIFY(c);
    c->setParent(&board);
    board.show();
    ControlTimer::advance(clock, ucAniGIF::kBuildDelayMs);
    if (setup >= 1)
        c->setAction(1);
    if (setup == 2)
        c->setAction(2);
    // The control itself, then its window (a minimised board hides its children too).
    for (QWidget *w : {static_cast<QWidget *>(c.get()), &board}) {
        w->hide();
        QCOMPARE(c->Action(), setup == 0 ? 0 : 2);
        w->show();
        QTEST(int(c->Action()), "after");
    }
}

// A one-request HTTP server on 127.0.0.1 that answers with the given status and body, or
// hostile: header lines without end, or a body without end, each as fast as the client takes
// them, or silence after the request.
class TinyHttp : public QTcpServer {
public:
    enum Mode { Plain, EndlessHeaders, EndlessBody, Silent };
    Mode mode = Plain;
    QByteArray status = "200 OK";
    QByteArray body;
    QByteArray headers; // extra header lines, each ending in CR LF
    qint64 sent = 0;
    bool closed = false;
    bool asked = false;
    TinyHttp()
    {
        listen(QHostAddress::LocalHost);
        connect(this, &QTcpServer::newConnection, this, [this] {
            QTcpSocket *s = nextPendingConnection();
            connect(s, &QTcpSocket::disconnected, this, [this] { closed = true; });
            connect(s, &QTcpSocket::errorOccurred, this, [this] { closed = true; });
            connect(s, &QTcpSocket::bytesWritten, s, [this, s](qint64 n) {
                sent += n;
                if (mode == EndlessBody && s->bytesToWrite() == 0)
                    s->write(QByteArray(4096, 'b'));
                else if (mode == EndlessHeaders && s->bytesToWrite() == 0)
                    s->write(QByteArray("X-More: " + QByteArray(1000, 'h') + "\r\n").repeated(4));
            });
            connect(s, &QTcpSocket::readyRead, s, [this, s] {
                if (!s->readAll().contains("\r\n\r\n"))
                    return;
                asked = true;
                if (mode == Silent)
                    return;
                s->write("HTTP/1.1 " + status + "\r\nContent-Type: image/gif\r\n" + headers);
                if (mode == Plain) {
                    s->write("Content-Length: " + QByteArray::number(body.size()) + "\r\nConnection: close\r\n\r\n" + body);
                    s->disconnectFromHost();
                } else if (mode == EndlessBody) {
                    s->write("Connection: close\r\n\r\nGIF89a");
                }
            });
        });
    }
    QString url() const { return QStringLiteral("http://127.0.0.1:%1/a.gif").arg(serverPort()); }
};

void TestAniGif::remoteLoad_data()
{
    QTest::addColumn<QString>("address"); // empty: the server; "file", "redirect": a GIF on disk
    QTest::addColumn<int>("mode");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("cancel");
    QTest::addColumn<int>("frames"); // -1: RemoteLoadFailure
    QTest::addColumn<bool>("deadline");
    GifRecipe recipe;
    recipe.size = QSize(12, 9);
    const QByteArray gif = makeGif(recipe);
    const QString web;
    QTest::newRow("a GIF") << web << 0 << gif << false << 5 << false;
    QTest::newRow("upper-case signature") << web << 0 << QByteArray(gif).replace(0, 3, "gif") << false << 5 << false;
    QTest::newRow("cancelled by the handler") << web << 0 << gif << true << 0 << false;
    QTest::newRow("14 bytes") << web << 0 << gif.left(14) << false << -1 << false;
    QTest::newRow("not a GIF") << web << 0 << QByteArray("<html>no gif here</html>") << false << -1 << false;
    QTest::newRow("not found") << web << 0 << gif << false << -1 << false; // a 404 carrying a GIF
    QTest::newRow("over the size cap") << web << 0 << gif + QByteArray(kCap, ';') << false << -1 << false;
    QTest::newRow("endless body") << web << int(TinyHttp::EndlessBody) << gif << false << -1 << false;
    QTest::newRow("endless headers") << web << int(TinyHttp::EndlessHeaders) << gif << false << -1 << false;
    QTest::newRow("silent server") << web << int(TinyHttp::Silent) << gif << false << -1 << true;
    QTest::newRow("file") << QStringLiteral("file") << 0 << gif << false << -1 << false;
    QTest::newRow("redirect to a file") << QStringLiteral("redirect") << 0 << gif << false << -1 << false;
    QTest::newRow("data") << QStringLiteral("data:image/gif;base64,") + QString::fromLatin1(gif.toBase64()) << 0 << gif
                          << false << -1 << false;
}

// Only the web is fetched; a server that never ends is cut off by the size cap or the deadline.
void TestAniGif::remoteLoad()
{
    QFETCH(QString, address);
    QFETCH(QByteArray, body);
    QFETCH(bool, cancel);
    QFETCH(int, frames);
    TinyHttp server;
    QFETCH(int, mode);
    server.mode = TinyHttp::Mode(mode);
    server.body = body;
    if (QByteArray(QTest::currentDataTag()) == "not found")
        server.status = "404 Not Found";
    QTemporaryDir folder;
    QFile file(folder.filePath(QStringLiteral("a.gif")));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(body) > 0);
    file.close();
    const QByteArray fileUrl = QUrl::fromLocalFile(file.fileName()).toEncoded();
    if (address == QLatin1String("file"))
        address = QString::fromLatin1(fileUrl);
    if (address == QLatin1String("redirect")) {
        server.status = "302 Found";
        server.headers = "Location: " + fileUrl + "\r\n";
        address.clear();
    }
    ucAniGIF c(clock);
    c.setRemoteLimits({1000, kCap});
    QList<QPointF> sizes;
    connect(&c, &ucAniGIF::RemoteLoadComplete, this, [&](float w, float h, bool *Cancel) {
        sizes << QPointF(w, h);
        *Cancel = cancel;
    });
    QSignalSpy failed(&c, &ucAniGIF::RemoteLoadFailure);
    c.LoadAnimatedGIF_Remote(address.isEmpty() ? server.url() : address);
    QFETCH(bool, deadline);
    if (deadline) {
        QTRY_VERIFY(server.asked);
        QCOMPARE(failed.count(), 0);
        ControlTimer::advance(clock, 1000);
    }
    QTRY_VERIFY(failed.count() + sizes.size() == 1);
    if (frames < 0) {
        QVERIFY(sizes.isEmpty());
        QCOMPARE(c.FrameCount(), 0);
    } else {
        QCOMPARE(sizes.value(0), QPointF(12 * 15, 9 * 15));
        QCOMPARE(c.FrameCount(), frames);
    }
    if (mode != 0)
        QTRY_VERIFY(server.closed); // the fetch ended: the server was hung up on
    QVERIFY2(server.sent < 8 * 1024 * 1024, QByteArray::number(server.sent)); // the caps, and the sockets' buffers
    c.LoadAnimatedGIF_Remote(QString()); // nothing to fetch: nothing happens
    QCOMPARE(failed.count() + sizes.size(), 1);
}

QTEST_MAIN(TestAniGif)
#include "tst_anigif.moc"
