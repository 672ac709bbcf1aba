// One stride of a path, on whole twips (MoveCalc) and on the board icon (Move), against the
// stepping rule written out in extended precision: squares and scaling in long double, each
// result stored as a float. The stepping code must give the very same twips, including the
// cases where plain double arithmetic would round a scaled stride the other way.
#include "playback/clsMovimento.h"

#include <QtTest>

#include <cfloat>
#include <cmath>
#include <random>

using namespace quorvel;

namespace {

std::optional<float> single(long double v)
{
    if (!(v >= -static_cast<long double>(FLT_MAX) && v <= static_cast<long double>(FLT_MAX)))
        return std::nullopt;
    return static_cast<float>(v);
}

// The stride (rounded, half to even) taken from an offset of (offX, offY) twips; none when a
// value is not a finite float. On whole twips an offset beyond 32 bits fails before this.
std::optional<std::pair<long long, long long>> referenceStride(double offX, double offY, float vel, std::int32_t inc)
{
    auto dx = single(offX * 0.1);
    auto dy = single(offY * 0.1);
    if (!dx || !dy)
        return std::nullopt;
    const long double sum = static_cast<long double>(*dx) * *dx + static_cast<long double>(*dy) * *dy;
    const auto d = single(std::sqrt(static_cast<double>(sum)));
    if (!d)
        return std::nullopt;
    if (*d > 1.5f) {
        const long double scale = static_cast<long double>(vel) * inc / *d;
        dx = single(scale * *dx);
        dy = single(scale * *dy);
        if (!dx || !dy)
            return std::nullopt;
    }
    if (!(std::fabs(*dx) < 2147483647.5f && std::fabs(*dy) < 2147483647.5f))
        return std::nullopt;
    return std::make_pair(std::llrint(double(*dx)), std::llrint(double(*dy)));
}

struct Case {
    std::int32_t left, top, x, y;
    float vel;
    std::int32_t inc;
};

} // namespace

class TestStride : public QObject
{
    Q_OBJECT

private:
    void check(const Case &c)
    {
        PlaybackSettings s;
        s.lFrameInc = c.inc;
        const double offX = double(c.left) - c.x, offY = double(c.top) - c.y;
        const bool offsetFits = offX >= INT32_MIN && offX <= INT32_MAX && offY >= INT32_MIN && offY <= INT32_MAX;
        auto want = referenceStride(offX, offY, c.vel, c.inc);
        if (!offsetFits)
            want.reset();

        clsMovimento calc;
        calc.Adiciona(0, c.x, c.y, 0, c.vel, 0);
        std::int32_t left = c.left, top = c.top;
        const auto r = calc.MoveCalc(top, left, 0, s);
        // The portable arithmetic of machines without SSE2 gives the same stride.
        clsMovimento portable;
        portable.Adiciona(0, c.x, c.y, 0, c.vel, 0);
        std::int32_t pLeft = c.left, pTop = c.top;
        const auto pr = portable.MoveCalcPortable(pTop, pLeft, 0, s);
        const QByteArray what = QByteArray::number(c.left) + ',' + QByteArray::number(c.top) + " to " +
                                QByteArray::number(c.x) + ',' + QByteArray::number(c.y) + " vel " +
                                QByteArray::number(double(c.vel), 'a') + " inc " + QByteArray::number(c.inc);
        QVERIFY2(pr == r && pLeft == left && pTop == top, what);
        if (!want) {
            QVERIFY2(!r.has_value(), what);
            return;
        }
        const long long wl = c.left - want->first, wt = c.top - want->second;
        if (wl < INT32_MIN || wl > INT32_MAX || wt < INT32_MIN || wt > INT32_MAX) {
            QVERIFY2(!r.has_value(), what);
            return;
        }
        QVERIFY2(r.has_value(), what);
        QCOMPARE(left, std::int32_t(wl));
        QCOMPARE(top, std::int32_t(wt));

        // The board icon takes the same stride from the same place.
        clsMovimento move;
        move.Adiciona(0, c.x, c.y, 0, c.vel, 0);
        PlaybackIcon icon{true, float(c.left), float(c.top), true, std::nullopt};
        if (double(icon.Left) != c.left || double(icon.Top) != c.top)
            return; // not a float position
        std::int16_t facing = 0;
        const auto mr = move.Move(icon, 0, 0, facing, s);
        QVERIFY2(mr.ok, what);
        QCOMPARE(icon.Left, static_cast<float>(double(c.left) - want->first));
        QCOMPARE(icon.Top, static_cast<float>(double(c.top) - want->second));
    }

private slots:
    // Strides whose scaled length lies next to a float rounding boundary: plain double
    // arithmetic rounds these the other way.
    void nearRoundingBoundaries()
    {
        const Case cases[] = {
            {0, 0, 0, 14312, 0x1.20b2f4p+21f, 40}, {0, 0, 0, -8739, 0x1.16605cp+1f, 56},
            {0, 0, 5886, 0, 0x1.4ecf34p+6f, 40},   {0, 0, 7404, 0, 0x1.068f28p+17f, 60},
            {8051, 0, 0, 0, 0x1.85bbbp+13f, 38},   {14002, 0, 0, 0, 0x1.32336p+7f, 39},
            {6751, 0, 0, 0, 0x1.34c0bp+16f, 23},   {0, 0, 0, 12340, 0x1.8bdf78p+11f, 9},
            {0, 3982, 0, 0, 0x1.73e64cp+10f, 40},  {0, 0, 0, 13394, 0x1.10e7ap+11f, 51},
            {0, 0, 3437, 0, 0x1.f8846cp+2f, 12},   {50, 0, 0, 0, 1.0f + 0x1p-23f, 3},
        };
        for (const Case &c : cases)
            check(c);
    }

    void randomStrides()
    {
        std::mt19937_64 rng(20240611);
        for (int i = 0; i < 200000; ++i) {
            Case c;
            const bool wide = i % 4 == 0;
            const std::int64_t span = wide ? 2000000000 : 20000;
            auto coord = [&] { return std::int32_t(std::int64_t(rng() % std::uint64_t(2 * span + 1)) - span); };
            c.left = coord();
            c.top = coord();
            c.x = coord();
            c.y = coord();
            if (i % 3 == 0)
                c.y = c.top; // along an axis
            c.vel = (i % 2) ? float(std::ldexp(double(rng() % (1u << 24)), -int(rng() % 24)))
                            : float(1 + rng() % 40);
            c.inc = 1 + int(rng() % 64);
            check(c);
            if (QTest::currentTestFailed())
                return;
        }
    }
};

QTEST_GUILESS_MAIN(TestStride)
#include "tst_stride.moc"
