#pragma once
// Where an element may stand so that the user sees it and can take it again. The top strip
// (title, round timer, clock, buttons) lies over the top of the overview, so the board the
// user sees starts below it. A drop or a placement keeps all that an element draws on that
// part where it fits, and of an element larger than it a part wide enough to grab.

#include <QPointF>
#include <QRectF>

namespace quorvel {

// The top strip's height over the overview.
constexpr double kStripTwips = 225;
// A path point's marker is a square of this side, centred on the step's point.
constexpr double kPointSideTwips = 100;

// The board below the top strip.
QRectF visibleBoard();

// `at` moved the least (in whole twips) so that `extent`, what the element draws relative to
// `at`, lies on the visible board, or keeps a part of it there wide enough to grab.
QPointF keptOnBoard(QPointF at, const QRectF &extent);

// What an object of this type draws relative to its icon's corner: its plain picture, the
// largest it shows (a level or a facing picture has the same corner and no more size).
QRectF iconExtent(int objectType);

// What a path point brings onto the board relative to its centre: its marker, and the icon
// of its object, which ends its step there.
QRectF pathPointExtent(int objectType);

} // namespace quorvel
