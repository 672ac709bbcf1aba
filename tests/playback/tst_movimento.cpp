// The movement object's editing and its frame stepping, against traces worked out by hand
// from the stepping rules, and the icon-picture rule.
#include "playback/IconPicture.h"
#include "playback/clsMovimento.h"

#include <QtTest>

#include <cmath>
#include <limits>

using namespace quorvel;

namespace {

// One path stepped frame by frame the way the clock does it.
struct Walker {
    clsMovimento m;
    PlaybackIcon icon{true, 0, 0, true, plainPicture(0)};
    PlaybackSettings s;
    std::int16_t type = 0;
    std::int32_t frame = 0;
    std::int16_t facing = 0;

    Walker(float left, float top, std::int16_t t = 0) : type(t)
    {
        icon.Left = left;
        icon.Top = top;
    }
    clsMovimento::MoveResult step()
    {
        facing = 0;
        const auto r = m.Move(icon, frame, type, facing, s);
        ++frame;
        m.addFrames(s.frameStep());
        return r;
    }
    // Frames until the path reports complete (or the limit).
    int runToCompletion(int limit = 10000)
    {
        for (int i = 0; i < limit && !m.completed(); ++i)
            step();
        return m.LastFrame();
    }
};

// The whole-twip variant on the same path, for comparison.
struct CalcWalker {
    clsMovimento m;
    PlaybackSettings s;
    std::int32_t left, top, frame = 0;
    CalcWalker(const clsMovimento &from, std::int32_t l, std::int32_t t) : m(from), left(l), top(t) { m.Reseta(); }
    std::optional<bool> step()
    {
        const auto r = m.MoveCalc(top, left, frame++, s);
        m.addFrames(s.frameStep());
        return r;
    }
};

} // namespace

class TestMovimento : public QObject
{
    Q_OBJECT
private slots:
    void editing();
    void deletingSteps_data();
    void deletingSteps();
    void addingRestartsFromStepOne();
    void resetKeepsWaitCounterForgetsPosition();
    void stepLimit();

    void traces_data();
    void traces();
    void waitThenShow();
    void nextStepWaitsAfterFirstStride();
    void levelAndFacingFollowCurrentStep();
    void noSteps();
    void fractionalPositionArrives();
    void moveAndMoveCalcAgree_data();
    void moveAndMoveCalcAgree();

    void grenadeCompletion_data();
    void grenadeCompletion();
    void grenadeCompleteAtFrameZeroBurstsOnce();
    void addingToCompletedGrenadeWalksAgain();
    void stepBeyondPathFails();
    void absurdValuesFailSafely_data();
    void absurdValuesFailSafely();

    void pictureRule_data();
    void pictureRule();
    void pictureSizes_data();
    void pictureSizes();
};

void TestMovimento::editing()
{
    clsMovimento m;
    QCOMPARE(m.Adiciona(10, 100, 200, -1, 8.0f, 3), 1);
    QCOMPARE(m.Adiciona(20, 300, 400, 1, 3.0f, 6), 2);
    QCOMPARE(m.Adiciona(30, 500, 600, 0, 20.0f, 8), 3);
    // Level comes before velocity in Adiciona.
    QCOMPARE(m.Passos()[1], (tpPasso{10, 100, 200, 8.0f, -1, 3}));

    // EditaMov: wait, velocity, then level and facing; the target stays.
    QVERIFY(m.EditaMov(2, 99, 20.0f, -1, 2));
    QCOMPARE(m.Passos()[2], (tpPasso{99, 300, 400, 20.0f, -1, 2}));
    // EditaXY: the reverse.
    QVERIFY(m.EditaXY(3, 7, 9));
    QCOMPARE(m.Passos()[3], (tpPasso{30, 7, 9, 20.0f, 0, 8}));

    // Steps that do not exist are refused and nothing changes.
    const auto before = m.Passos();
    for (std::int16_t bad : {std::int16_t(0), std::int16_t(-1), std::int16_t(4)}) {
        QVERIFY(!m.EditaXY(bad, 1, 1));
        QVERIFY(!m.EditaMov(bad, 1, 1, 1, 1));
    }
    QCOMPARE(m.Passos(), before);
    clsMovimento empty;
    QVERIFY(!empty.EditaXY(1, 1, 1));
}

