// The board's playback model: the clock's frames, the strat-length dry run and the seek.
#include "playback/PlaybackModel.h"

#include <QtTest>

#include <limits>

using namespace quorvel;

namespace {

struct Path {
    int object;
    QList<tpPasso> steps;
};

PlaybackModel makeModel(const QList<tpObjeto> &objects, const QList<Path> &paths, std::int16_t round = 105)
{
    PlaybackModel m;
    m.settings.iRoundTimer = round;
    std::vector<tpObjeto> table{tpObjeto{}};
    table.insert(table.end(), objects.begin(), objects.end());
    m.setObjects(table);
    for (int k = 0; k < paths.size(); ++k) {
        clsMovimento *mv = m.Movimento(k + 1);
        mv->iObj = std::int16_t(paths[k].object);
        for (const auto &p : paths[k].steps)
            mv->Adiciona(p.iIni, p.X, p.Y, p.sLvl, p.sVel, p.sDir);
    }
    m.setMovementCount(int(paths.size()));
    m.resetToStart();
    return m;
}

// A path whose only point is where its object already stands: after its wait it records the
// position on one frame and finds the point reached on the next, so it completes at wait + 1.
Path completingAt(int object, const tpObjeto &o, int frame)
{
    return {object, {{frame - 1, int(o.X), int(o.Y), 8, 0, 0}}};
}

// A strat with runners, a walker, grenades, the bomb, waits, facings and levels.
PlaybackModel sampleStrat(std::int16_t round = 105)
{
    const QList<tpObjeto> objects{
        {1, 1000, 1000},   // 1 runner
        {6, 4000, 2500},   // 2 walker
        {10, 1200, 1100},  // 3 explosive grenade
        {11, 3000, 2000},  // 4 flash grenade
        {12, 500, 600},    // 5 smoke grenade
        {13, 2000, 2000},  // 6 bomb
        {3, 7000, 7000},   // 7 icon that never walks
        {-1, 0, 0},        // 8 deleted
    };
    const QList<Path> paths{
        {1, {{0, 3000, 1000, 8, 0, 2}, {63, 3000, 4000, 8, -1, 4}, {20, 1000, 1000, 8, 1, 7}}},
        {2, {{126, 3500, 2000, 3, 0, 7}, {0, 3500, 1500, 3, 2, 8}}},
        {3, {{200, 2500, 2300, 20, 0, 0}}},
        {4, {{300, 3000, 800, 20, 0, 1}}}, // a grenade step with a facing: no such picture
        {5, {{0, 900, 900, 20, 0, 0}}},
        {6, {{500, 2600, 2600, 8, 0, -1}, {0, 2700, 2700, 8, 1, -1}}},
        {0, {}},                           // the slot of a deleted object
    };
    return makeModel(objects, paths, round);
}

// Everything a board mirrors, and the movement objects' playback state.
struct Snapshot {
    std::vector<PlaybackIcon> icons;
    std::vector<std::tuple<int, int, int, int, bool, std::optional<QPoint>>> pathStates;
    std::int32_t frame;
    std::int16_t segs, left;
    bool operator==(const Snapshot &) const = default;
};

Snapshot snapshot(const PlaybackModel &m)
{
    Snapshot s;
    for (int i = 1; i <= m.objectCount(); ++i)
        s.icons.push_back(m.icon(i) ? *m.icon(i) : PlaybackIcon{});
    for (int k = 1; k <= m.movementCount(); ++k) {
        const clsMovimento *mv = m.findMovimento(k);
        s.pathStates.emplace_back(mv->iPassoAtual(), mv->lFrame, mv->FrameCount2(), mv->LastFrame(), mv->completed(),
                             mv->lastPosition());
    }
    s.frame = m.lFrameAtual();
    s.segs = m.iSegs();
    s.left = m.iTempoRestante();
    return s;
}

void playFromStart(PlaybackModel &m, PlayMode mode)
{
    m.resetToStart();
    if (mode == PlayMode::Play)
        m.hideIconsOfHeight(PlaybackModel::kLateIconHeight);
}

} // namespace

