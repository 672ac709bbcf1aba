#include "playback/IconPicture.h"
#include "playback/PlaybackTypes.h"

namespace quorvel {

namespace {
// Highest element of each set: plain sets by size, then every facing set.
int lastElement(IconSize size, int facing)
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

bool holds(const IconPicture &p)
{
    return p.facing >= 0 && p.facing <= 8 && p.element >= 0 && p.element <= lastElement(p.size, p.facing);
}
} // namespace

std::optional<IconPicture> iconPictureFor(int type, int level, int facing)
{
    IconPicture p;
    p.facing = (facing >= 1 && facing <= 8) ? std::int16_t(facing) : std::int16_t(0);
    p.size = level == 0 ? IconSize::Normal : level == -1 ? IconSize::Small : IconSize::Large;
    if (type < 0 || type > 24)
        return std::nullopt;
    p.element = std::int16_t(type);
    if (!holds(p))
        return std::nullopt;
    return p;
}

std::optional<IconPicture> plainPicture(int type) { return iconPictureFor(type, 0, 0); }

void SetIconPicture(PlaybackIcon &icon, int type, int level, int facing)
{
    if (auto p = iconPictureFor(type, level, facing))
        icon.picture = *p;
}

QSize iconPictureSize(const IconPicture &p)
{
    if (!holds(p))
        return {};
    const int t = p.element;
    if (p.facing != 0)
        return {26, 26};
    switch (p.size) {
    case IconSize::Normal:
        if (t <= 9)
            return {26, 26};
        return t == 13 ? QSize(14, 14) : QSize(10, 14);
    case IconSize::Small:
        if (t == 13)
            return {14, 14};
        if ((t >= 10 && t <= 12) || t >= 22)
            return {10, 14};
        return {10, 10};
    case IconSize::Large:
        return t <= 9 ? QSize(14, 14) : QSize(10, 14);
    }
    return {};
}

int iconHeightTwips(const std::optional<IconPicture> &picture)
{
    if (!picture)
        return 0;
    const QSize s = iconPictureSize(*picture);
    return s.isValid() ? s.height() * kTwipsPerPixel : 0;
}

QString pictureSetName(const IconPicture &p)
{
    static const char *const facings[] = {"", "NE", "E", "SE", "S", "SW", "W", "NW", "N"};
    QString name = QStringLiteral("picObj");
    if (p.size == IconSize::Small)
        name += QLatin1String("SM");
    else if (p.size == IconSize::Large)
        name += QLatin1String("LG");
    if (p.facing >= 1 && p.facing <= 8)
        name += QLatin1String(facings[p.facing]);
    return name;
}

} // namespace quorvel
