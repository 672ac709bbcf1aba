#pragma once
// Values that the movement objects, the dry run and the seek share with the board.

#include "playback/IconPicture.h"

#include <cstdint>
#include <optional>

namespace quorvel {

constexpr int kFramesPerSecond = 63;

// The program-wide playback values.
struct PlaybackSettings {
    std::int32_t lFrameInc = 1;      // frames per frame step; anything below 1 counts as 1
    bool bFrameContinuo = false;     // true: a path's frame count does not restart at each step
    bool bShowAnimations = true;     // grenade effects on ("ShowAnimations")
    std::int16_t iRoundTimer = 105;  // round length in seconds; a negative value counts as 0

    std::int32_t frameStep() const { return lFrameInc < 1 ? 1 : lFrameInc; }
    std::int16_t roundSeconds() const { return iRoundTimer < 0 ? std::int16_t(0) : iRoundTimer; }
};

// The live state of one object's icon on the board, in twips. The board mirrors it.
struct PlaybackIcon {
    bool exists = false;                // false for a deleted object: there is no icon
    float Left = 0;
    float Top = 0;
    bool Visible = true;
    std::optional<IconPicture> picture; // none: the type has no picture at all
    bool operator==(const PlaybackIcon &) const = default;
};

// A grenade whose path has completed while effects are on: its icon has been hidden and the
// board may start the effect of this kind (10 explosion, 11 flash, 12 smoke) with its
// top-left corner at Left, Top (twips).
struct GrenadeBurst {
    std::int16_t type = 0;
    std::int32_t Left = 0;
    std::int32_t Top = 0;
    bool operator==(const GrenadeBurst &) const = default;
};

enum class PlayMode { Stopped, Play, PlayEdit };

// Whether a burst becomes a visible effect: only in Play mode at speed 1, neither paused nor
// slowed. Otherwise the grenade just vanishes.
constexpr bool effectMayStart(PlayMode mode, int speed, bool paused, bool slow)
{
    return mode == PlayMode::Play && speed == 1 && !paused && !slow;
}

} // namespace quorvel
