#include "playback/IconPicture.h"
#include "playback/PlaybackTypes.h"

namespace quorvel {

using iconpicture_detail::holds;

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
