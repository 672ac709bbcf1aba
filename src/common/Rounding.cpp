#include "common/Rounding.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace quorvel {

double roundHalfEven(double value)
{
    if (!std::isfinite(value))
        return value;
    // nearbyint follows the current rounding mode; make sure it is the default one.
    const int mode = std::fegetround();
    if (mode != FE_TONEAREST)
        std::fesetround(FE_TONEAREST);
    const double r = std::nearbyint(value);
    if (mode != FE_TONEAREST)
        std::fesetround(mode);
    return r;
}

namespace {
template <typename T>
std::optional<T> checkedRound(double value)
{
    if (!std::isfinite(value))
        return std::nullopt;
    const double r = roundHalfEven(value);
    // The bounds are exact in double for every target type up to 32 bits; for 64 bits the
    // upper bound 2^63 is exact and excluded.
    constexpr double lo = static_cast<double>(std::numeric_limits<T>::min());
    constexpr double hi = static_cast<double>(std::numeric_limits<T>::max());
    if constexpr (sizeof(T) < 8) {
        if (r < lo || r > hi)
            return std::nullopt;
    } else {
        if (r < lo || r >= hi)
            return std::nullopt;
    }
    return static_cast<T>(r);
}

template <typename T>
T clampedRound(double value)
{
    if (std::isnan(value))
        return 0;
    if (auto v = checkedRound<T>(value))
        return *v;
    return value < 0 ? std::numeric_limits<T>::min() : std::numeric_limits<T>::max();
}
} // namespace

std::optional<std::int16_t> toInt16(double value) { return checkedRound<std::int16_t>(value); }
std::optional<std::int32_t> toInt32(double value) { return checkedRound<std::int32_t>(value); }
std::optional<std::int64_t> toInt64(double value) { return checkedRound<std::int64_t>(value); }
std::int16_t toInt16Clamped(double value) { return clampedRound<std::int16_t>(value); }
std::int32_t toInt32Clamped(double value) { return clampedRound<std::int32_t>(value); }

std::optional<std::int16_t> narrowToInt16(std::int64_t value)
{
    if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max())
        return std::nullopt;
    return static_cast<std::int16_t>(value);
}

} // namespace quorvel

namespace quorvel {

std::int32_t wholeTwips(double value) { return toInt32Clamped(static_cast<float>(value)); }

} // namespace quorvel
