// The playback controller against a hand-driven clock: its modes, the pace of ticks from elapsed time,
// the catch-up bound, pause, the strat's end, capture pacing and grenade bursts.
#include "StratSamples.h"
#include "playback/PlaybackController.h"
#include "playback/PlaybackModel.h"

#include <QSignalSpy>
#include <QtTest>

using namespace quorvel;

namespace {

// A soldier walking east for about 3 s and a flash grenade thrown at once, landing after
// about half a second.
StratDocument smallStrat()
{
    StratDocument d;
    d.iObj = 2;
    d.tObjetos = {{}, {1, 1000, 1000}, {11, 2000, 3000}};
    d.iMovs = 2;
    d.tMovimentos = {{}, samples::movement(1, {{0, 1600, 1000, 3, 0, 2}}), samples::movement(2, {{0, 2600, 3000, 20, 0, 0}})};
    return d;
}

struct Rig {
    StratDocument doc;
    PlaybackModel model;
    ManualClock clock;
    PlaybackController pc{model, doc, clock};

    explicit Rig(StratDocument strat = smallStrat()) : doc(std::move(strat))
    {
        model.setObjects(doc.tObjetos);
        model.setMovementCount(doc.iMovs);
        for (int k = 1; k <= doc.iMovs; ++k) {
            clsMovimento *mv = model.Movimento(k);
            mv->iObj = doc.tMovimentos[k].iObj;
            for (int p = 1; p <= doc.tMovimentos[k].itM; ++p) {
                const tpPasso &s = doc.tMovimentos[k].Passos.at(p);
                mv->Adiciona(s.iIni, s.X, s.Y, s.sLvl, s.sVel, s.sDir);
            }
        }
        pc.boardLoaded();
    }
    // The timer wakes every 16 ms for `ms` milliseconds.
    void run(int ms)
    {
        for (int t = 0; t < ms; t += PlaybackController::kWakeIntervalMs) {
            clock.advanceMs(PlaybackController::kWakeIntervalMs);
            pc.wake();
        }
    }
};

} // namespace

class TestPlaybackController : public QObject {
    Q_OBJECT
private slots:
    void modes_data();
    void modes();
    void pacing_data();
    void pacing();
    void playEndsAtTheStratsEnd();
    void capturesEveryEighthFrame_data();
    void capturesEveryEighthFrame();
    void grenadeBurstsOnlyInPlainPlay_data();
    void grenadeBurstsOnlyInPlainPlay();
    void seekArming();
};

void TestPlaybackController::modes_data()
{
    QTest::addColumn<QString>("actions"); // g Play/Stop, e Play/Edit, p pause, s slow motion
    QTest::addColumn<bool>("play");
    QTest::addColumn<bool>("playEdit");
    QTest::addColumn<bool>("clock");
    QTest::addColumn<int>("interval");
    auto row = [](const char *name, const char *a, bool p, bool e, bool clock, int interval) {
        QTest::newRow(name) << QString::fromLatin1(a) << p << e << clock << interval;
    };
    row("stopped", "", false, false, false, 1);
    row("play", "g", true, false, true, 1);
    row("play/edit", "e", false, true, true, 1);
    row("paused", "gp", true, false, false, 1);
    row("resumed", "gpp", true, false, true, 1);
    row("slow", "gs", true, false, true, 100);
    row("slow paused", "gsp", true, false, false, 100);
    row("slow paused, slow off", "gsps", true, false, true, 1);
    row("paused, slow on", "gps", true, false, true, 100);
    row("slow off", "gss", true, false, true, 1);
    row("play/edit slow paused", "esp", false, true, false, 100);
    row("stop", "gg", false, false, false, 1);
    row("stop from slow paused", "gspg", false, false, false, 100);
    row("Play/Stop in Play/Edit stops it", "eg", false, false, false, 1);
    row("Play/Edit in Play stops it", "ge", false, false, false, 1);
    row("restart after stop", "gge", false, true, true, 1);
    row("slow while stopped", "s", false, false, false, 1);
    row("pause while stopped", "p", false, false, false, 1);
}

void TestPlaybackController::modes()
{
    QFETCH(QString, actions);
    Rig r;
    for (const QChar a : actions) {
        switch (a.toLatin1()) {
        case 'g': r.pc.togglePlay(); break;
        case 'e': r.pc.togglePlayEdit(); break;
        case 'p': r.pc.togglePauseByUser(); break;
        case 's': r.pc.toggleSlowMotion(); break;
        }
    }
    QTEST(r.pc.playMode(), "play");
    QTEST(r.pc.playEditMode(), "playEdit");
    QTEST(r.pc.clockEnabled(), "clock");
    QTEST(r.pc.clockInterval(), "interval");
    QCOMPARE(r.pc.running(), r.pc.playMode() || r.pc.playEditMode());
}

void TestPlaybackController::pacing_data()
{
    QTest::addColumn<bool>("slow");
    QTest::addColumn<int>("stallMs"); // one late wake-up after the first second
    QTest::addColumn<int>("frames");  // after the first second, and after the stall and one more wake
    QTest::newRow("63 a second") << false << 0 << 63;
    QTest::newRow("10 a second in slow motion") << true << 0 << 10;
    QTest::newRow("a stall runs at most 16 ticks") << false << 2000 << 63;
    QTest::newRow("a short stall is caught up") << false << 200 << 63;
}

