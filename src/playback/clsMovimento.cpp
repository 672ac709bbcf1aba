#include "playback/clsMovimento.h"

#include "common/Rounding.h"

#include <cfloat>
#include <cmath>
#include <limits>
#include <type_traits>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace quorvel {

namespace {
// A value stored as a 32-bit float; none when it is not finite or does not fit.
template <typename Real>
inline std::optional<float> toSingle(Real v)
{
    if (!(v >= -Real(FLT_MAX) && v <= Real(FLT_MAX)))
        return std::nullopt; // also NaN; narrowing such a value would be undefined
    return static_cast<float>(v);
}

// Nearest whole number, halves to even, range-checked. The stepping runs for every path on
// every frame of a dry run or seek, so it converts in the default rounding mode directly.
inline std::optional<std::int32_t> roundToInt32(double v)
{
    if (!(v > -2147483648.5 && v < 2147483647.5))
        return std::nullopt; // also NaN
#if defined(__SSE2__)
    return _mm_cvtsd_si32(_mm_set_sd(v)); // to nearest, halves to even
#else
    const double r = std::nearbyint(v);
    if (r < -2147483648.0 || r > 2147483647.0)
        return std::nullopt;
    return static_cast<std::int32_t>(r);
#endif
}

// The stride of one frame: a distance (dx, dy) longer than 1.5 twips is cut down to
// vel * frameStep, in its own direction. false when a value is not a finite float.
//
// The reference arithmetic keeps the sum of squares and the scaling in extended precision
// and stores each result as a float. That is the slow part of every dry run and seek, so
// strideLength() works in double and keeps a result only when it is certainly the float
// the extended arithmetic gives; otherwise (rarely) it runs the extended arithmetic.
bool strideExtended(float &dx, float &dy, float vel, std::int32_t frameStep)
{
    const long double sum = static_cast<long double>(dx) * dx + static_cast<long double>(dy) * dy;
    const auto d = toSingle(std::sqrt(static_cast<double>(sum)));
    if (!d)
        return false;
    if (*d > 1.5f) {
        const long double scale = static_cast<long double>(vel) * frameStep / *d;
        const auto sx = toSingle(scale * dx);
        const auto sy = toSingle(scale * dy);
        if (!sx || !sy)
            return false;
        dx = *sx;
        dy = *sy;
    }
    return true;
}

// v stored as a float when every number within a relative 2^-45 of v gives that same float
// (and fits); false otherwise, NaN included.
//
// Why this suffices: the squares of floats are exact in double, so the double sum of squares
// and its square root lie within 2^-51 (relative) of the exact values, as do the extended
// sum converted to double and its root. The scaling takes at most three roundings of 2^-53
// in double (vel * frameStep may need 55 bits) and two of 2^-64 in extended precision, all
// results being normal numbers (floats in, magnitudes between 2^-430 and 2^300). Both
// results therefore lie well inside the window around v, and rounding to float is monotonic.
inline bool certainSingle(double v, float &out)
{
    const double a = std::fabs(v);
    if (!(a <= double(FLT_MAX) * (1.0 - 0x1p-40)))
        return false;
    const double margin = a * 0x1p-45;
    const float lo = static_cast<float>(v - margin);
    const float hi = static_cast<float>(v + margin);
    if (lo != hi)
        return false;
    out = lo; // keeps the sign of a zero v
    return true;
}

inline bool strideLength(float &dx, float &dy, float vel, std::int32_t frameStep)
{
    const double sum = double(dx) * dx + double(dy) * dy;
    float d;
    if (!certainSingle(std::sqrt(sum), d))
        return strideExtended(dx, dy, vel, frameStep);
    if (d > 1.5f) {
        const double scale = double(vel) * frameStep / d;
        float sx, sy;
        if (!certainSingle(scale * dx, sx) || !certainSingle(scale * dy, sy))
            return strideExtended(dx, dy, vel, frameStep);
        dx = sx;
        dy = sy;
    }
    return true;
}

bool isGrenade(int type) { return type == HeGrenade || type == FlashGrenade || type == SmokeGrenade; }
} // namespace