class TestPlaybackModel : public QObject
{
    Q_OBJECT
private slots:
    void clockCounters();
    void frameOfEmptyPathShowsPlainPicture();
    void burstsReachTheBoard();
    void playStartHidesGrenadesAndBomb();

    void strategyLength_data();
    void strategyLength();
    void dryRunLeavesPlaybackAlone();
    void dryRunSameOnEveryRun();
    void stopThenReplayWalksFirstLeg();
    void absurdInputsEndInTime_data();
    void absurdInputsEndInTime();

    void seekEqualsPlaying_data();
    void seekEqualsPlaying();
    void seekEdgeCases();
    void seekPastGrenadeBurst();
    void seekStopsAtFailure();
    void labels_data();
    void labels();
};

void TestPlaybackModel::clockCounters()
{
    PlaybackModel m = makeModel({}, {}, 2);
    for (int f = 1; f <= 63; ++f) {
        const auto r = m.stepFrame();
        QCOMPARE(r.advance.secondElapsed, f == 63);
        QVERIFY(!r.advance.roundOver);
    }
    QCOMPARE(m.lFrameAtual(), 63);
    QCOMPARE(m.iSegs(), 1);
    QCOMPARE(m.iTempoRestante(), 1);
    for (int f = 64; f < 126; ++f)
        m.stepFrame();
    QVERIFY(m.stepFrame().advance.roundOver);
    QCOMPARE(m.iTempoRestante(), 0);

    m.settings.iRoundTimer = -7; // a negative round time counts as 0
    m.resetToStart();
    QCOMPARE(m.iTempoRestante(), 0);
    QVERIFY(m.stepFrame().advance.roundOver);
}

void TestPlaybackModel::frameOfEmptyPathShowsPlainPicture()
{
    PlaybackModel m = makeModel({{4, 100, 100}}, {{1, {{0, 500, 100, 8, -1, 3}}}});
    m.stepFrame();
    QCOMPARE(pictureSetName(*m.icon(1)->picture), QStringLiteral("picObjSMSE"));
    m.Movimento(1)->ApagaMovimento(1);
    m.stepFrame();
    QCOMPARE(m.icon(1)->picture, plainPicture(4));
}

void TestPlaybackModel::burstsReachTheBoard()
{
    PlaybackModel m = sampleStrat();
    playFromStart(m, PlayMode::Play);
    QList<GrenadeBurst> bursts;
    for (int f = 0; f < 63 * 30; ++f)
        for (const auto &b : m.stepFrame().pass.bursts)
            bursts << b;
    QCOMPARE(bursts.size(), 3);
    QVERIFY(bursts.contains(GrenadeBurst{FlashGrenade, 1800, -400}));
    QVERIFY(bursts.contains(GrenadeBurst{SmokeGrenade, 600, 600}));
    // The explosive one rests within 5 twips of its point; its effect sits 300 up-left of it.
    const PlaybackIcon &he = *m.icon(3);
    QVERIFY(bursts.contains(GrenadeBurst{HeGrenade, int(he.Left) - 300, int(he.Top) - 300}));
    QVERIFY(std::abs(he.Left - 2500) <= 5 && std::abs(he.Top - 2300) <= 5);
    for (int g : {3, 4, 5})
        QVERIFY(!m.icon(g)->Visible);
    QVERIFY(m.icon(6)->Visible); // the bomb stays
    // The flash grenade's step faces NE: no such picture, it kept its plain one.
    QCOMPARE(m.icon(4)->picture, plainPicture(FlashGrenade));
    QVERIFY(effectMayStart(PlayMode::Play, 1, false, false));
    QVERIFY(!effectMayStart(PlayMode::PlayEdit, 1, false, false));
    QVERIFY(!effectMayStart(PlayMode::Play, 2, false, false));
    QVERIFY(!effectMayStart(PlayMode::Play, 1, true, false));
    QVERIFY(!effectMayStart(PlayMode::Play, 1, false, true));
}

