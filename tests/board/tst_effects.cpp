// The board's animated controls: grenade effects started by a burst during Play, paused with
// the playback, reset by stop, seek, the strat's end and closing, and not started where the
// playback does not allow them; the busy animation over a seek; the marker balloon.
#include "TestFolders.h"
#include "StratSamples.h"
#include "OpenedBoard.h"
#include "board/BoardDocument.h"
#include "board/BoardEffects.h"
#include "board/BoardPlayback.h"
#include "board/BoardScene.h"
#include "board/ProgramState.h"
#include "board/frmMapa.h"
#include "controls/CTooltip.h"
#include "controls/ControlTimer.h"
#include "document/StratFile.h"
#include "ScriptedPrompts.h"
#include "playback/PlaybackController.h"

#include <QGraphicsPixmapItem>
#include <QGraphicsView>
#include <QSlider>
#include <QTemporaryDir>
#include <QToolTip>
#include <QtTest>

using namespace quorvel;
using samples::movement;

namespace {

// An explosive, a flash and a smoke grenade, each landing after about half a second, and a
// soldier walking for about 8 s so that the strat is long enough to seek in; one marker.
StratDocument grenadeStrat()
{
    StratDocument d = samples::harborStrat(QStringLiteral("Grenades"),
                                           {{}, {10, 2000, 2000}, {11, 5000, 2000}, {12, 8000, 4000}, {1, 1000, 6000}},
                                           {{},
                                            movement(1, {{0, 2600, 2000, 20, 0, 0}}),
                                            movement(2, {{0, 5600, 2000, 20, 0, 0}}),
                                            movement(3, {{0, 8600, 4000, 20, 0, 0}}),
                                            movement(4, {{0, 5000, 6000, 8, 0, 2}})});
    d.iMkr = 2;
    d.tMarkers = {{}, {6000, 7000, QStringLiteral("Fuma\u00e7a \u2013 janela \u20ac \u0152")},
                  {9000, 7000, QStringLiteral("second")}};
    makeSavePlaceholders(d);
    return d;
}

struct Board : OpenedBoard<ManualClockHost> {
    explicit Board(bool effectsOn = true)
    {
        state.bShowAnimations = effectsOn;
        open(grenadeStrat());
        board.show();
        ControlTimer::advance(host.manual, ucAniGIF::kBuildDelayMs); // the effects' frames are built
    }
    // The board's playback keys: F2 Play/Stop, F3 Pause, F4 slow motion, F5 Play/Edit.
    void key(Qt::Key k) { QTest::keyClick(&board, k); }
    BoardEffects &fx() { return board.effects(); }
    // Every effect element as "kind index action visible", for the ones not at rest.
    QStringList live()
    {
        QStringList out;
        const std::pair<const char *, const BoardEffects::EffectArray *> arrays[] = {
            {"HE", &fx().HE()}, {"FLASH", &fx().FLASH()}, {"SMOKE", &fx().SMOKE()}};
        for (const auto &[name, array] : arrays)
            for (int i = 0; i < BoardEffects::kElements; ++i) {
                const ucAniGIF *c = (*array)[std::size_t(i)];
                if (c->Action() != 0 || c->isVisible())
                    out << QStringLiteral("%1 %2 %3%4").arg(QLatin1String(name)).arg(i).arg(c->Action()).arg(
                        c->isVisible() ? QStringLiteral(" shown") : QString());
            }
        return out;
    }
};

const QStringList allThree{QStringLiteral("HE 0 1 shown"), QStringLiteral("FLASH 0 1 shown"),
                           QStringLiteral("SMOKE 0 1 shown")};

} // namespace

class TestEffects : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qputenv("QUORVEL_HOME", testProgramFolder()); }
    void whenEffectsStart_data();
    void whenEffectsStart();
    void pauseAndMinimise();
    void resetBy_data();
    void resetBy();
    void effectRestsOnFrameOne();
    void busyAnimationOverSeek();
    void markerBalloon();
};

void TestEffects::whenEffectsStart_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<bool>("started");
    QTest::newRow("Play") << "play" << true;
    QTest::newRow("Play/Edit") << "edit" << false;
    QTest::newRow("slow motion") << "slow" << false;
    QTest::newRow("speed 2") << "speed" << false;
    QTest::newRow("effects switched off") << "off" << false;
}