std::int16_t clsMovimento::Adiciona(std::int32_t iIni, std::int32_t X, std::int32_t Y, std::int16_t sLvl, float sVel,
                                    std::int16_t sDir)
{
    if (m_itM == std::numeric_limits<std::int16_t>::max())
        return 0;
    if (m_Passos.empty())
        m_Passos.resize(1);
    tpPasso p;
    p.iIni = iIni;
    p.X = X;
    p.Y = Y;
    p.sVel = sVel;
    p.sLvl = sLvl;
    p.sDir = sDir;
    m_Passos.push_back(p);
    ++m_itM;
    m_iPassoAtual = 1;
    // A path that grows is not complete any more, so a grenade walks on and bursts again.
    m_completed = false;
    m_LastFrame = 0;
    return m_itM;
}

bool clsMovimento::ApagaMovimento(std::int16_t Index)
{
    if (Index < 1 || Index > m_itM)
        return false;
    if (Index == 1) {
        m_itM = 0;
        m_Passos.clear();
    } else {
        m_itM = std::int16_t(Index - 1);
        m_Passos.resize(std::size_t(Index));
    }
    return true;
}

bool clsMovimento::EditaXY(std::int16_t Index, std::int32_t X, std::int32_t Y)
{
    if (Index < 1 || Index > m_itM)
        return false;
    m_Passos[std::size_t(Index)].X = X;
    m_Passos[std::size_t(Index)].Y = Y;
    return true;
}

bool clsMovimento::EditaMov(std::int16_t Index, std::int32_t iIni, float sVel, std::int16_t sLvl, std::int16_t sDir)
{
    if (Index < 1 || Index > m_itM)
        return false;
    tpPasso &p = m_Passos[std::size_t(Index)];
    p.iIni = iIni;
    p.sVel = sVel;
    p.sLvl = sLvl;
    p.sDir = sDir;
    return true;
}

void clsMovimento::Reseta()
{
    m_iPassoAtual = 1;
    lFrame = 0;
    m_LastFrame = 0;
    m_completed = false;
    // Forget where the last run left the icon: otherwise a path that ended on its object's
    // start would count its first point as reached at once and skip its first leg.
    m_hasUlt = false;
}

std::optional<QPoint> clsMovimento::lastPosition() const
{
    if (!m_hasUlt)
        return std::nullopt;
    return QPoint(m_lUltLeft, m_lUltTop);
}

// Arrival and one stride, worked out on locals so that a failing frame changes nothing.
// Positions are compared as the whole twips the icon is drawn at. Whole-twip positions
// (the dry run) stay in integers: their differences are exact, as they were in double.
template <typename Pos>
inline clsMovimento::Walk clsMovimento::walk(Pos &left, Pos &top, const PlaybackSettings &settings)
{
    std::int32_t wl, wt;
    if constexpr (std::is_integral_v<Pos>) {
        wl = left;
        wt = top;
    } else {
        const auto l = roundToInt32(left);
        const auto t = roundToInt32(top);
        if (!l || !t)
            return Walk::Failed;
        wl = *l;
        wt = *t;
    }

    std::int16_t passo = m_iPassoAtual;
    std::int32_t frame = lFrame;
    if (m_hasUlt && wl == m_lUltLeft && wt == m_lUltTop) {
        if (passo >= m_itM)
            return Walk::Complete;
        ++passo;
        if (!settings.bFrameContinuo)
            frame = 0;
    }

    const tpPasso &s = m_Passos[std::size_t(passo)];
    float dx, dy;
    if constexpr (std::is_integral_v<Pos>) {
        constexpr std::int64_t lo = std::numeric_limits<std::int32_t>::min();
        constexpr std::int64_t hi = std::numeric_limits<std::int32_t>::max();
        const std::int64_t offX = std::int64_t(left) - s.X;
        const std::int64_t offY = std::int64_t(top) - s.Y;
        if (offX < lo || offX > hi || offY < lo || offY > hi)
            return Walk::Failed;
        // A tenth of a 32-bit integer always fits a float.
        dx = static_cast<float>(double(offX) * 0.1);
        dy = static_cast<float>(double(offY) * 0.1);
    } else {
        const auto fx = toSingle((double(left) - double(s.X)) * 0.1);
        const auto fy = toSingle((double(top) - double(s.Y)) * 0.1);
        if (!fx || !fy)
            return Walk::Failed;
        dx = *fx;
        dy = *fy;
    }
    if (!strideLength(dx, dy, s.sVel, settings.frameStep()))
        return Walk::Failed;
    const auto rx = roundToInt32(dx);
    const auto ry = roundToInt32(dy);
    if (!rx || !ry)
        return Walk::Failed;

    Pos newLeft, newTop;
    if constexpr (std::is_integral_v<Pos>) {
        constexpr std::int64_t lo = std::numeric_limits<std::int32_t>::min();
        constexpr std::int64_t hi = std::numeric_limits<std::int32_t>::max();
        const std::int64_t l = std::int64_t(left) - *rx;
        const std::int64_t t = std::int64_t(top) - *ry;
        if (l < lo || l > hi || t < lo || t > hi)
            return Walk::Failed;
        newLeft = static_cast<std::int32_t>(l);
        newTop = static_cast<std::int32_t>(t);
    } else {
        const auto l = toSingle(double(left) - *rx);
        const auto t = toSingle(double(top) - *ry);
        if (!l || !t)
            return Walk::Failed;
        newLeft = *l;
        newTop = *t;
    }

    m_iPassoAtual = passo;
    lFrame = frame;
    m_hasUlt = true;
    m_lUltLeft = wl;
    m_lUltTop = wt;
    left = newLeft;
    top = newTop;
    return Walk::Strode;
}