void TestPlaybackModel::playStartHidesGrenadesAndBomb()
{
    PlaybackModel m = sampleStrat();
    playFromStart(m, PlayMode::Play);
    for (int i = 1; i <= 7; ++i)
        QCOMPARE(m.icon(i)->Visible, !(i >= 3 && i <= 6));
    QVERIFY(!m.icon(8));
    // The smoke grenade's path starts at once; the others wait.
    m.stepFrame();
    QVERIFY(m.icon(5)->Visible);
    QVERIFY(!m.icon(3)->Visible);
}

void TestPlaybackModel::strategyLength_data()
{
    QTest::addColumn<int>("round");
    QTest::addColumn<QList<int>>("completeFrames"); // each path completes on that frame
    QTest::addColumn<int>("seconds");
    QTest::addColumn<bool>("longer");
    QTest::newRow("no movements") << 105 << QList<int>{} << 1 << false;
    QTest::newRow("complete in frame 19") << 105 << QList<int>{19} << 1 << false;
    QTest::newRow("complete in frame 62") << 105 << QList<int>{62} << 2 << false;
    QTest::newRow("complete in frame 63") << 105 << QList<int>{63} << 2 << false;
    QTest::newRow("last path decides") << 105 << QList<int>{10, 200, 64} << 4 << false;
    QTest::newRow("fits exactly in the round") << 105 << QList<int>{6614} << 105 << false;
    QTest::newRow("one frame too long") << 105 << QList<int>{6615} << 105 << true;
    QTest::newRow("far too long") << 105 << QList<int>{20000} << 105 << true;
    QTest::newRow("one-second round, fits") << 1 << QList<int>{62} << 1 << false;
    QTest::newRow("one-second round, too long") << 1 << QList<int>{63} << 1 << true;
    QTest::newRow("round 0, walking") << 0 << QList<int>{5} << 0 << true;
    QTest::newRow("round 0, nothing walks") << 0 << QList<int>{} << 0 << false;
    QTest::newRow("negative round") << -3 << QList<int>{5} << 0 << true;
}

void TestPlaybackModel::strategyLength()
{
    QFETCH(int, round);
    QFETCH(QList<int>, completeFrames);
    QFETCH(int, seconds);
    QFETCH(bool, longer);
    QList<tpObjeto> objects;
    QList<Path> paths;
    for (int i = 0; i < completeFrames.size(); ++i) {
        objects << tpObjeto{1, float(100 * i), 50};
        paths << completingAt(i + 1, objects.last(), completeFrames[i]);
    }
    const PlaybackModel m = makeModel(objects, paths, std::int16_t(round));
    const auto r = m.CalculaTempo();
    QCOMPARE(int(r.seconds), seconds);
    QCOMPARE(r.longerThanRound, longer);
    QVERIFY(!r.failed);
}

void TestPlaybackModel::dryRunLeavesPlaybackAlone()
{
    PlaybackModel m = sampleStrat();
    playFromStart(m, PlayMode::Play);
    for (int f = 0; f < 700; ++f)
        m.stepFrame();
    const Snapshot before = snapshot(m);
    const auto length = m.CalculaTempo();
    QVERIFY(!length.failed);
    QCOMPARE(snapshot(m), before);
}

void TestPlaybackModel::dryRunSameOnEveryRun()
{
    // The runner's path ends where the runner started.
    PlaybackModel m = sampleStrat();
    const auto first = m.CalculaTempo();
    QVERIFY(!first.failed);
    QVERIFY(first.seconds > 10 && first.seconds < 105);
    playFromStart(m, PlayMode::Play);
    for (int f = 0; f < 63 * first.seconds; ++f)
        m.stepFrame();
    QVERIFY(m.findMovimento(1)->completed());
    QCOMPARE(m.CalculaTempo().seconds, first.seconds);
    QCOMPARE(m.CalculaTempo().seconds, first.seconds);
}

void TestPlaybackModel::stopThenReplayWalksFirstLeg()
{
    // Strides of 20 land on the points exactly, so the path ends on the object's start.
    PlaybackModel m = makeModel({{1, 1000, 1000}}, {{1, {{0, 1100, 1000, 20, 0, 0}, {0, 1000, 1000, 20, 0, 0}}}});
    int frames = 0;
    while (!m.findMovimento(1)->completed() && frames < 1000) {
        m.stepFrame();
        ++frames;
    }
    QCOMPARE(m.icon(1)->Left, 1000.0f); // back where it started
    m.resetToStart();                    // stop
    m.stepFrame();
    QCOMPARE(m.findMovimento(1)->iPassoAtual(), 1);
    QCOMPARE(m.icon(1)->Left, 1020.0f);
}