void TestPlaybackController::pacing()
{
    QFETCH(bool, slow);
    QFETCH(int, stallMs);
    QFETCH(int, frames);
    Rig r;
    r.pc.togglePlayEdit();
    if (slow)
        r.pc.toggleSlowMotion();
    r.run(1008); // 63 wake-ups of 16 ms
    QCOMPARE(r.model.lFrameAtual(), frames);
    if (stallMs) {
        r.clock.advanceMs(stallMs);
        r.pc.wake();
        const qint64 due = PlaybackController::ticksDue(qint64(stallMs) * 1000000 + 8000000, 63);
        QCOMPARE(r.model.lFrameAtual(), frames + std::min<qint64>(due, PlaybackController::kMaxCatchUpTicks));
    }
    // A pause holds the count however long it lasts; resuming starts a new count.
    r.pc.togglePauseByUser();
    const int held = r.model.lFrameAtual();
    r.run(5000);
    QCOMPARE(r.model.lFrameAtual(), held);
    r.pc.togglePauseByUser();
    r.run(1008);
    QCOMPARE(r.model.lFrameAtual(), held + (slow ? 10 : 63));
}

void TestPlaybackController::playEndsAtTheStratsEnd()
{
    Rig r;
    QSignalSpy stopped(&r.pc, &PlaybackController::stopped);
    QSignalSpy seconds(&r.pc, &PlaybackController::secondChanged);
    r.pc.togglePlay();
    const int length = r.pc.lengthSeconds();
    QVERIFY(length >= 2);
    r.run(1000 * (length + 2));
    QVERIFY(!r.pc.clockEnabled());
    QVERIFY(r.pc.playMode());
    QCOMPARE(r.pc.second(), length);
    QCOMPARE(r.model.lFrameAtual(), 63 * length);
    QCOMPARE(stopped.count(), 1);
    QCOMPARE(seconds.count(), length);
    r.pc.togglePlay();
    QCOMPARE(r.pc.second(), 0);
    QCOMPARE(r.model.lFrameAtual(), 0);
}

void TestPlaybackController::capturesEveryEighthFrame_data()
{
    QTest::addColumn<int>("speed");
    for (int s = 1; s <= PlaybackController::kMaxSpeed; ++s)
        QTest::addRow("speed %d", s) << s;
}

void TestPlaybackController::capturesEveryEighthFrame()
{
    // A picture is due whenever the frame reaches or passes the next capture frame.
    QFETCH(int, speed);
    Rig r;
    QSignalSpy due(&r.pc, &PlaybackController::captureDue);
    r.pc.setSpeed(speed);
    r.pc.togglePlayEdit();
    r.pc.setRecording(true);
    for (int i = 0; i < 40; ++i)
        r.pc.tick();
    int next = 1;
    for (int k = 0; k < due.count(); ++k) {
        const int frame = due.at(k).at(0).toInt();
        QCOMPARE(due.at(k).at(1).toInt(), k + 1);
        QVERIFY(frame >= next && frame - speed < next);
        next += 8;
    }
    QVERIFY(40 * speed - speed < next); // none was missed at the end
}

void TestPlaybackController::grenadeBurstsOnlyInPlainPlay_data()
{
    QTest::addColumn<bool>("edit");
    QTest::addColumn<int>("speed");
    QTest::addColumn<bool>("slow");
    QTest::addColumn<int>("bursts");
    QTest::newRow("Play") << false << 1 << false << 1;
    QTest::newRow("Play/Edit") << true << 1 << false << 0;
    QTest::newRow("speed 2") << false << 2 << false << 0;
    QTest::newRow("slow motion") << false << 1 << true << 0;
}

void TestPlaybackController::grenadeBurstsOnlyInPlainPlay()
{
    QFETCH(bool, edit);
    QFETCH(int, speed);
    QFETCH(bool, slow);
    Rig r;
    QSignalSpy bursts(&r.pc, &PlaybackController::grenadeBurst);
    r.pc.setSpeed(speed);
    edit ? r.pc.togglePlayEdit() : r.pc.togglePlay();
    if (slow)
        r.pc.toggleSlowMotion();
    for (int i = 0; i < 120; ++i)
        r.pc.tick();
    QTEST(int(bursts.count()), "bursts");
    if (!bursts.isEmpty())
        QCOMPARE(bursts.at(0).at(0).value<GrenadeBurst>().type, 11);
}

void TestPlaybackController::seekArming()
{
    // The time slider seeks when a release is followed by a change to another second.
    Rig r(samples::walkers(3, 20));
    r.pc.updateStratLength();
    QVERIFY(r.pc.lengthSeconds() >= 8);
    r.pc.timeSliderChanged(4); // a change without a release
    QCOMPARE(r.model.lFrameAtual(), 0);
    r.pc.timeSliderReleased();
    r.pc.timeSliderChanged(4); // a change to the second last seen: disarmed without seeking
    QVERIFY(!r.pc.seekArmed());
    QCOMPARE(r.model.lFrameAtual(), 0);

    // A release without a change, then the clock's next second seeks to it.
    r.pc.timeSliderChanged(0);
    r.pc.togglePlayEdit();
    r.pc.timeSliderReleased();
    for (int i = 0; i < 63; ++i)
        r.pc.tick();
    QCOMPARE(r.model.lFrameAtual(), 63);
    QVERIFY(!r.pc.seekArmed());

    // A stop while armed does not seek: the board is at time 0.
    r.pc.timeSliderReleased();
    r.pc.togglePlayEdit();
    QCOMPARE(r.model.lFrameAtual(), 0);
    QCOMPARE(r.pc.second(), 0);
    QVERIFY(!r.pc.clockEnabled());

    // A seek while stopped positions the board and leaves the clock off.
    r.pc.timeSliderReleased();
    r.pc.timeSliderChanged(7);
    QCOMPARE(r.model.lFrameAtual(), 7 * 63);
    QVERIFY(!r.pc.clockEnabled() && !r.pc.seeking());
}

QTEST_MAIN(TestPlaybackController)
#include "tst_playbackcontroller.moc"
