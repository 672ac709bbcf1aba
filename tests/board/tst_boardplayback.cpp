// Playback on a board: modes and their status texts, speed, slow motion, pause, the round
// timer, the strat's end, stopping, seeking and icon pictures, through the board's controls.
#include "TestFolders.h"
#include "StratSamples.h"
#include "OpenedBoard.h"
#include "OpenedUrls.h"
#include "board/BoardPlayback.h"
#include "playback/PlaybackController.h"
#include "board/BoardScene.h"
#include "board/ProgramState.h"
#include "board/frmMapa.h"
#include "document/StratFile.h"
#include "ScriptedPrompts.h"
#include "playback/IconPicture.h"

#include <QGraphicsPixmapItem>
#include <QGraphicsRectItem>
#include <QGraphicsView>
#include <QLabel>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

using namespace quorvel;
using samples::movement;
using samples::walkers;

namespace {

// A soldier walking east for about 5 s (level 0, facing E), a flash grenade thrown after 1 s,
// a soldier on a level -1 path facing SE, one standing still, and one on a level 1 path
// without facing (its large picture is exactly as tall as a grenade's).
StratDocument smallStrat()
{
    StratDocument d = samples::harborStrat(
        QStringLiteral("Walkers"),
        {{}, {1, 1000, 1000}, {11, 2000, 3000}, {4, 5000, 5000}, {2, 8000, 2000}, {5, 6000, 7000}},
        {{},
         movement(1, {{0, 3400, 1000, 8, 0, 2}}),
         movement(2, {{63, 2600, 3600, 20, 0, 0}}),
         movement(3, {{0, 5600, 5600, 8, -1, 3}}),
         movement(5, {{0, 7600, 7000, 8, 1, 0}})});
    makeSavePlaceholders(d);
    return d;
}

struct Board : OpenedBoard<> {
    explicit Board(const StratDocument &doc, std::int16_t roundTimer = 105)
    {
        state.iRoundTimer = roundTimer;
        open(doc);
    }
    QLabel *label(const char *name) { return board.findChild<QLabel *>(QLatin1String(name)); }
    QString text(const char *name) { return label(name)->text(); }
    QString panel(int n) { return label(QStringLiteral("StatusBar1Panel%1").arg(n).toLatin1().constData())->text(); }
    QSlider *slider(const char *name) { return board.findChild<QSlider *>(QLatin1String(name)); }
    // The user clicks one of the picture buttons.
    void click(const char *button) { QTest::mouseClick(label(button), Qt::LeftButton); }
    // The user releases the time slider at second s.
    void seekTo(int s)
    {
        pb().timeSliderReleased();
        slider("Slider2")->setValue(s);
    }
    const PlaybackIcon &icon(int i) { return *board.model().playback.icon(i); }
    QGraphicsPixmapItem *item(int i) { return board.scene()->imgObj[std::size_t(i)]; }
};

// A click on a button, or a key ("F2" to "F5") pressed on the board.
void act(Board &b, const QString &action)
{
    static const QHash<QString, const char *> buttons{
        {"go", "picGO"}, {"edit", "Picture1"}, {"pause", "picPause"}, {"slow", "picSlow"}};
    static const QHash<QString, Qt::Key> keys{
        {"F2", Qt::Key_F2}, {"F3", Qt::Key_F3}, {"F4", Qt::Key_F4}, {"F5", Qt::Key_F5}};
    if (buttons.contains(action))
        b.click(buttons.value(action));
    else if (keys.contains(action))
        QTest::keyClick(&b.board, keys.value(action));
    else
        qFatal("unknown action");
}

} // namespace

class TestBoardPlayback : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void modesAndStatusTexts_data();
    void modesAndStatusTexts();
    void speedFramesPerTick_data();
    void speedFramesPerTick();
    void slowMotionAndPauseKeepTheClockHonest();
    void secondsAndRoundTimer_data();
    void secondsAndRoundTimer();
    void playStopsAtTheStratsEnd();
    void stopPutsEverythingBackAtTimeZero();
    void playHidesGrenadesByTypeAndPaths();
    void iconPicturesFollowLevelAndFacing();
    void seeking_data();
    void seeking();
    void bareBoardTakesOnePressPerDoubleClick_data();
    void bareBoardTakesOnePressPerDoubleClick();
    void seekShowsHiddenPaths();
    void aReusedBoardStartsStopped();
    void webAddressesOpen_data();
    void webAddressesOpen();
};

