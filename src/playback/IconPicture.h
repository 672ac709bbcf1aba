#pragma once
// Which icon picture an object shows for the level and facing of its current step.
//
// The program keeps 27 picture sets, each an array indexed by object type: a plain set and
// eight facing sets for each of three sizes. Level 0 is the normal size, -1 the small one and
// every other level the large one; facings 1..8 are NE, E, SE, S, SW, W, NW, N and every
// other value means none.

#include "common/Rounding.h"

#include <QSize>
#include <QString>

#include <cstdint>
#include <optional>

namespace quorvel {

struct PlaybackIcon;

enum class IconSize : std::int8_t { Normal, Small, Large };

struct IconPicture {
    IconSize size = IconSize::Normal;
    std::int16_t facing = 0;  // 0 plain, 1..8 the facing sets
    std::int16_t element = 0; // the object type
    bool operator==(const IconPicture &) const = default;
};

namespace iconpicture_detail {
// Highest element of each set: plain sets by size, then every facing set.
constexpr int lastElement(IconSize size, int facing)
{
    if (facing != 0)
        return 9;
    switch (size) {
    case IconSize::Normal: return 13;
    case IconSize::Small: return 24;
    case IconSize::Large: return 12;
    }
    return -1;
}

constexpr bool holds(const IconPicture &p)
{
    return p.facing >= 0 && p.facing <= 8 && p.element >= 0 && p.element <= lastElement(p.size, p.facing);
}
} // namespace iconpicture_detail

// The picture for type, level and facing; none when the chosen set has no element for the
// type, in which case the icon keeps the picture it shows. Inline: playback asks for every
// path on every frame.
inline std::optional<IconPicture> iconPictureFor(int type, int level, int facing)
{
    IconPicture p;
    p.facing = (facing >= 1 && facing <= 8) ? std::int16_t(facing) : std::int16_t(0);
    p.size = level == 0 ? IconSize::Normal : level == -1 ? IconSize::Small : IconSize::Large;
    if (type < 0 || type > 24)
        return std::nullopt;
    p.element = std::int16_t(type);
    if (!iconpicture_detail::holds(p))
        return std::nullopt;
    return p;
}

// The plain normal picture of a type (picObj), none for a type outside the set.
std::optional<IconPicture> plainPicture(int type);

// Gives the icon the chosen picture, or leaves it as it is when there is none.
void SetIconPicture(PlaybackIcon &icon, int type, int level, int facing);

// Size of a picture in pixels (an icon is 15 twips per pixel); an invalid size for an
// element the set does not hold.
QSize iconPictureSize(const IconPicture &picture);
// Height of the icon in twips; 0 for an icon without picture.
int iconHeightTwips(const std::optional<IconPicture> &picture);

// The set's name as the picture store calls it: "picObj", "picObjSMNE", "picObjLGW"...
QString pictureSetName(const IconPicture &picture);

} // namespace quorvel
