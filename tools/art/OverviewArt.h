#pragma once
// The overview maps shipped in the program folder's "Overviews": original top-down maps,
// drawn from a plan of rooms, walls and props with a fixed seed, saved as JPEG.

#include <QString>

namespace quorvel::art {

// Writes Overviews/*.jpg under programDir; false when a file cannot be written.
bool writeOverviews(const QString &programDir);

} // namespace quorvel::art
