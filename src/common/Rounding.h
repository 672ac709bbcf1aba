#pragma once
// Whole numbers from fractions, the way the strat format and its editor expect them:
// halves go to the even neighbour, and a value that does not fit is an error, never UB.

#include <cstdint>
#include <optional>

namespace quorvel {

// Nearest whole number, a half to the even neighbour (2.5 -> 2, 3.5 -> 4, -2.5 -> -2).
// Non-finite input is returned unchanged.
double roundHalfEven(double value);

// Rounded (half to even) and range-checked; nullopt for NaN, infinities and values
// outside the target type.
std::optional<std::int16_t> toInt16(double value);
std::optional<std::int32_t> toInt32(double value);
std::optional<std::int64_t> toInt64(double value);

// Rounded and clamped into the target type: NaN gives 0, infinities and out-of-range
// values give the nearest bound. For places where a bad number must still yield a
// usable one (drawing, timers).
std::int16_t toInt16Clamped(double value);
std::int32_t toInt32Clamped(double value);

// The board's unit: 15 twips to a screen pixel.
constexpr int kTwipsPerPixel = 15;

// A board position in whole twips: the single-precision value the board keeps, rounded and
// clamped as above.
std::int32_t wholeTwips(double value);

// Integer narrowing that reports an out-of-range value instead of wrapping it.
std::optional<std::int16_t> narrowToInt16(std::int64_t value);

} // namespace quorvel
