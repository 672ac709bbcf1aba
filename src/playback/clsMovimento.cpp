#include "playback/clsMovimento.h"

#include "common/Rounding.h"

#include <cfloat>
#include <cmath>
#include <limits>

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

bool isGrenade(int type) { return type == HeGrenade || type == FlashGrenade || type == SmokeGrenade; }

std::optional<std::int32_t> wholeTwips(std::int32_t v) { return v; }
std::optional<std::int32_t> wholeTwips(float v) { return roundToInt32(v); }
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

void clsMovimento::addFrames(std::int32_t inc)
{
    const std::int64_t v = std::int64_t(lFrame) + inc;
    lFrame = v > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                          : static_cast<std::int32_t>(v);
}

// Arrival and one stride, worked out on copies so that a failing frame changes nothing.
// Positions are compared as the whole twips the icon is drawn at.
template <typename Pos>
inline clsMovimento::WalkPlan clsMovimento::planWalk(Pos left, Pos top, const PlaybackSettings &settings) const
{
    WalkPlan plan;
    plan.passo = m_iPassoAtual;
    plan.frame = lFrame;
    const auto wl = wholeTwips(left);
    const auto wt = wholeTwips(top);
    if (!wl || !wt)
        return plan;

    if (m_hasUlt && *wl == m_lUltLeft && *wt == m_lUltTop) {
        if (plan.passo >= m_itM) {
            plan.walk = Walk::Complete;
            return plan;
        }
        ++plan.passo;
        if (!settings.bFrameContinuo)
            plan.frame = 0;
    }
    plan.ultLeft = *wl;
    plan.ultTop = *wt;

    const tpPasso &s = m_Passos[std::size_t(plan.passo)];
    const double offX = double(left) - double(s.X);
    const double offY = double(top) - double(s.Y);
    if constexpr (std::is_integral_v<Pos>) {
        constexpr double lo = std::numeric_limits<std::int32_t>::min();
        constexpr double hi = std::numeric_limits<std::int32_t>::max();
        if (offX < lo || offX > hi || offY < lo || offY > hi)
            return plan;
    }
    auto dx = toSingle(offX * 0.1);
    auto dy = toSingle(offY * 0.1);
    if (!dx || !dy)
        return plan;
    const long double sum = static_cast<long double>(*dx) * *dx + static_cast<long double>(*dy) * *dy;
    const auto d = toSingle(std::sqrt(static_cast<double>(sum)));
    if (!d)
        return plan;
    if (*d > 1.5f) {
        const long double scale = static_cast<long double>(s.sVel) * settings.frameStep() / *d;
        dx = toSingle(scale * *dx);
        dy = toSingle(scale * *dy);
        if (!dx || !dy)
            return plan;
    }
    const auto rx = roundToInt32(*dx);
    const auto ry = roundToInt32(*dy);
    if (!rx || !ry)
        return plan;
    plan.left = double(left) - *rx;
    plan.top = double(top) - *ry;
    if constexpr (std::is_integral_v<Pos>) {
        constexpr double lo = std::numeric_limits<std::int32_t>::min();
        constexpr double hi = std::numeric_limits<std::int32_t>::max();
        if (plan.left < lo || plan.left > hi || plan.top < lo || plan.top > hi)
            return plan;
    } else {
        if (!toSingle(plan.left) || !toSingle(plan.top))
            return plan;
    }
    plan.walk = Walk::Strode;
    return plan;
}

void clsMovimento::commit(const WalkPlan &plan)
{
    m_iPassoAtual = plan.passo;
    lFrame = plan.frame;
    m_hasUlt = true;
    m_lUltLeft = plan.ultLeft;
    m_lUltTop = plan.ultTop;
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
    const WalkPlan plan = planWalk(tObj.Left, tObj.Top, settings);
    if (plan.walk == Walk::Failed) {
        r.ok = false;
        return r;
    }

    if (plan.walk == Walk::Complete) {
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
        commit(plan);
        tObj.Left = static_cast<float>(plan.left);
        tObj.Top = static_cast<float>(plan.top);
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
    const WalkPlan plan = planWalk(tObjLeft, tObjTop, settings);
    if (plan.walk == Walk::Failed)
        return std::nullopt;
    m_FrameCount2 = 0;
    if (plan.walk == Walk::Complete) {
        markComplete(xFrame);
        return true;
    }
    commit(plan);
    tObjLeft = static_cast<std::int32_t>(plan.left);
    tObjTop = static_cast<std::int32_t>(plan.top);
    return false;
}

} // namespace quorvel