void TestMovimento::deletingSteps_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<bool>("accepted");
    QTest::addColumn<int>("stepsLeft");
    QTest::newRow("from the first") << 1 << true << 0;
    QTest::newRow("from the last") << 3 << true << 2;
    QTest::newRow("from the middle") << 2 << true << 1;
    QTest::newRow("zero") << 0 << false << 3;
    QTest::newRow("beyond the path") << 4 << false << 3;
    QTest::newRow("negative") << -2 << false << 3;
}

void TestMovimento::deletingSteps()
{
    QFETCH(int, index);
    QFETCH(bool, accepted);
    QFETCH(int, stepsLeft);
    clsMovimento m;
    for (int i = 1; i <= 3; ++i)
        m.Adiciona(i, i * 10, i * 20, 0, 8.0f, std::int16_t(i));
    const auto before = m.Passos();
    QCOMPARE(m.ApagaMovimento(std::int16_t(index)), accepted);
    QCOMPARE(int(m.itM()), stepsLeft);
    if (stepsLeft == 0) {
        QVERIFY(m.Passos().empty());
    } else {
        QCOMPARE(m.Passos().size(), std::size_t(stepsLeft) + 1);
        for (int k = 0; k <= stepsLeft; ++k)
            QCOMPARE(m.Passos()[std::size_t(k)], before[std::size_t(k)]);
    }
}

void TestMovimento::addingRestartsFromStepOne()
{
    Walker w(0, 0);
    w.m.Adiciona(0, 0, 0, 0, 8.0f, 0);
    w.m.Adiciona(0, 0, 0, 0, 8.0f, 0);
    w.m.Adiciona(0, 0, 0, 0, 8.0f, 0);
    w.m.Adiciona(0, 0, 0, 0, 8.0f, 0);
    while (w.m.iPassoAtual() < 3)
        w.step();
    const std::int32_t lFrame = w.m.lFrame;
    QVERIFY(lFrame > 0 || w.frame > 0);
    w.m.Adiciona(5, 1, 1, 0, 3.0f, 0);
    QCOMPARE(w.m.iPassoAtual(), 1);
    QCOMPARE(w.m.lFrame, lFrame);
}

void TestMovimento::resetKeepsWaitCounterForgetsPosition()
{
    Walker w(0, 0);
    w.m.Adiciona(0, 40, 0, 0, 8.0f, 0);
    w.m.Adiciona(500, 80, 0, 0, 8.0f, 0);
    for (int i = 0; i < 40; ++i)
        w.step(); // walks step 1, then waits in step 2
    QCOMPARE(w.m.iPassoAtual(), 2);
    QVERIFY(w.m.FrameCount2() > 0);
    const auto waited = w.m.FrameCount2();
    w.m.Reseta();
    QCOMPARE(w.m.iPassoAtual(), 1);
    QCOMPARE(w.m.lFrame, 0);
    QCOMPARE(w.m.LastFrame(), 0);
    QVERIFY(!w.m.completed());
    QCOMPARE(w.m.FrameCount2(), waited);
    QVERIFY(!w.m.lastPosition());
}

void TestMovimento::stepLimit()
{
    clsMovimento m;
    for (int i = 0; i < std::numeric_limits<std::int16_t>::max(); ++i)
        m.Adiciona(0, i, 0, 0, 8.0f, 0);
    QCOMPARE(m.itM(), std::numeric_limits<std::int16_t>::max());
    QCOMPARE(m.Adiciona(0, 1, 1, 0, 8.0f, 0), 0);
    QCOMPARE(m.itM(), std::numeric_limits<std::int16_t>::max());
}

