#pragma once
// Which icon picture an object shows for the level and facing of its current step.
//
// The program keeps 27 picture sets, each an array indexed by object type: a plain set and
// eight facing sets for each of three sizes. Level 0 is the normal size, -1 the small one and
// every other level the large one; facings 1..8 are NE, E, SE, S, SW, W, NW, N and every
// other value means none.

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

// The picture for type, level and facing; none when the chosen set has no element for the
// type, in which case the icon keeps the picture it shows.
std::optional<IconPicture> iconPictureFor(int type, int level, int facing);

// The plain normal picture of a type (picObj), none for a type outside the set.
std::optional<IconPicture> plainPicture(int type);

// Gives the icon the chosen picture, or leaves it as it is when there is none.
void SetIconPicture(PlaybackIcon &icon, int type, int level, int facing);

// Size of a picture in pixels (an icon is 15 twips per pixel); an invalid size for an
// element the set does not hold.
QSize iconPictureSize(const IconPicture &picture);
constexpr int kTwipsPerPixel = 15;
// Height of the icon in twips; 0 for an icon without picture.
int iconHeightTwips(const std::optional<IconPicture> &picture);

// The set's name as the picture store calls it: "picObj", "picObjSMNE", "picObjLGW"...
QString pictureSetName(const IconPicture &picture);

} // namespace quorvel