void TestEffects::whenEffectsStart()
{
    QFETCH(QString, how);
    QFETCH(bool, started);
    Board b(how != u"off");
    if (how == u"edit")
        b.key(Qt::Key_F5);
    else
        b.key(Qt::Key_F2);
    if (how == u"slow")
        b.key(Qt::Key_F4);
    if (how == u"speed")
        b.board.findChild<QSlider *>(QStringLiteral("Slider1"))->setValue(2);
    b.ticks(60);
    QCOMPARE(b.live(), started ? allThree : QStringList());
    if (started) { // each over its grenade's point, at its own size
        QGraphicsView *v = b.board.view();
        QCOMPARE(b.fx().HE()[0]->pos(), v->mapFromScene(QPointF(2600 - 300, 2000 - 300)));
        QCOMPARE(b.fx().FLASH()[0]->pos(), v->mapFromScene(QPointF(5600 - 1200, 2000 - 1200)));
        QCOMPARE(b.fx().FLASH()[0]->size(), QSize(170, 170));
    }
}

void TestEffects::pauseAndMinimise()
{
    Board b;
    b.key(Qt::Key_F2);
    b.ticks(60);
    b.key(Qt::Key_F3);
    const QStringList paused{QStringLiteral("HE 0 2 shown"), QStringLiteral("FLASH 0 2 shown"),
                             QStringLiteral("SMOKE 0 2 shown")};
    QCOMPARE(b.live(), paused);
    ControlTimer::advance(b.host.manual, 1000);
    QCOMPARE(b.fx().SMOKE()[0]->currentFrame(), 1); // no frame moves while paused
    // Minimised and restored (the window system's hide and show): a pause of the board's
    // stays; what played pauses while minimised and plays on after.
    const ucAniGIF *smoke = b.fx().SMOKE()[0];
    for (const int before : {2, 1}) {
        if (smoke->Action() != before)
            b.key(Qt::Key_F3);
        b.board.showMinimized();
        QTRY_COMPARE(smoke->Action(), 2);
        b.board.showNormal();
        QTRY_VERIFY(!b.board.isMinimized());
        QCOMPARE(smoke->Action(), before);
    }
}

void TestEffects::resetBy_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("stop") << "stop";
    QTest::newRow("seek") << "seek";
    QTest::newRow("end of the strat") << "end";
    QTest::newRow("close") << "close";
}

void TestEffects::resetBy()
{
    QFETCH(QString, how);
    Board b;
    b.key(Qt::Key_F2);
    b.ticks(60);
    QCOMPARE(b.live(), allThree);
    if (how == u"stop") {
        b.key(Qt::Key_F2);
    } else if (how == u"seek") {
        b.pb().timeSliderReleased();
        b.board.findChild<QSlider *>(QStringLiteral("Slider2"))->setValue(3);
        QCOMPARE(b.pb().second(), 3);
    } else if (how == u"end") {
        b.ticks(63 * 12);
        QVERIFY(!b.pb().clockEnabled());
    } else {
        b.board.closeBoard(frmMapa::CloseReason::User);
    }
    QCOMPARE(b.live(), QStringList());
    b.fx().ResetAnimations(); // twice changes nothing
    QCOMPARE(b.live(), QStringList());
}

void TestEffects::effectRestsOnFrameOne()
{
    Board b;
    b.key(Qt::Key_F2);
    b.ticks(60);
    // One pass (the explosion's delays: 0 plays at 50 ms, then 100, 100, 200, 200), then it
    // stops on frame 1 and stays shown until a reset; the next burst may take it again.
    ControlTimer::advance(b.host.manual, 50 + 100 + 100 + 200 + 199);
    QCOMPARE(b.fx().HE()[0]->currentFrame(), 5);
    ControlTimer::advance(b.host.manual, 1);
    QCOMPARE(b.fx().HE()[0]->Action(), 0);
    QCOMPARE(b.fx().HE()[0]->currentFrame(), 1);
    QVERIFY(b.fx().HE()[0]->isVisible());
    QVERIFY(b.fx().running()); // flash and smoke still play
}