// Lefts (and Tops) after each frame, from the start of the path until the frame that finds
// the last point reached.
void TestMovimento::traces_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QPoint>("to");
    QTest::addColumn<float>("velocity");
    QTest::addColumn<QList<QPoint>>("after");
    QTest::addColumn<int>("completeFrame");

    QList<QPoint> runner;
    for (int x = 8; x <= 88; x += 8)
        runner << QPoint(x, 0);         // frames 0..10: full strides
    for (int x = 89; x <= 95; ++x)
        runner << QPoint(x, 0);         // frames 11..17: a tenth of the rest, rounded
    runner << QPoint(95, 0);            // frame 18: the rounded stride is 0 (5 -> 0.5 -> 0)
    QTest::newRow("runner at 8") << QPoint(0, 0) << QPoint(100, 0) << 8.0f << runner << 19;

    QList<QPoint> walker;
    for (int c = 2; c <= 20; c += 2)
        walker << QPoint(c, c);         // 2 twips per axis on the diagonal
    for (int c = 21; c <= 25; ++c)
        walker << QPoint(c, c);         // within 15 twips
    walker << QPoint(25, 25);
    QTest::newRow("walker at 3, diagonal") << QPoint(0, 0) << QPoint(30, 30) << 3.0f << walker << 16;

    QList<QPoint> grenade;
    for (int k = 1; k <= 25; ++k)
        grenade << QPoint(12 * k, 16 * k);
    grenade << QPoint(300, 400);
    QTest::newRow("grenade at 20") << QPoint(0, 0) << QPoint(300, 400) << 20.0f << grenade << 26;

    QTest::newRow("fast icon passes the point")
        << QPoint(1000, 0) << QPoint(1016, 0) << 20.0f << (QList<QPoint>{{1020, 0}, {1020, 0}}) << 2;
    QTest::newRow("westward runner")
        << QPoint(100, 50) << QPoint(76, 50) << 8.0f
        << (QList<QPoint>{{92, 50}, {84, 50}, {83, 50}, {82, 50}, {81, 50}, {81, 50}}) << 6;
    QTest::newRow("slow velocity rests at once")
        << QPoint(0, 0) << QPoint(100, 0) << 0.5f << (QList<QPoint>{{0, 0}}) << 1;
}

void TestMovimento::traces()
{
    QFETCH(QPoint, from);
    QFETCH(QPoint, to);
    QFETCH(float, velocity);
    QFETCH(QList<QPoint>, after);
    QFETCH(int, completeFrame);

    Walker w(from.x(), from.y());
    w.m.Adiciona(0, to.x(), to.y(), 0, velocity, 0);
    for (int f = 0; f < after.size(); ++f) {
        w.step();
        QCOMPARE(QPoint(int(w.icon.Left), int(w.icon.Top)), after[f]);
        QVERIFY2(!w.m.completed(), qPrintable(QString::number(f)));
    }
    w.step();
    QVERIFY(w.m.completed());
    QCOMPARE(w.m.LastFrame(), completeFrame);
    QCOMPARE(QPoint(int(w.icon.Left), int(w.icon.Top)), after.last());
    // Complete for good: later frames neither move nor change LastFrame.
    for (int i = 0; i < 5; ++i)
        w.step();
    QCOMPARE(w.m.LastFrame(), completeFrame);
    QCOMPARE(QPoint(int(w.icon.Left), int(w.icon.Top)), after.last());
}

void TestMovimento::waitThenShow()
{
    Walker w(0, 0, Bomb);
    w.icon.Visible = false;
    w.m.Adiciona(126, 100, 0, 0, 8.0f, -1);
    for (int f = 0; f <= 125; ++f) {
        w.step();
        QCOMPARE(w.m.FrameCount2(), f + 1);
        QVERIFY(!w.icon.Visible);
        QCOMPARE(w.icon.Left, 0.0f);
    }
    w.step(); // frame 126
    QVERIFY(w.icon.Visible);
    QCOMPARE(w.icon.Left, 8.0f);
    QCOMPARE(w.m.FrameCount2(), 0);
    w.runToCompletion();
    QVERIFY(w.icon.Visible); // the bomb is no grenade: it stays
}

void TestMovimento::nextStepWaitsAfterFirstStride()
{
    Walker w(0, 0);
    w.m.Adiciona(0, 16, 0, 0, 8.0f, 0);
    w.m.Adiciona(63, 32, 0, 0, 8.0f, 0);
    const QList<float> firstLeg{8, 9, 10, 11, 11};
    for (float x : firstLeg) {
        w.step();
        QCOMPARE(w.icon.Left, x);
    }
    w.step(); // frame 5 finds point 1 reached and strides toward point 2 at once
    QCOMPARE(w.m.iPassoAtual(), 2);
    QCOMPARE(w.icon.Left, 19.0f);
    for (int f = 6; f <= 67; ++f) {
        w.step();
        QCOMPARE(w.icon.Left, 19.0f);
    }
    QCOMPARE(w.m.FrameCount2(), 62);
    w.step(); // frame 68: the wait of 63 has run out
    QCOMPARE(w.icon.Left, 20.0f);
}

