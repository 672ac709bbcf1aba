#include "board/IconStore.h"

#include "common/ProgramFolder.h"
#include "playback/IconPicture.h"

namespace quorvel {

IconStore::IconStore(const QString &folder)
    : folder_(folder.isEmpty() ? programFolder() + QStringLiteral("/Bin/Icons") : folder)
{
}

QPixmap IconStore::load(const QString &relative) const
{
    auto it = cache_.constFind(relative);
    if (it != cache_.constEnd())
        return *it;
    QPixmap pixmap(folder_ + QLatin1Char('/') + relative);
    cache_.insert(relative, pixmap);
    return pixmap;
}

QPixmap IconStore::picture(const IconPicture &picture) const
{
    if (!iconPictureSize(picture).isValid())
        return QPixmap();
    return load(pictureSetName(picture) + QLatin1Char('/') + QString::number(picture.element) + QStringLiteral(".png"));
}

QPixmap IconStore::marker() const
{
    return load(QStringLiteral("picMarker.png"));
}

QPixmap IconStore::cursor(int index) const
{
    return load(QStringLiteral("imgIco/%1.png").arg(index));
}

} // namespace quorvel
