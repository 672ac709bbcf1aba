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
// (With SSE2 the checks below work on two values at once.)
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

#if defined(__SSE2__)
// Both coordinates as doubles in lanes 0 and 1 (exact).
inline __m128d pairOf(std::int32_t x, std::int32_t y)
{
    return _mm_cvtepi32_pd(_mm_unpacklo_epi32(_mm_cvtsi32_si128(x), _mm_cvtsi32_si128(y)));
}
inline __m128 floatPairOf(float x, float y) { return _mm_unpacklo_ps(_mm_set_ss(x), _mm_set_ss(y)); }
inline __m128d pairOf(float x, float y) { return _mm_cvtps_pd(floatPairOf(x, y)); }

// Both lanes whole numbers that fit 32 bits: -2^31 <= v <= 2^31 - 1, i.e. |v + 0.5| <= 2^31 - 0.5.
inline bool int32Pair(__m128d v)
{
    const __m128d a = _mm_andnot_pd(_mm_set1_pd(-0.0), _mm_add_pd(v, _mm_set1_pd(0.5)));
    return (_mm_movemask_pd(_mm_cmple_pd(a, _mm_set1_pd(2147483647.5))) & 3) == 3;
}

// Both lanes fit a float (toSingle): |v| <= FLT_MAX, NaN excluded.
inline bool floatPair(__m128d v)
{
    const __m128d a = _mm_andnot_pd(_mm_set1_pd(-0.0), v);
    return (_mm_movemask_pd(_mm_cmple_pd(a, _mm_set1_pd(double(FLT_MAX)))) & 3) == 3;
}

// Lanes 0 and 1 to the nearest whole number, halves to even (the default rounding mode);
// a value out of range or NaN gives the marker -2^31.
inline __m128i roundPair(__m128 f) { return _mm_cvtps_epi32(f); }

// roundToInt32 succeeded on both lanes: the marker -2^31 also stands for -2^31 itself.
inline bool roundedPairOk(__m128i r, __m128 f)
{
    const int marked = _mm_movemask_ps(_mm_castsi128_ps(_mm_cmpeq_epi32(r, _mm_set1_epi32(INT32_MIN)))) & 3;
    if (marked == 0) [[likely]]
        return true;
    const int exact = _mm_movemask_ps(_mm_cmpeq_ps(f, _mm_set1_ps(-2147483648.0f))) & 3;
    return (marked & ~exact) == 0;
}

// certainSingle() on lanes 0 and 1: v as floats in out, and whether both are certain. When
// the two ends of the window give the same float, so does v itself: out comes from v
// directly, which keeps the checks off the path from one frame's position to the next.
inline bool certainPair(__m128d v, __m128 &out)
{
    const __m128d a = _mm_andnot_pd(_mm_set1_pd(-0.0), v);
    const int inRange = _mm_movemask_pd(_mm_cmple_pd(a, _mm_set1_pd(double(FLT_MAX) * (1.0 - 0x1p-40))));
    const __m128d margin = _mm_mul_pd(a, _mm_set1_pd(0x1p-45));
    const __m128 lo = _mm_cvtpd_ps(_mm_sub_pd(v, margin));
    const __m128 hi = _mm_cvtpd_ps(_mm_add_pd(v, margin));
    out = _mm_cvtpd_ps(v);
    return (inRange & _mm_movemask_ps(_mm_cmpeq_ps(lo, hi)) & 3) == 3;
}

// certainSingle() for one value, through the pair.
inline bool certainSingleLane(double v, float &out)
{
    __m128 f;
    const bool ok = certainPair(_mm_set_sd(v), f); // lane 1 holds 0, always certain
    out = _mm_cvtss_f32(f);
    return ok;
}

// strideLength() in extended precision on (dx, dy) in lanes 0 and 1 of d: the rare case, out
// of the way of the common one.
[[gnu::noinline]] bool strideExtended(__m128 &d, float vel, std::int32_t frameStep)
{
    float dx = _mm_cvtss_f32(d);
    float dy = _mm_cvtss_f32(_mm_shuffle_ps(d, d, 1));
    if (!strideExtended(dx, dy, vel, frameStep))
        return false;
    d = _mm_unpacklo_ps(_mm_set_ss(dx), _mm_set_ss(dy));
    return true;
}