void TestMovimento::levelAndFacingFollowCurrentStep()
{
    Walker w(0, 0, 4);
    w.m.Adiciona(0, 16, 0, -1, 8.0f, 3);
    w.m.Adiciona(10, 32, 0, 1, 8.0f, 6);
    auto r = w.step();
    QCOMPARE(r.level, -1);
    QCOMPARE(w.facing, 3);
    while (w.m.iPassoAtual() == 1)
        r = w.step();
    QCOMPARE(r.level, 1); // the frame that moves on reports the new step already
    QCOMPARE(w.facing, 6);
    r = w.step(); // waiting in step 2
    QVERIFY(w.m.FrameCount2() > 0);
    QCOMPARE(r.level, 1);
    QCOMPARE(w.facing, 6);
    w.runToCompletion();
    r = w.step();
    QCOMPARE(r.level, 1);
    QCOMPARE(w.facing, 6);
}

void TestMovimento::noSteps()
{
    Walker w(40, 50);
    std::int16_t facing = 7;
    const PlaybackIcon before = w.icon;
    const auto r = w.m.Move(w.icon, 0, 0, facing, w.s);
    QVERIFY(r.ok);
    QCOMPARE(r.level, 0);
    QCOMPARE(facing, 7);
    QCOMPARE(w.icon, before);
    std::int32_t top = 5, left = 6;
    QCOMPARE(w.m.MoveCalc(top, left, 0, w.s), std::optional<bool>(true));
    QCOMPARE(left, 6);
}

void TestMovimento::fractionalPositionArrives()
{
    // Positions that are not whole twips are compared as the whole twips they are drawn at.
    Walker w(0.4f, 10.6f);
    w.m.Adiciona(0, 100, 10, 0, 8.0f, 0);
    QVERIFY(w.runToCompletion(200) > 0);
    QVERIFY(std::fabs(w.icon.Left - 95.4f) < 0.01f);
    Walker still(100.4f, 10.2f);
    still.m.Adiciona(0, 100, 10, 0, 8.0f, 0);
    QCOMPARE(still.runToCompletion(200), 1);
}

void TestMovimento::moveAndMoveCalcAgree_data()
{
    QTest::addColumn<QPoint>("from");
    QTest::addColumn<QList<tpPasso>>("steps");
    QTest::newRow("runner, three legs") << QPoint(500, 500)
                                        << QList<tpPasso>{{0, 900, 700, 8, 0, 2}, {30, 300, 1200, 8, -1, 5},
                                                          {0, 301, 1190, 8, 1, 0}};
    QTest::newRow("walker with waits") << QPoint(0, 0)
                                       << QList<tpPasso>{{63, 120, -40, 3, 0, 1}, {126, -200, 10, 3, 0, 7}};
    QTest::newRow("grenade throw") << QPoint(2000, 3000) << QList<tpPasso>{{20, 4321, 1234, 20, 0, 0}};
}

void TestMovimento::moveAndMoveCalcAgree()
{
    QFETCH(QPoint, from);
    QFETCH(QList<tpPasso>, steps);
    Walker w(from.x(), from.y());
    for (const auto &p : steps)
        w.m.Adiciona(p.iIni, p.X, p.Y, p.sLvl, p.sVel, p.sDir);
    CalcWalker c(w.m, from.x(), from.y());
    for (int f = 0; f < 3000 && !w.m.completed(); ++f) {
        w.step();
        const auto done = c.step();
        QVERIFY(done.has_value());
        QCOMPARE(QPoint(c.left, c.top), QPoint(int(w.icon.Left), int(w.icon.Top)));
        QCOMPARE(*done, w.m.completed());
    }
    QVERIFY(w.m.completed());
    QCOMPARE(c.m.LastFrame(), w.m.LastFrame());
}

void TestMovimento::grenadeCompletion_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<bool>("effects");
    QTest::addColumn<QPoint>("point");
    QTest::addColumn<bool>("visibleAfter");
    QTest::addColumn<bool>("bursts");
    QTest::addColumn<QPoint>("burstAt");
    QTest::newRow("explosive") << int(HeGrenade) << true << QPoint(1000, 800) << false << true << QPoint(700, 500);
    QTest::newRow("flash") << int(FlashGrenade) << true << QPoint(3000, 2000) << false << true << QPoint(1800, 800);
    QTest::newRow("smoke") << int(SmokeGrenade) << true << QPoint(400, 300) << false << true << QPoint(100, 0);
    QTest::newRow("effects off") << int(HeGrenade) << false << QPoint(1000, 800) << true << false << QPoint();
    QTest::newRow("bomb") << int(Bomb) << true << QPoint(1000, 800) << true << false << QPoint();
    QTest::newRow("team icon") << 3 << true << QPoint(1000, 800) << true << false << QPoint();
}

