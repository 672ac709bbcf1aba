// The busy animation (its frame timing and stop rules), the shipped animations, and the
// balloon tooltip's rules (its showing with the pointer is tested on a board).
#include "GifFixtures.h"
#include "common/Clock.h"
#include "controls/AniGif.h"
#include "controls/CTooltip.h"
#include "controls/ControlTimer.h"

#include <QApplication>
#include <QFile>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

using namespace quorvel;
using namespace quorvel::test;

class TestBusy : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void stopTable_data();
    void stopTable();
    void frameDelays_data();
    void frameDelays();
    void nothingLoaded();
    void shippedAnimations();
    void balloonRules();

private:
    QString write(const QString &name, const QByteArray &bytes);
    ManualClock clock;
    QTemporaryDir dir;
};

void TestBusy::initTestCase() { QVERIFY(dir.isValid()); }

QString TestBusy::write(const QString &name, const QByteArray &bytes)
{
    QFile f(dir.filePath(name));
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        return {};
    return f.fileName();
}

void TestBusy::stopTable_data()
{
    QTest::addColumn<bool>("running");
    QTest::addColumn<bool>("atFirst");
    QTest::addColumn<bool>("atOnce");
    QTest::addColumn<int>("frameAfter");    // the frame shown right after the call
    QTest::addColumn<bool>("timerAfter");
    QTest::addColumn<int>("frameLater");    // after 500 ms more
    QTest::newRow("freeze") << true << false << false << 3 << false << 3;
    QTest::newRow("freeze, at once too") << true << false << true << 3 << false << 3;
    QTest::newRow("end the cycle on frame 1") << true << true << false << 3 << true << 1;
    QTest::newRow("back to frame 1 at once") << true << true << true << 1 << false << 1;
    QTest::newRow("stopped: nothing changes") << false << true << true << 3 << false << 3;
}

void TestBusy::stopTable()
{
    QFETCH(bool, running);
    QFETCH(bool, atFirst);
    QFETCH(bool, atOnce);
    GifRecipe recipe;
    recipe.delayMs = 100;
    AniGif busy(clock);
    busy.LoadFile(write(QStringLiteral("stop.gif"), makeGif(recipe)), false);
    QVERIFY(busy.TimerStatus());
    ControlTimer::advance(clock, AniGif::kFirstIntervalMs + 200); // frames 1, 2, 3
    QCOMPARE(busy.currentFrame(), 3);
    if (!running)
        busy.StopAnimate(false, false);
    busy.StopAnimate(atFirst, atOnce);
    QTEST(busy.currentFrame(), "frameAfter");
    QTEST(busy.TimerStatus(), "timerAfter");
    ControlTimer::advance(clock, 500);
    QTEST(busy.currentFrame(), "frameLater");
    QCOMPARE(frameShown(busy.currentPicture()), busy.currentFrame());
}

void TestBusy::frameDelays_data()
{
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<int>("interval");
    QTest::newRow("0 plays at the minimum, not as a 1 ms loop") << 0 << AniGif::kZeroDelayMs;
    QTest::newRow("own delay") << 70 << 70;
    QTest::newRow("70 seconds capped") << 70000 << AniGif::kMaxDelayMs;
}

void TestBusy::frameDelays()
{
    QFETCH(int, delayMs);
    QFETCH(int, interval);
    GifRecipe recipe;
    recipe.delayMs = delayMs;
    AniGif busy(clock);
    busy.LoadFile(write(QStringLiteral("delay.gif"), makeGif(recipe)), true);
    QCOMPARE(busy.currentFrame(), 1); // DoNotStart: frame 1 drawn, timer off
    QVERIFY(!busy.TimerStatus());
    busy.RestartAnimate(); // goes on after the shown frame's own delay
    ControlTimer::advance(clock, interval);
    QCOMPARE(busy.currentFrame(), 2);
    ControlTimer::advance(clock, interval - 1);
    QCOMPARE(busy.currentFrame(), 2);
    ControlTimer::advance(clock, 1);
    QCOMPARE(busy.currentFrame(), 3);
    // The fast finish alone runs at 1 ms: the cycle ends on frame 1 within a few milliseconds.
    busy.FinishCycleFast();
    ControlTimer::advance(clock, interval + 3);
    QCOMPARE(busy.currentFrame(), 1);
    QVERIFY(!busy.TimerStatus());
}