void TestPlaybackModel::absurdInputsEndInTime_data()
{
    QTest::addColumn<float>("velocity");
    QTest::addColumn<float>("objectX");
    QTest::addColumn<int>("objectRef");
    QTest::addColumn<bool>("failed");
    QTest::addColumn<int>("seconds");
    QTest::addColumn<bool>("seekFails");
    QTest::newRow("NaN velocity") << std::numeric_limits<float>::quiet_NaN() << 0.0f << 1 << true << 105 << true;
    QTest::newRow("huge velocity") << 1e30f << 0.0f << 1 << true << 105 << true;
    QTest::newRow("negative velocity") << -8.0f << 0.0f << 1 << false << 105 << false;
    QTest::newRow("object beyond the table") << 8.0f << 0.0f << 50 << true << 105 << true;
    // The dry run's copy of a position that is no number of twips is 0: 5000 twips at 8.
    QTest::newRow("infinite position") << 8.0f << std::numeric_limits<float>::infinity() << 1 << false << 10
                                       << true;
}

void TestPlaybackModel::absurdInputsEndInTime()
{
    QFETCH(float, velocity);
    QFETCH(float, objectX);
    QFETCH(int, objectRef);
    QFETCH(bool, failed);
    QFETCH(int, seconds);
    QFETCH(bool, seekFails);
    PlaybackModel m = makeModel({{1, objectX, 0}}, {{objectRef, {{0, 5000, 0, velocity, 0, 0}}}});
    const auto r = m.CalculaTempo();
    QCOMPARE(r.failed, failed);
    QCOMPARE(int(r.seconds), seconds);
    playFromStart(m, PlayMode::Play);
    for (int f = 0; f < 63 * 106; ++f)
        m.stepFrame();
    QCOMPARE(m.iSegs(), 106);
    QCOMPARE(m.UpdateAnimationPosition(3, PlayMode::Play).failed, seekFails);
}

void TestPlaybackModel::seekEqualsPlaying_data()
{
    QTest::addColumn<int>("mode");
    QTest::newRow("play") << int(PlayMode::Play);
    QTest::newRow("stopped") << int(PlayMode::Stopped);
}

void TestPlaybackModel::seekEqualsPlaying()
{
    QFETCH(int, mode);
    const auto playMode = PlayMode(mode);
    PlaybackModel played = sampleStrat(40);
    playFromStart(played, playMode);
    const PlaybackModel start = played;
    for (std::int16_t t = 0; t <= 41; ++t) {
        if (t > 0)
            for (int f = 0; f < 63; ++f)
                played.stepFrame();
        PlaybackModel seeker = start;
        const auto r = seeker.UpdateAnimationPosition(t, playMode);
        QVERIFY(!r.failed);
        QCOMPARE(r.roundOver, t >= 40);
        QVERIFY2(snapshot(seeker) == snapshot(played), qPrintable(QStringLiteral("second %1").arg(t)));
    }
}