void TestBoardPlayback::initTestCase()
{
    qputenv("QUORVEL_HOME", testProgramFolder());
}

void TestBoardPlayback::modesAndStatusTexts_data()
{
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QString>("panel");
    QTest::addColumn<QString>("shown"); // which of picGO, Picture1, picPause, picSlow are shown

    auto row = [](const char *name, QStringList a, const char *panel, const char *shown) {
        QTest::newRow(name) << a << QString::fromLatin1(panel) << QString::fromLatin1(shown);
    };
    row("stopped", {}, "Mode: Stop", "GO P1");
    row("play", {"go"}, "Mode: Play", "GO pause slow");
    row("play/edit", {"edit"}, "Mode: Play/Edit", "P1 pause slow");
    row("paused", {"go", "pause"}, "Mode: Play - Paused", "GO pause slow");
    row("resumed", {"go", "pause", "pause"}, "Mode: Play", "GO pause slow");
    row("slow", {"go", "slow"}, "Mode: Play - Slow Motion", "GO pause slow");
    row("slow paused", {"go", "slow", "pause"}, "Mode: Play - Slow Motion - Paused", "GO pause slow");
    row("slow paused, slow off", {"go", "slow", "pause", "slow"}, "Mode: Play", "GO pause slow");
    row("paused, slow on", {"go", "pause", "slow"}, "Mode: Play - Slow Motion", "GO pause slow");
    row("slow off", {"go", "slow", "slow"}, "Mode: Play", "GO pause slow");
    row("play/edit slow paused", {"edit", "slow", "pause"}, "Mode: Play/Edit - Slow Motion - Paused", "P1 pause slow");
    row("stop", {"go", "go"}, "Mode: Stop", "GO P1");
    row("stop from slow paused", {"go", "slow", "pause", "go"}, "Mode: Stop", "GO P1");
    row("F2 in Play/Edit stops it", {"edit", "F2"}, "Mode: Stop", "GO P1");
    row("F5 in Play stops it", {"go", "F5"}, "Mode: Stop", "GO P1");
    row("restart after stop", {"go", "go", "edit"}, "Mode: Play/Edit", "P1 pause slow");
    row("F4 while stopped", {"F4"}, "Mode: Stop", "GO P1");
    row("F3 while stopped", {"F3"}, "Mode: Stop", "GO P1");
}

void TestBoardPlayback::modesAndStatusTexts()
{
    QFETCH(QStringList, actions);
    Board b(smallStrat());
    for (const QString &a : actions)
        act(b, a);
    QTEST(b.panel(1), "panel");
    QStringList shown;
    if (b.label("picGO")->isVisibleTo(&b.board))
        shown << QStringLiteral("GO");
    if (b.label("Picture1")->isVisibleTo(&b.board))
        shown << QStringLiteral("P1");
    if (b.label("picPause")->isVisibleTo(&b.board))
        shown << QStringLiteral("pause");
    if (b.label("picSlow")->isVisibleTo(&b.board))
        shown << QStringLiteral("slow");
    QTEST(shown.join(u' '), "shown");
    QVERIFY(!b.label("picReverse")->isVisibleTo(&b.board));
    QCOMPARE(b.pb().running(), b.board.controller().playMode() || b.board.controller().playEditMode());
    QCOMPARE(b.panel(2), QStringLiteral("Playback Speed: 1x"));
}

void TestBoardPlayback::speedFramesPerTick_data()
{
    QTest::addColumn<int>("speed");
    for (int s = 1; s <= 5; ++s)
        QTest::addRow("speed %d", s) << s;
}

