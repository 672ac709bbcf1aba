#include "board/BoardBounds.h"

#include "board/BoardScene.h"
#include "document/StratTypes.h"
#include "playback/IconPicture.h"

#include <algorithm>
#include <cmath>

namespace quorvel {

namespace {

// How much of an element larger than the board a drop keeps on it: enough to grab (20 pixels).
constexpr double kGrabTwips = 300;

// One axis: where `at` may stand so that [low, high] around it lies within [first, last].
double keptOnAxis(double at, double low, double high, double first, double last)
{
    const double least = std::ceil(first - low);
    const double most = std::floor(high - low <= last - first ? last - high : last - low - kGrabTwips);
    return std::clamp(at, least, std::max(least, most));
}

} // namespace

QRectF visibleBoard() { return {0, kStripTwips, kBoardWidthTwips, kBoardHeightTwips - kStripTwips}; }

QPointF keptOnBoard(QPointF at, const QRectF &extent)
{
    const QRectF board = visibleBoard();
    return {keptOnAxis(at.x(), extent.left(), extent.right(), board.left(), board.right()),
            keptOnAxis(at.y(), extent.top(), extent.bottom(), board.top(), board.bottom())};
}

QRectF iconExtent(int objectType)
{
    const std::optional<IconPicture> picture = plainPicture(objectType);
    const QSize size = picture ? iconPictureSize(*picture) : QSize();
    return size.isValid() ? QRectF(0, 0, size.width() * kTwipsPerPixel, size.height() * kTwipsPerPixel) : QRectF();
}

QRectF pathPointExtent(int objectType)
{
    const double half = kPointSideTwips / 2;
    const double c = centreOffset(objectType);
    const QRectF marker(-half, -half, kPointSideTwips, kPointSideTwips);
    const QRectF icon = iconExtent(objectType).translated(-c, -c);
    return icon.isEmpty() ? marker : marker.united(icon);
}

} // namespace quorvel