void TestMovimento::grenadeCompletion()
{
    QFETCH(int, type);
    QFETCH(bool, effects);
    QFETCH(QPoint, point);
    QFETCH(bool, visibleAfter);
    QFETCH(bool, bursts);
    QFETCH(QPoint, burstAt);
    Walker w(point.x() - 200, point.y(), std::int16_t(type));
    w.s.bShowAnimations = effects;
    w.icon.Visible = false; // hidden at the start of Play
    w.m.Adiciona(3, point.x(), point.y(), 0, 20.0f, 0);
    int burstCount = 0;
    for (int f = 0; f < 200; ++f) {
        const auto r = w.step();
        if (f < 3)
            QVERIFY(!w.icon.Visible);
        if (f == 3)
            QVERIFY(w.icon.Visible);
        if (r.burst) {
            ++burstCount;
            QCOMPARE(r.burst->type, type);
            QCOMPARE(QPoint(r.burst->Left, r.burst->Top), burstAt);
            QCOMPARE(w.frame - 1, w.m.LastFrame());
        }
    }
    QVERIFY(w.m.completed());
    QCOMPARE(burstCount, bursts ? 1 : 0);
    QCOMPARE(w.icon.Visible, visibleAfter);
    QCOMPARE(QPoint(int(w.icon.Left), int(w.icon.Top)), point);
}

void TestMovimento::grenadeCompleteAtFrameZeroBurstsOnce()
{
    Walker w(500, 500, HeGrenade);
    w.m.Adiciona(0, 500, 500, 0, 20.0f, 0);
    std::int16_t facing = 0;
    int bursts = 0;
    for (int i = 0; i < 6; ++i) // a board still at frame 0
        bursts += w.m.Move(w.icon, 0, HeGrenade, facing, w.s).burst ? 1 : 0;
    QVERIFY(w.m.completed());
    QCOMPARE(w.m.LastFrame(), 0);
    QCOMPARE(bursts, 1);
    QVERIFY(!w.icon.Visible);
}

void TestMovimento::addingToCompletedGrenadeWalksAgain()
{
    Walker w(0, 0, SmokeGrenade);
    w.m.Adiciona(0, 100, 0, 0, 20.0f, 0);
    w.runToCompletion();
    QVERIFY(!w.icon.Visible);
    w.m.Adiciona(0, 300, 0, 0, 20.0f, 0);
    QVERIFY(!w.m.completed());
    QCOMPARE(w.m.LastFrame(), 0);
    int bursts = 0;
    for (int f = 0; f < 100; ++f) {
        bursts += w.step().burst ? 1 : 0;
        if (!w.m.completed())
            QVERIFY(w.icon.Visible);
    }
    QCOMPARE(bursts, 1);
    QCOMPARE(w.icon.Left, 300.0f);
}

void TestMovimento::stepBeyondPathFails()
{
    Walker w(0, 0);
    for (int i = 1; i <= 3; ++i)
        w.m.Adiciona(0, 50 * i, 0, 0, 8.0f, 0);
    while (w.m.iPassoAtual() < 3)
        w.step();
    w.m.ApagaMovimento(2);
    const PlaybackIcon before = w.icon;
    QVERIFY(!w.step().ok);
    QCOMPARE(w.icon, before);
    std::int32_t top = 0, left = 0;
    QVERIFY(!w.m.MoveCalc(top, left, 0, w.s).has_value());
    w.m.Reseta();
    QVERIFY(w.step().ok);
}

void TestMovimento::absurdValuesFailSafely_data()
{
    QTest::addColumn<float>("left");
    QTest::addColumn<float>("velocity");
    QTest::addColumn<int>("targetX");
    QTest::addColumn<bool>("moveFails");
    QTest::addColumn<bool>("calcFails");
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    QTest::newRow("NaN velocity") << 0.0f << nan << 1000 << true << true;
    QTest::newRow("infinite velocity") << 0.0f << inf << 1000 << true << true;
    QTest::newRow("negative infinite velocity") << 0.0f << -inf << 1000 << true << true;
    QTest::newRow("huge velocity") << 0.0f << 1e30f << 1000 << true << true;
    QTest::newRow("negative velocity walks away") << 0.0f << -8.0f << 1000 << false << false;
    QTest::newRow("target at the limit") << -2.0e9f << 8.0f << std::numeric_limits<std::int32_t>::max() << false
                                         << true;
    QTest::newRow("NaN position") << nan << 8.0f << 1000 << true << false;
    QTest::newRow("huge position") << 3.0e38f << 8.0f << 1000 << true << false;
}