void clsMovimento::markComplete(std::int32_t xFrame)
{
    // A flag of its own: a path complete at frame 0 must not look unfinished.
    if (!m_completed) {
        m_completed = true;
        m_LastFrame = xFrame;
    }
}

clsMovimento::MoveResult clsMovimento::Move(PlaybackIcon &tObj, std::int32_t xFrame, std::int16_t objectIndex,
                                            std::int16_t &xDirection, const PlaybackSettings &settings)
{
    MoveResult r;
    if (m_itM == 0)
        return r;
    if (m_iPassoAtual < 1 || m_iPassoAtual > m_itM) {
        r.ok = false;
        return r;
    }
    const tpPasso &waiting = m_Passos[std::size_t(m_iPassoAtual)];
    if (waiting.iIni > 0 && lFrame < waiting.iIni) {
        if (m_FrameCount2 == std::numeric_limits<std::int32_t>::max()) {
            r.ok = false;
            return r;
        }
        ++m_FrameCount2;
        xDirection = waiting.sDir;
        r.level = waiting.sLvl;
        return r;
    }

    const bool grenade = isGrenade(objectIndex);
    // A grenade whose path is complete stays hidden; anything else shows when it walks.
    const bool visible = tObj.Visible || !(grenade && m_completed);
    const Walk w = walk(tObj.Left, tObj.Top, settings);
    if (w == Walk::Failed) {
        r.ok = false;
        return r;
    }

    if (w == Walk::Complete) {
        std::optional<GrenadeBurst> burst;
        if (settings.bShowAnimations && grenade && visible) {
            const int offset = objectIndex == FlashGrenade ? 1200 : 300;
            const auto x = toInt32(double(tObj.Left) - offset);
            const auto y = toInt32(double(tObj.Top) - offset);
            if (!x || !y) {
                r.ok = false;
                return r;
            }
            burst = GrenadeBurst{objectIndex, *x, *y};
        }
        m_FrameCount2 = 0;
        tObj.Visible = burst ? false : visible;
        r.burst = burst;
        markComplete(xFrame);
    } else {
        m_FrameCount2 = 0;
        tObj.Visible = visible;
    }
    const tpPasso &s = m_Passos[std::size_t(m_iPassoAtual)];
    xDirection = s.sDir;
    r.level = s.sLvl;
    return r;
}

std::optional<bool> clsMovimento::MoveCalc(std::int32_t &tObjTop, std::int32_t &tObjLeft, std::int32_t xFrame,
                                           const PlaybackSettings &settings)
{
    if (m_itM == 0)
        return true;
    if (m_iPassoAtual < 1 || m_iPassoAtual > m_itM)
        return std::nullopt;
    const tpPasso &waiting = m_Passos[std::size_t(m_iPassoAtual)];
    if (waiting.iIni > 0 && lFrame < waiting.iIni) {
        if (m_FrameCount2 == std::numeric_limits<std::int32_t>::max())
            return std::nullopt;
        ++m_FrameCount2;
        return false;
    }
    const Walk w = walk(tObjLeft, tObjTop, settings);
    if (w == Walk::Failed)
        return std::nullopt;
    m_FrameCount2 = 0;
    if (w == Walk::Complete) {
        markComplete(xFrame);
        return true;
    }
    return false;
}

} // namespace quorvel