void TestEffects::busyAnimationOverSeek()
{
    Board b;
    b.key(Qt::Key_F2);
    b.ticks(10);
    AniGif *busy = b.fx().picAniUpdate();
    QList<bool> shownDuringSeek;
    connect(&b.pb(), &PlaybackController::frameAdvanced, this, [&] {
        if (b.pb().seeking())
            shownDuringSeek << (busy->isVisible() && busy->currentFrame() == 1);
    });
    b.pb().timeSliderReleased();
    b.board.findChild<QSlider *>(QStringLiteral("Slider2"))->setValue(2);
    QCOMPARE(shownDuringSeek, QList<bool>{true});
    QVERIFY(!busy->isVisible());
    QVERIFY(!busy->TimerStatus());
    QVERIFY(busy->Picture() > 1);
    QVERIFY(!b.pb().paused()); // the playback runs on from the new second
    b.ticks(63);
    QCOMPARE(b.live(), QStringList()); // the seek started none, and the grenades are gone
}

void TestEffects::markerBalloon()
{
    Board b;
    QGraphicsView *view = b.board.view();
    QVERIFY(QTest::qWaitForWindowExposed(&b.board));
    const QGraphicsPixmapItem *marker = b.board.scene()->imgMarker[1];
    const QPoint over = view->mapFromScene(marker->sceneBoundingRect().center());
    QTest::mouseMove(view->viewport(), over);
    ControlTimer::advance(b.host.manual, 500);
    BalloonWindow *w = b.fx().balloon().window();
    QVERIFY(w);
    QVERIFY(w->isVisible());
    QCOMPARE(w->title(), QStringLiteral("Info"));
    QCOMPARE(w->icon(), 1);
    QVERIFY(w->balloon());
    // Beyond Latin-1: the texts never pass through a narrow code page on their way.
    QCOMPARE(w->tipText(), QStringLiteral("Fuma\u00e7a \u2013 janela \u20ac \u0152"));
    QHelpEvent tip(QEvent::ToolTip, over, view->viewport()->mapToGlobal(over));
    QApplication::sendEvent(view->viewport(), &tip);
    QVERIFY(!QToolTip::isVisible()); // no plain tooltip besides the balloon
    b.board.document().setMarkerText(1, QStringLiteral("edited")); // changes in place
    QCOMPARE(w->tipText(), QStringLiteral("edited"));
    ControlTimer::advance(b.host.manual, 100000); // up for VisibleTime, then gone
    QVERIFY(!w->isVisible());
    QTest::mouseMove(view->viewport(), view->mapFromScene(QPointF(300, 8000))); // bare board
    QVERIFY(!b.fx().balloon().window());
    QTest::mouseMove(view->viewport(), over);
    QVERIFY(b.fx().balloon().window());
    QEvent leave(QEvent::Leave); // the pointer leaves the board, say for the menu bar
    QApplication::sendEvent(view->viewport(), &leave);
    QVERIFY(!b.fx().balloon().window());
    QTest::mouseMove(view->viewport(), view->mapFromScene(QPointF(300, 8000)));
    QTest::mouseMove(view->viewport(), over);
    QVERIFY(b.fx().balloon().window());
    // Over another marker or an object the first marker's balloon stays; only the bare board
    // closes it.
    auto centreOf = [&](const QGraphicsItem *item) { return view->mapFromScene(item->sceneBoundingRect().center()); };
    QTest::mouseMove(view->viewport(), centreOf(b.board.scene()->imgMarker[2]));
    QCOMPARE(b.fx().balloonMarker(), 1);
    QCOMPARE(b.fx().balloon().window()->tipText(), QStringLiteral("edited"));
    QTest::mouseMove(view->viewport(), centreOf(b.board.scene()->imgObj[4]));
    QCOMPARE(b.fx().balloonMarker(), 1);
    QVERIFY(b.fx().balloon().window());
    QTest::mouseMove(view->viewport(), over);
    b.board.document().ApagaMarker(1); // a deleted marker takes its balloon along
    QVERIFY(!b.fx().balloon().window());
}

QTEST_MAIN(TestEffects)
#include "tst_effects.moc"