void TestBoardPlayback::speedFramesPerTick()
{
    QFETCH(int, speed);
    Board b(smallStrat());
    b.click("picGO");
    b.slider("Slider1")->setValue(speed);
    QCOMPARE(b.panel(2), QStringLiteral("Playback Speed: %1x").arg(speed));
    b.ticks(40);
    QCOMPARE(b.board.model().playback.lFrameAtual(), 40 * speed);
    QCOMPARE(b.text("lblFrame"), QString::number(40 * speed));
    // Each 63rd frame is a second, whichever tick it falls in.
    QCOMPARE(b.slider("Slider2")->value(), 40 * speed / 63);

    // The speed stays across a stop and a new start; a paused clock runs no frame.
    b.click("picGO");
    b.click("picGO");
    b.click("picPause");
    b.ticks(3);
    QCOMPARE(b.board.model().playback.lFrameAtual(), 0);
    b.click("picPause");
    b.ticks(3);
    QCOMPARE(b.board.model().playback.lFrameAtual(), 3 * speed);

    // ... and for the next strat of the same board.
    b.board.closeBoard(frmMapa::CloseReason::User);
    b.board.Form_Load();
    b.board.setImI(1);
    b.board.AbreTatica(b.dir.filePath(QStringLiteral("s.qvl")));
    QCOMPARE(b.slider("Slider1")->value(), speed);
    QCOMPARE(b.panel(2), QStringLiteral("Playback Speed: %1x").arg(speed));
}

void TestBoardPlayback::slowMotionAndPauseKeepTheClockHonest()
{
    // Slow motion changes the pace of ticks, not what a tick does.
    Board b(smallStrat());
    b.click("picGO");
    b.click("picSlow");
    b.ticks(10);
    QCOMPARE(b.board.model().playback.lFrameAtual(), 10);
    // Pause, change the speed, resume: the new speed from the first tick after resuming.
    b.click("picPause");
    b.slider("Slider1")->setValue(3);
    QCOMPARE(b.panel(1), QStringLiteral("Mode: Play - Slow Motion - Paused"));
    b.click("picSlow"); // leaving slow motion also resumes
    QVERIFY(b.pb().clockEnabled());
    QVERIFY(!b.pb().paused() && !b.pb().slowMotion());
    b.ticks(1);
    QCOMPARE(b.board.model().playback.lFrameAtual(), 13);
    QCOMPARE(BoardPlayback::face(b.label("picSlow")), QStringLiteral("picSlow2"));
}

void TestBoardPlayback::secondsAndRoundTimer_data()
{
    QTest::addColumn<int>("round");
    QTest::addColumn<int>("ticks");
    QTest::addColumn<QString>("roundTime");
    QTest::addColumn<QString>("segs");
    QTest::addColumn<bool>("clock");

    QTest::newRow("second 1") << 105 << 63 << "1:44" << "00:01" << true;
    QTest::newRow("just before") << 105 << 62 << "1:45" << "00:00" << true;
    QTest::newRow("round of 2 s ends") << 2 << 126 << "0:00" << "00:02" << false;
    QTest::newRow("round of 0 s ends at once") << 0 << 1 << "0:00" << "00:00" << false;
    QTest::newRow("59 s") << 59 << 0 << "0:59" << "00:00" << true;
    QTest::newRow("600 s") << 600 << 63 * 75 << "8:45" << "01:15" << true;
}

void TestBoardPlayback::secondsAndRoundTimer()
{
    QFETCH(int, round);
    QFETCH(int, ticks);
    Board b(smallStrat(), static_cast<std::int16_t>(round));
    b.click("Picture1"); // Play/Edit runs on past the strat's end
    b.ticks(ticks);
    QTEST(b.text("lblRoundTime"), "roundTime");
    QTEST(b.text("lblSegs"), "segs");
    QTEST(b.pb().clockEnabled(), "clock");
    QVERIFY(b.board.controller().playEditMode()); // the mode stays until the user stops

    if (!b.pb().clockEnabled()) {
        // Resuming after the round's end runs one frame and stops again, not a whole new round.
        b.click("picPause");
        b.click("picPause");
        const int frame = b.board.model().playback.lFrameAtual();
        b.ticks(5);
        QCOMPARE(b.board.model().playback.lFrameAtual(), frame + 1);
        QVERIFY(!b.pb().clockEnabled());
    }
}