// strideLength() on (dx, dy) in lanes 0 and 1 of d.
[[gnu::always_inline]] inline bool strideLength(__m128 &d, float vel, std::int32_t frameStep)
{
    const __m128d v = _mm_cvtps_pd(d);
    const __m128d sq = _mm_mul_pd(v, v);
    const __m128d sum = _mm_add_sd(sq, _mm_unpackhi_pd(sq, sq));
    float len;
    if (certainSingleLane(_mm_cvtsd_f64(_mm_sqrt_sd(sum, sum)), len)) [[likely]] {
        if (!(len > 1.5f))
            return true;
        const double scale = double(vel) * frameStep / len;
        __m128 scaled;
        if (certainPair(_mm_mul_pd(_mm_set1_pd(scale), v), scaled)) [[likely]] {
            d = scaled;
            return true;
        }
    }
    return strideExtended(d, vel, frameStep);
}
#endif

bool isGrenade(int type) { return type == HeGrenade || type == FlashGrenade || type == SmokeGrenade; }
} // namespace

std::int16_t clsMovimento::Adiciona(std::int32_t iIni, std::int32_t X, std::int32_t Y, std::int16_t sLvl, float sVel,
                                    std::int16_t sDir)
{
    if (m_itM == std::numeric_limits<std::int16_t>::max())
        return 0;
    if (m_Passos.empty())
        m_Passos.resize(1);
    m_Passos.push_back({.iIni = iIni, .X = X, .Y = Y, .sVel = sVel, .sLvl = sLvl, .sDir = sDir});
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

[[gnu::always_inline]] inline bool clsMovimento::arrival(std::int32_t wl, std::int32_t wt, std::int16_t &passo,
                                                        std::int32_t &frame, const PlaybackSettings &settings) const
{
    if (!m_hasUlt || wl != m_lUltLeft || wt != m_lUltTop) [[likely]]
        return true;
    if (passo >= m_itM)
        return false;
    ++passo;
    if (!settings.bFrameContinuo)
        frame = 0;
    return true;
}

// Arrival and one stride, worked out on locals so that a failing frame changes nothing.
// Positions are compared as the whole twips the icon is drawn at.
//
// This runs for every path on every frame of a dry run or seek, so the x and y halves go
// through the arithmetic side by side, lane 0 and lane 1 of one register, each lane doing
// exactly what the one-coordinate-at-a-time version below does. Whole-twip positions (the
// dry run) are exact in double, and so are their differences.
#if defined(__SSE2__)
template <typename Pos>
[[gnu::always_inline]] inline clsMovimento::Walk clsMovimento::walkSse2(Pos &left, Pos &top,
                                                                         const PlaybackSettings &settings)
{
    const __m128d pos = pairOf(left, top);
    std::int32_t wl, wt;
    if constexpr (std::is_integral_v<Pos>) {
        wl = left;
        wt = top;
    } else {
        const __m128 f = floatPairOf(left, top);
        const __m128i w = roundPair(f);
        if (!roundedPairOk(w, f)) [[unlikely]]
            return Walk::Failed;
        wl = _mm_cvtsi128_si32(w);
        wt = _mm_cvtsi128_si32(_mm_srli_si128(w, 4));
    }

    std::int16_t passo = m_iPassoAtual;
    std::int32_t frame = lFrame;
    if (!arrival(wl, wt, passo, frame, settings)) [[unlikely]]
        return Walk::Complete;

    const tpPasso &s = m_Passos[std::size_t(passo)];
    const __m128d off = _mm_sub_pd(pos, pairOf(s.X, s.Y));
    if constexpr (std::is_integral_v<Pos>) {
        if (!int32Pair(off)) [[unlikely]]
            return Walk::Failed;
    }
    const __m128d tenth = _mm_mul_pd(off, _mm_set1_pd(0.1));
    if constexpr (!std::is_integral_v<Pos>) {
        // A tenth of a 32-bit integer always fits a float; a tenth of a float offset may not.
        if (!floatPair(tenth)) [[unlikely]]
            return Walk::Failed;
    }
    __m128 stride = _mm_cvtpd_ps(tenth);
    if (!strideLength(stride, s.sVel, settings.frameStep())) [[unlikely]]
        return Walk::Failed;
    const __m128i r = roundPair(stride);
    if (!roundedPairOk(r, stride)) [[unlikely]]
        return Walk::Failed;

    const __m128d next = _mm_sub_pd(pos, _mm_cvtepi32_pd(r));
    Pos newLeft, newTop;
    if constexpr (std::is_integral_v<Pos>) {
        if (!int32Pair(next)) [[unlikely]]
            return Walk::Failed;
        const __m128i n = _mm_cvttpd_epi32(next); // whole numbers: exact
        newLeft = _mm_cvtsi128_si32(n);
        newTop = _mm_cvtsi128_si32(_mm_srli_si128(n, 4));
    } else {
        if (!floatPair(next)) [[unlikely]]
            return Walk::Failed;
        const __m128 n = _mm_cvtpd_ps(next);
        newLeft = _mm_cvtss_f32(n);
        newTop = _mm_cvtss_f32(_mm_shuffle_ps(n, n, 1));
    }

    commitStride(passo, frame, wl, wt);
    left = newLeft;
    top = newTop;
    return Walk::Strode;
}
#endif

// The same without SSE2: arrival and one stride, worked out on locals so that a failing frame
// changes nothing. Whole-twip positions (the dry run) stay in integers: their differences are
// exact, as they were in double. Compiled everywhere, so that the stride test holds the two
// versions to each other.
template <typename Pos>
inline clsMovimento::Walk clsMovimento::walkPortable(Pos &left, Pos &top, const PlaybackSettings &settings)
{
    std::int32_t wl, wt;
    if constexpr (std::is_integral_v<Pos>) {
        wl = left;
        wt = top;
    } else {
        const auto l = toInt32(left);
        const auto t = toInt32(top);
        if (!l || !t)
            return Walk::Failed;
        wl = *l;
        wt = *t;
    }

    std::int16_t passo = m_iPassoAtual;
    std::int32_t frame = lFrame;
    if (!arrival(wl, wt, passo, frame, settings)) [[unlikely]]
        return Walk::Complete;

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
    const auto rx = toInt32(dx);
    const auto ry = toInt32(dy);
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

    commitStride(passo, frame, wl, wt);
    left = newLeft;
    top = newTop;
    return Walk::Strode;
}

template <typename Pos>
[[gnu::always_inline]] inline clsMovimento::Walk clsMovimento::walk(Pos &left, Pos &top,
                                                                     const PlaybackSettings &settings)
{
#if defined(__SSE2__)
    return walkSse2(left, top, settings);
#else
    return walkPortable(left, top, settings);
#endif
}

void clsMovimento::commitStride(std::int16_t passo, std::int32_t frame, std::int32_t wl, std::int32_t wt)
{
    m_iPassoAtual = passo;
    lFrame = frame;
    m_hasUlt = true;
    m_lUltLeft = wl;
    m_lUltTop = wt;
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
    if ((waiting.iIni > 0) & (lFrame < waiting.iIni)) {
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
    const bool visible = tObj.Visible | !(grenade & m_completed);
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
    return moveCalc<false>(tObjTop, tObjLeft, xFrame, settings);
}

std::optional<bool> clsMovimento::MoveCalcPortable(std::int32_t &tObjTop, std::int32_t &tObjLeft, std::int32_t xFrame,
                                                   const PlaybackSettings &settings)
{
    return moveCalc<true>(tObjTop, tObjLeft, xFrame, settings);
}

template <bool Portable>
std::optional<bool> clsMovimento::moveCalc(std::int32_t &tObjTop, std::int32_t &tObjLeft, std::int32_t xFrame,
                                           const PlaybackSettings &settings)
{
    if (m_itM == 0)
        return true;
    if (m_iPassoAtual < 1 || m_iPassoAtual > m_itM)
        return std::nullopt;
    const tpPasso &waiting = m_Passos[std::size_t(m_iPassoAtual)];
    if ((waiting.iIni > 0) & (lFrame < waiting.iIni)) {
        if (m_FrameCount2 == std::numeric_limits<std::int32_t>::max())
            return std::nullopt;
        ++m_FrameCount2;
        return false;
    }
    const Walk w = Portable ? walkPortable(tObjLeft, tObjTop, settings) : walk(tObjLeft, tObjTop, settings);
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
