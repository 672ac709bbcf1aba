#pragma once
// The overview maps shipped in the program folder's "Overviews": original top-down maps,
// drawn from a plan of rooms, walls and props with a fixed seed, saved as JPEG for the new
// edition and as coarser, faded bitmaps ("*.src") for the classic edition.

#include <QString>

namespace quorvel::art {

// Writes Overviews/*.jpg and Overviews/*.src under programDir; false when a file cannot be written.
bool writeOverviews(const QString &programDir);

} // namespace quorvel::art