void TestBoardPlayback::playStopsAtTheStratsEnd()
{
    Board b(smallStrat());
    b.click("picGO");
    const int length = b.slider("Slider2")->maximum();
    QVERIFY(length > 2 && length < 20);
    QCOMPARE(b.text("lblMaxTime"), QString::number(length));
    b.ticks(63 * length + 50);
    QVERIFY(!b.pb().clockEnabled());
    QCOMPARE(b.board.model().playback.lFrameAtual(), 63 * length);
    QCOMPARE(b.slider("Slider2")->value(), length);
    QVERIFY(b.board.controller().playMode());
    QCOMPARE(b.panel(1), QStringLiteral("Mode: Play"));

    // Play/Edit runs on to the round's end.
    b.click("picGO");
    b.click("Picture1");
    b.ticks(63 * length + 50);
    QVERIFY(b.pb().clockEnabled());
    QCOMPARE(b.slider("Slider2")->value(), length);
}

void TestBoardPlayback::stopPutsEverythingBackAtTimeZero()
{
    for (const bool edit : {false, true}) {
        Board b(smallStrat());
        b.click(edit ? "Picture1" : "picGO");
        b.slider("Slider1")->setValue(4);
        b.ticks(100);
        QVERIFY(b.icon(1).Left != 1000);
        b.click(edit ? "Picture1" : "picGO");

        QVERIFY(!b.pb().clockEnabled());
        QCOMPARE(b.text("lblFrame"), QStringLiteral("0"));
        QCOMPARE(b.text("lblSegs"), QStringLiteral("00:00"));
        QCOMPARE(b.text("lblRoundTime"), QStringLiteral("1:45"));
        QCOMPARE(b.slider("Slider2")->value(), 0);
        QCOMPARE(b.panel(1), QStringLiteral("Mode: Stop"));
        QCOMPARE(b.label("picGO")->toolTip(), edit ? QStringLiteral("Play") : QStringLiteral("Play (F2)"));
        QCOMPARE(BoardPlayback::face(b.label("picGO")), QStringLiteral("picplay"));
        QCOMPARE(BoardPlayback::face(b.label("Picture1")), QStringLiteral("picPlayEdit"));
        const BoardModel &m = b.board.model();
        for (int i = 1; i <= 5; ++i) {
            QCOMPARE(b.item(i)->pos(), QPointF(m.doc.tObjetos[i].X, m.doc.tObjetos[i].Y));
            QVERIFY(b.item(i)->isVisible());
            QCOMPARE(b.item(i)->pixmap().cacheKey(), b.host.iconPicture(*plainPicture(m.doc.tObjetos[i].Tipo)).cacheKey());
        }
        for (std::size_t n = 1; n < b.board.scene()->picM.size(); ++n)
            QVERIFY(b.board.scene()->picM[n]->isVisible());
        QCOMPARE(b.slider("Slider1")->value(), 4); // the speed stays
    }
}

void TestBoardPlayback::playHidesGrenadesByTypeAndPaths()
{
    Board b(smallStrat());
    BoardScene &scene = *b.board.scene();
    // Stopped at second 3, the soldier on its level 1 path shows its large picture, as tall as
    // a grenade. Play from there must not take it for one.
    b.seekTo(3);
    QCOMPARE(b.item(5)->pixmap().height() * 15, 210);
    b.click("picGO");
    for (int i : {1, 3, 4, 5})
        QVERIFY(b.item(i)->isVisible());
    for (std::size_t n = 1; n < scene.picM.size(); ++n) {
        QVERIFY(!scene.picM[n]->isVisible());
        QVERIFY(!scene.linha[n]->isVisible());
    }
    b.click("picGO");

    // From time 0: the grenade waits hidden until its path starts after its wait of 63 frames.
    b.click("picGO");
    QVERIFY(!b.item(2)->isVisible());
    b.ticks(63);
    QVERIFY(!b.item(2)->isVisible());
    b.ticks(2);
    QVERIFY(b.item(2)->isVisible());
    b.click("picGO");

    // Play/Edit hides nothing.
    b.click("Picture1");
    QVERIFY(b.item(2)->isVisible());
    for (std::size_t n = 1; n < scene.picM.size(); ++n)
        QVERIFY(scene.picM[n]->isVisible());
}