void TestMovimento::absurdValuesFailSafely()
{
    QFETCH(float, left);
    QFETCH(float, velocity);
    QFETCH(int, targetX);
    QFETCH(bool, moveFails);
    QFETCH(bool, calcFails);
    Walker w(left, 0);
    w.m.Adiciona(0, targetX, 0, 0, velocity, 0);
    bool failed = false;
    for (int f = 0; f < 7000; ++f)
        failed = !w.step().ok || failed;
    QCOMPARE(failed, moveFails);
    CalcWalker c(w.m, std::isfinite(left) && std::fabs(left) <= 2.1e9f ? std::int32_t(left) : 0, 0);
    bool calcFailed = false;
    for (int f = 0; f < 7000 && !calcFailed; ++f)
        calcFailed = !c.step().has_value();
    QCOMPARE(calcFailed, calcFails);
}

void TestMovimento::pictureRule_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("facing");
    QTest::addColumn<QString>("set"); // empty: keep the current picture
    QTest::newRow("SE normal") << 4 << 0 << 3 << "picObjSE";
    QTest::newRow("SE small") << 4 << -1 << 3 << "picObjSMSE";
    QTest::newRow("SE large") << 4 << 1 << 3 << "picObjLGSE";
    QTest::newRow("level 2 is large") << 4 << 2 << 0 << "picObjLG";
    QTest::newRow("facing 9 is none") << 7 << 0 << 9 << "picObj";
    QTest::newRow("facing -1 is none") << 7 << 0 << -1 << "picObj";
    QTest::newRow("N small") << 9 << -1 << 8 << "picObjSMN";
    QTest::newRow("flash grenade facing SW") << 11 << 0 << 5 << "";
    QTest::newRow("bomb large") << 13 << 1 << 0 << "";
    QTest::newRow("bomb small") << 13 << -1 << 0 << "picObjSM";
    QTest::newRow("bomb normal") << 13 << 0 << -1 << "picObj";
    QTest::newRow("small set's last element") << 24 << -1 << 0 << "picObjSM";
    QTest::newRow("beyond every set") << 25 << -1 << 0 << "";
    QTest::newRow("deleted object") << -1 << 0 << 0 << "";
}

void TestMovimento::pictureRule()
{
    QFETCH(int, type);
    QFETCH(int, level);
    QFETCH(int, facing);
    QFETCH(QString, set);
    const auto p = iconPictureFor(type, level, facing);
    QCOMPARE(p.has_value(), !set.isEmpty());
    PlaybackIcon icon{true, 0, 0, true, IconPicture{IconSize::Normal, 1, 2}};
    const auto before = icon.picture;
    SetIconPicture(icon, type, level, facing);
    if (set.isEmpty()) {
        QCOMPARE(icon.picture, before);
    } else {
        QCOMPARE(pictureSetName(*p), set);
        QCOMPARE(int(p->element), type);
        QCOMPARE(icon.picture, p);
    }
}

void TestMovimento::pictureSizes_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("level");
    QTest::addColumn<int>("facing");
    QTest::addColumn<QSize>("size");
    QTest::newRow("team icon") << 0 << 0 << 0 << QSize(26, 26);
    QTest::newRow("grenade") << 10 << 0 << 0 << QSize(10, 14);
    QTest::newRow("bomb") << 13 << 0 << 0 << QSize(14, 14);
    QTest::newRow("team icon large") << 5 << 1 << 0 << QSize(14, 14);
    QTest::newRow("team icon small") << 5 << -1 << 0 << QSize(10, 10);
    QTest::newRow("small 22") << 22 << -1 << 0 << QSize(10, 14);
    QTest::newRow("small 17") << 17 << -1 << 0 << QSize(10, 10);
    QTest::newRow("facing set") << 9 << -1 << 4 << QSize(26, 26);
}

void TestMovimento::pictureSizes()
{
    QFETCH(int, type);
    QFETCH(int, level);
    QFETCH(int, facing);
    QFETCH(QSize, size);
    const auto p = iconPictureFor(type, level, facing);
    QVERIFY(p);
    QCOMPARE(iconPictureSize(*p), size);
    QCOMPARE(iconHeightTwips(p), size.height() * 15);
}

QTEST_GUILESS_MAIN(TestMovimento)
#include "tst_movimento.moc"
