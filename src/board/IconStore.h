#pragma once
// The icon pictures the boards draw from: the 27 picture sets (by size and facing, each
// indexed by object type), the marker icon and the tool cursors, read once from the program
// folder's Bin/Icons and kept.

#include <QHash>
#include <QPixmap>
#include <QString>

namespace quorvel {

struct IconPicture;

class IconStore {
public:
    // folder: the Icons folder; by default the program folder's Bin/Icons.
    explicit IconStore(const QString &folder = QString());

    // The picture of an element of a set; a null pixmap where the set has no such element.
    QPixmap picture(const IconPicture &picture) const;
    QPixmap marker() const;
    // imgIco: 0 the cursor while path points are placed, 1 the hand tool.
    QPixmap cursor(int index) const;

private:
    QPixmap load(const QString &relative) const;

    QString folder_;
    mutable QHash<QString, QPixmap> cache_;
};

} // namespace quorvel