void TestBoardPlayback::iconPicturesFollowLevelAndFacing()
{
    Board b(smallStrat());
    b.click("Picture1");
    b.ticks(10);
    auto pictureOf = [&](int type, int level, int facing) {
        return b.host.iconPicture(*iconPictureFor(type, level, facing)).cacheKey();
    };
    QCOMPARE(b.item(1)->pixmap().cacheKey(), pictureOf(1, 0, 2));  // ground, facing E
    QCOMPARE(b.item(3)->pixmap().cacheKey(), pictureOf(4, -1, 3)); // below ground, facing SE
    QCOMPARE(b.item(4)->pixmap().cacheKey(), pictureOf(2, 0, 0));  // no path: plain
    // The scene mirrors the model's positions after every tick.
    QCOMPARE(b.item(1)->pos(), QPointF(b.icon(1).Left, b.icon(1).Top));
    QVERIFY(b.icon(1).Left > 1000);
}

void TestBoardPlayback::seeking_data()
{
    QTest::addColumn<QString>("state"); // stopped, play, paused
    QTest::addColumn<QList<int>>("targets");
    QTest::newRow("stopped, forward") << "stopped" << QList<int>{4};
    QTest::newRow("stopped, forward then back") << "stopped" << QList<int>{5, 2};
    QTest::newRow("playing, forward then back") << "play" << QList<int>{6, 1};
    QTest::newRow("paused, forward") << "paused" << QList<int>{3};
    QTest::newRow("back to 0") << "play" << QList<int>{4, 0};
}

void TestBoardPlayback::seeking()
{
    QFETCH(QString, state);
    QFETCH(QList<int>, targets);
    const StratDocument strat = walkers(5, 20);

    Board b(strat);
    if (state != u"stopped")
        b.click("Picture1");
    if (state == u"paused")
        b.click("picPause");
    const QString panelBefore = b.panel(1);
    const int max = b.slider("Slider2")->maximum();
    for (int t : targets)
        b.seekTo(t);
    const int target = targets.last();

    // The same positions as playing there from the start.
    Board played(strat);
    played.click("Picture1");
    played.ticks(63 * target);
    for (int i = 1; i <= 5; ++i) {
        QCOMPARE(b.item(i)->pos(), played.item(i)->pos());
        QCOMPARE(b.item(i)->pixmap().cacheKey(), played.item(i)->pixmap().cacheKey());
    }
    QCOMPARE(b.board.model().playback.lFrameAtual(), 63 * target);
    QCOMPARE(b.text("lblSegs"), played.text("lblSegs"));
    QCOMPARE(b.text("lblRoundTime"), played.text("lblRoundTime"));
    QCOMPARE(b.text("lblFrame"), QString::number(63 * target));
    QVERIFY(b.slider("Slider2")->isEnabled());
    QCOMPARE(b.panel(1), panelBefore); // the mode and its suffixes as they were
    QCOMPARE(b.pb().clockEnabled(), state == u"play");

    if (state == u"stopped") {
        // A start keeps the position and the length.
        b.click("picGO");
        QCOMPARE(b.board.model().playback.lFrameAtual(), 63 * target);
        QCOMPARE(b.slider("Slider2")->maximum(), max);
        b.ticks(63);
        QCOMPARE(b.slider("Slider2")->value(), target + 1);
    }
}

// A press on the bare board pauses or resumes a Play; a double-click is one press.
void TestBoardPlayback::bareBoardTakesOnePressPerDoubleClick_data()
{
    QTest::addColumn<QString>("clicks"); // c: a click, d: the second click of a double-click
    QTest::addColumn<bool>("paused");
    QTest::newRow("click") << "c" << true;
    QTest::newRow("double-click") << "cd" << true;
    QTest::newRow("triple click") << "cdc" << false;
}