void TestBusy::nothingLoaded()
{
    AniGif busy(clock);
    busy.RestartAnimate();
    busy.NextFrame();
    busy.FinishCycleFast();
    QVERIFY(!busy.TimerStatus());
    busy.LoadFile(dir.filePath(QStringLiteral("missing.gif")), false);
    QCOMPARE(busy.Picture(), 0);
    QVERIFY(!busy.TimerStatus());
    GifRecipe one;
    one.frames = 1;
    busy.LoadFile(write(QStringLiteral("one.gif"), makeGif(one)), false);
    QCOMPARE(busy.currentFrame(), 1); // a single frame is drawn once, the timer stays off
    QVERIFY(!busy.TimerStatus());
    busy.LoadFile(QString(), false);
    QCOMPARE(busy.Picture(), 0);
}

void TestBusy::shippedAnimations()
{
    // The effects as the board's controls expect them: size, frames, delays and disposals
    // from the animated control's table, transparent, no loop block; frame 1 is the rest.
    const struct { const char *name; int side, frames; QList<int> delays; } effects[] = {
        {"HE", 50, 5, {0, 100, 200}}, {"FLASH", 170, 11, {0}}, {"SMOKE", 50, 40, {500}}};
    for (const auto &e : effects) {
        QFile f(QStringLiteral(QUORVEL_PROGRAM_DIR "/Bin/Effects/%1.gif").arg(QLatin1String(e.name)));
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QByteArray bytes = f.readAll();
        QVERIFY(!bytes.contains("NETSCAPE2.0"));
        const auto a = decodeGifAnimation(bytes, nullptr);
        QVERIFY(a);
        QCOMPARE(a->size, QSize(e.side, e.side));
        QCOMPARE(a->frameCount(), e.frames);
        QSet<int> delays, disposals;
        for (const GifFrame &fr : a->frames) {
            QVERIFY(fr.transparent);
            delays << fr.delayMs;
            disposals << fr.disposal;
        }
        QCOMPARE(delays, QSet<int>(e.delays.begin(), e.delays.end()));
        QCOMPARE(disposals, (QSet<int>{1, 2}));
    }
    AniGif busy(clock);
    busy.LoadFile(QStringLiteral(QUORVEL_PROGRAM_DIR "/Bin/Loading.gif"), false);
    QVERIFY(busy.Picture() >= 8);
    ControlTimer::advance(clock, 2000);
    QVERIFY(busy.TimerStatus()); // endless
}

// What reaches the tip window, and when: a title without an icon only at Create, a colour of
// 0 only on a live window, one tip window per tooltip.
void TestBusy::balloonRules()
{
    QWidget parent;
    CTooltip tip(clock);
    tip.Destroy(); // nothing to destroy
    tip.setTitle(QStringLiteral("Info"));
    tip.Create(&parent);
    BalloonWindow *w = tip.window();
    QVERIFY(w);
    QCOMPARE(w->title(), QStringLiteral("Info"));
    tip.setTitle(QStringLiteral("Other")); // live, no icon: the window keeps its title
    QCOMPARE(w->title(), QStringLiteral("Info"));
    tip.setIcon(1);
    QCOMPARE(w->title(), QStringLiteral("Other"));
    tip.setBackColor(0x00FF00);
    tip.setBackColor(0);
    QCOMPARE(w->backColor(), 0u);

    tip.Create(&parent);
    const QWidgetList windows = QApplication::topLevelWidgets();
    QCOMPARE(std::count_if(windows.begin(), windows.end(), [](QWidget *x) { return qobject_cast<BalloonWindow *>(x); }),
             1);
    tip.Destroy();
    tip.Destroy();
    QVERIFY(!tip.window());
}

QTEST_MAIN(TestBusy)
#include "tst_busy.moc"