void TestPlaybackModel::seekEdgeCases()
{
    PlaybackModel m = sampleStrat();
    QVERIFY(!m.UpdateAnimationPosition(20, PlayMode::Play).failed);
    QCOMPARE(m.lFrameAtual(), 1260);
    QCOMPARE(formatElapsed(m.iSegs()), QStringLiteral("00:20"));
    QCOMPARE(formatRoundTime(m.iTempoRestante()), QStringLiteral("1:25"));
    const Snapshot at20 = snapshot(m);
    m.UpdateAnimationPosition(60, PlayMode::Play);
    m.UpdateAnimationPosition(20, PlayMode::Play); // backwards gives the same
    QCOMPARE(snapshot(m), at20);

    // Second 0: no frame, everything back at its stored place with its plain picture.
    const auto r = m.UpdateAnimationPosition(0, PlayMode::PlayEdit);
    QVERIFY(!r.roundOver);
    QCOMPARE(m.lFrameAtual(), 0);
    QCOMPARE(formatRoundTime(m.iTempoRestante()), QStringLiteral("1:45"));
    for (int i = 1; i <= 7; ++i) {
        const tpObjeto &o = *m.object(i);
        QCOMPARE(m.icon(i)->Left, o.X);
        QCOMPARE(m.icon(i)->Top, o.Y);
        QCOMPARE(m.icon(i)->picture, plainPicture(o.Tipo));
        QCOMPARE(m.icon(i)->Visible, !isSmallObjectType(o.Tipo));
    }
    m.UpdateAnimationPosition(0, PlayMode::Stopped);
    for (int i = 1; i <= 7; ++i)
        QVERIFY(m.icon(i)->Visible);

    // The second at which the round time runs out.
    const auto end = m.UpdateAnimationPosition(105, PlayMode::Play);
    QVERIFY(end.roundOver);
    QCOMPARE(formatRoundTime(m.iTempoRestante()), QStringLiteral("0:00"));
    // A negative target is second 0.
    QVERIFY(!m.UpdateAnimationPosition(-4, PlayMode::Play).failed);
    QCOMPARE(m.lFrameAtual(), 0);
}

void TestPlaybackModel::seekPastGrenadeBurst()
{
    PlaybackModel m = sampleStrat();
    // The flash grenade's step faces NE: the picture is kept and the seek goes on.
    const auto r = m.UpdateAnimationPosition(30, PlayMode::Play);
    QVERIFY(!r.failed);
    QCOMPARE(m.iSegs(), 30);
    QVERIFY(m.findMovimento(4)->completed());
    QVERIFY(!m.icon(4)->Visible);
    QCOMPARE(m.icon(4)->picture, plainPicture(FlashGrenade));
    // The bomb on its large-level step keeps its plain picture; the walker turned large.
    QVERIFY(m.findMovimento(6)->completed());
    QCOMPARE(m.icon(6)->picture, plainPicture(Bomb));
    QCOMPARE(pictureSetName(*m.icon(2)->picture), QStringLiteral("picObjLGN"));
}

void TestPlaybackModel::seekStopsAtFailure()
{
    // A path that cannot be stepped ends the seek where it stands; the clock just skips it.
    PlaybackModel m = makeModel({{1, 0, 0}, {2, 0, 0}},
                                {{1, {{0, 400, 0, 20, 0, 0}}}, {2, {{100, 400, 0, 1e30f, 0, 0}}}});
    const auto r = m.UpdateAnimationPosition(5, PlayMode::Play);
    QVERIFY(r.failed);
    QCOMPARE(m.lFrameAtual(), 100);
    QCOMPARE(m.iSegs(), 1);
    QCOMPARE(m.icon(1)->Left, 400.0f);
    m.resetToStart();
    int failures = 0;
    for (int f = 0; f < 200; ++f)
        failures += m.stepFrame().pass.failedSlots;
    QCOMPARE(failures, 100);
    QCOMPARE(m.icon(2)->Left, 0.0f);
}

void TestPlaybackModel::labels_data()
{
    QTest::addColumn<int>("seconds");
    QTest::addColumn<QString>("elapsed");
    QTest::addColumn<QString>("round");
    QTest::newRow("0") << 0 << "00:00" << "0:00";
    QTest::newRow("59") << 59 << "00:59" << "0:59";
    QTest::newRow("75") << 75 << "01:15" << "1:15";
    QTest::newRow("105") << 105 << "01:45" << "1:45";
    QTest::newRow("999") << 999 << "16:39" << "16:39";
}

void TestPlaybackModel::labels()
{
    QFETCH(int, seconds);
    QFETCH(QString, elapsed);
    QFETCH(QString, round);
    QCOMPARE(formatElapsed(seconds), elapsed);
    QCOMPARE(formatRoundTime(seconds), round);
}

QTEST_GUILESS_MAIN(TestPlaybackModel)
#include "tst_playbackmodel.moc"