void TestBoardPlayback::bareBoardTakesOnePressPerDoubleClick()
{
    QFETCH(QString, clicks);
    Board b(smallStrat());
    b.board.show();
    b.click("picGO");
    QWidget *viewport = b.board.view()->viewport();
    const QPoint bare = b.board.view()->mapFromScene(QPointF(11000, 8500));
    for (const QChar c : clicks) {
        if (c == u'c') {
            QTest::mouseClick(viewport, Qt::LeftButton, {}, bare);
        } else {
            QTest::mouseDClick(viewport, Qt::LeftButton, {}, bare);
            QTest::mouseRelease(viewport, Qt::LeftButton, {}, bare);
        }
    }
    QVERIFY(b.pb().playMode());
    QTEST(b.pb().paused(), "paused");
}

// A seek on a stopped board shows every path again, also one that Show/Hide hid.
void TestBoardPlayback::seekShowsHiddenPaths()
{
    Board b(smallStrat());
    b.board.document().ShowHide(1, false);
    auto shown = [&b] {
        int n = 0;
        const BoardModel &m = b.board.model();
        for (int p = 1; p <= m.iPontos; ++p)
            n += m.points[std::size_t(p)].loaded && m.points[std::size_t(p)].visible
                 && b.board.scene()->picM[std::size_t(p)]->isVisible() && b.board.scene()->linha[std::size_t(p)]->isVisible();
        return n;
    };
    QCOMPARE(shown(), b.board.model().iPontos - 1); // object 1 has one path point
    b.seekTo(2);
    QCOMPARE(shown(), b.board.model().iPontos);
}

void TestBoardPlayback::aReusedBoardStartsStopped()
{
    // A slot freed while Play/Edit ran is loaded again with the stopped look of a new board.
    Board b(smallStrat());
    b.click("Picture1");
    QCOMPARE(b.label("Picture1")->toolTip(), QStringLiteral("STOP (F2)"));
    b.ticks(10);
    b.board.closeBoard(frmMapa::CloseReason::User);
    b.board.Form_Load();
    QVERIFY(!b.pb().running() && !b.pb().clockEnabled());
    QCOMPARE(b.panel(1), QStringLiteral("Mode: Stop"));
    QCOMPARE(b.label("picGO")->toolTip(), QStringLiteral("Play (F2)"));
    QCOMPARE(BoardPlayback::face(b.label("Picture1")), QStringLiteral("picPlayEdit"));
    QCOMPARE(b.slider("Slider2")->maximum(), 1);
}

void TestBoardPlayback::webAddressesOpen_data()
{
    QTest::addColumn<QString>("clicked");
    QTest::addColumn<QString>("panelText"); // put in status panel 3 first ("" keeps it)
    QTest::addColumn<bool>("recording");
    QTest::addColumn<QString>("opened");
    QTest::newRow("home page") << "lblSite" << "" << false << "https://quorvel.org/";
    QTest::newRow("home page while recording") << "lblSite" << "" << true << "";
    QTest::newRow("panel with an address") << "StatusBar1Panel3" << "http://example.org/news" << false
                                           << "http://example.org/news";
    QTest::newRow("panel with an address while recording")
        << "StatusBar1Panel3" << "https://example.org/" << true << "https://example.org/";
    QTest::newRow("panel with words") << "StatusBar1Panel3" << "" << false << "";
}

// The home page label and a status panel that shows a web address open it with a click.
void TestBoardPlayback::webAddressesOpen()
{
    QFETCH(QString, clicked);
    QFETCH(QString, panelText);
    QFETCH(bool, recording);
    QFETCH(QString, opened);
    OpenedUrls urls;
    Board b(smallStrat());
    if (!panelText.isEmpty())
        b.label("StatusBar1Panel3")->setText(panelText);
    b.pb().setRecording(recording);
    b.click(clicked.toLatin1().constData());
    QCOMPARE(urls.urls, opened.isEmpty() ? QList<QUrl>() : QList<QUrl>{QUrl(opened)});
}

QTEST_MAIN(TestBoardPlayback)
#include "tst_boardplayback.moc"
