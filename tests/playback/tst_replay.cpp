// The seek replays frames with its own lookups (slots collected once, pictures from a table);
// it must leave every icon and every path exactly as the same number of plain frame steps
// does. Boards with every icon type, every level and facing, fractional positions and
// objects walked by two slots at once.
#include "playback/PlaybackModel.h"

#include <QtTest>

#include <random>

using namespace quorvel;

namespace {

PlaybackModel randomBoard(std::uint32_t seed)
{
    std::mt19937 rng(seed);
    std::uniform_int_distribution<int> coord(-200, 9000);
    std::uniform_int_distribution<int> wait(0, 40);
    std::uniform_int_distribution<int> level(-2, 2);
    std::uniform_int_distribution<int> facing(-1, 10);
    std::uniform_int_distribution<int> type(0, 26); // 25, 26: no pictures at all
    std::uniform_real_distribution<float> frac(0.0f, 1.0f);
    const float speeds[] = {8.0f, 3.0f, 20.0f, 0.7f, 1333.3f};

    const int objects = 30;
    std::vector<tpObjeto> table{tpObjeto{}};
    for (int i = 1; i <= objects; ++i)
        table.push_back({std::int16_t(type(rng)), float(coord(rng)) + frac(rng), float(coord(rng)) + frac(rng)});
    PlaybackModel m;
    m.settings.iRoundTimer = 12;
    m.setObjects(table);
    const int slotCount = 40; // more slots than objects: some objects walk two paths
    for (int k = 1; k <= slotCount; ++k) {
        clsMovimento *mv = m.Movimento(k);
        mv->iObj = std::int16_t(1 + (k * 7 + int(seed)) % objects);
        const int steps = 1 + k % 6;
        for (int s = 1; s <= steps; ++s)
            mv->Adiciona(wait(rng), coord(rng), coord(rng), std::int16_t(level(rng)), speeds[(k + s) % 5],
                         std::int16_t(facing(rng)));
    }
    m.setMovementCount(slotCount);
    m.resetToStart();
    return m;
}

void compareBoards(const PlaybackModel &a, const PlaybackModel &b)
{
    QCOMPARE(a.lFrameAtual(), b.lFrameAtual());
    QCOMPARE(a.iSegs(), b.iSegs());
    QCOMPARE(a.iTempoRestante(), b.iTempoRestante());
    for (int i = 1; i <= a.objectCount(); ++i) {
        const PlaybackIcon *x = a.icon(i);
        const PlaybackIcon *y = b.icon(i);
        QCOMPARE(bool(x), bool(y));
        if (x)
            QVERIFY2(*x == *y, qPrintable(QStringLiteral("icon %1").arg(i)));
    }
    for (int k = 1; k <= a.movementCount(); ++k) {
        const clsMovimento *x = a.findMovimento(k);
        const clsMovimento *y = b.findMovimento(k);
        QCOMPARE(x->iPassoAtual(), y->iPassoAtual());
        QCOMPARE(x->lFrame, y->lFrame);
        QCOMPARE(x->FrameCount2(), y->FrameCount2());
        QCOMPARE(x->completed(), y->completed());
        QCOMPARE(x->LastFrame(), y->LastFrame());
        QCOMPARE(x->lastPosition(), y->lastPosition());
    }
}

} // namespace

class TestReplay : public QObject
{
    Q_OBJECT

private slots:
    void seekMatchesFrameSteps_data()
    {
        QTest::addColumn<std::uint32_t>("seed");
        QTest::addColumn<int>("frameStep");
        QTest::addColumn<bool>("continuous");
        for (std::uint32_t seed = 1; seed <= 6; ++seed) {
            QTest::addRow("seed %u", seed) << seed << 1 << false;
            QTest::addRow("seed %u step 3 continuous", seed) << seed << 3 << true;
        }
    }

    void seekMatchesFrameSteps()
    {
        QFETCH(std::uint32_t, seed);
        QFETCH(int, frameStep);
        QFETCH(bool, continuous);
        for (const PlayMode mode : {PlayMode::Stopped, PlayMode::Play}) {
            for (const std::int16_t target : {std::int16_t(1), std::int16_t(5), std::int16_t(12)}) {
                PlaybackModel seek = randomBoard(seed);
                seek.settings.lFrameInc = frameStep;
                seek.settings.bFrameContinuo = continuous;
                PlaybackModel steps = seek;

                const auto r = seek.UpdateAnimationPosition(target, mode);
                QVERIFY(!r.failed);

                steps.resetToStart();
                if (mode != PlayMode::Stopped)
                    steps.hideLateIcons();
                bool roundOver = false;
                while (steps.iSegs() != target) {
                    const auto f = steps.stepFrame();
                    QCOMPARE(f.pass.failedSlots, 0);
                    roundOver = roundOver || f.advance.roundOver;
                }
                QCOMPARE(r.roundOver, roundOver);
                compareBoards(seek, steps);
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestReplay)
#include "tst_replay.moc"
