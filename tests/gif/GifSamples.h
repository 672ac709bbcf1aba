#pragma once
// GIFs made by our encoder for the tests, the fuzz seeds and the benchmark: effect-like
// animations (a ring that grows and fades, transparent outside) and a large busy one.

#include "gif/GifImage.h"

namespace quorvel::samples {

// One frame of `size` at (left, top): a ring round the centre whose radius grows with `step`,
// colours 1..colours-1 over background index 0.
GifEncodeFrame ringFrame(QSize size, int left, int top, int step, int colors);

// A grey-to-colour ramp of `count` colours.
GifColorTable ramp(int count);

// Frames of `size`, every frame full size, transparent index 0, disposals alternating 1 and 2.
QByteArray effectGif(QSize size, int frames, int delayMs);

// The three effects' shapes: 0 explosion 50 x 50 x 5, 1 flash 170 x 170 x 11, 2 smoke 50 x 50 x 40.
QByteArray effectLike(int which);

// About 500 x 500, 100 frames of 256 colours, changing sub-rectangles over a full first frame.
QByteArray largeGif();

} // namespace quorvel::samples
