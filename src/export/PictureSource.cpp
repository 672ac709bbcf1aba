#include "export/PictureSource.h"

#include "export/VideoFiles.h"

#include <QDir>

namespace quorvel {

namespace {
// A frame picture is a window capture: far below this.
constexpr qint64 kMaxPictureBytes = 256 << 20;
} // namespace

PaddedPicture FramePictures::picture(int number, QString *why) const
{
    const QString file = QDir(folder_).filePath(frameFileName(number));
    QString reason;
    PaddedPicture p = PaddedPicture::fromBitmapFile(readOwnFile(file, kMaxPictureBytes, &reason));
    if (p.isNull())
        *why = QStringLiteral("The picture %1 cannot be read. %2")
                   .arg(QDir::toNativeSeparators(file), reason)
                   .trimmed();
    return p;
}

} // namespace quorvel
