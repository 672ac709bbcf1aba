#pragma once
// The program's small pictures: the 27 icon sets, the marker, the cursors, the board's
// playback button faces and the toolbar faces. Everything is drawn at its real pixel size.

#include <QString>

namespace quorvel::art {

// Writes Bin/Icons/... under programDir. Returns false (and says why on stderr) when a
// file cannot be written.
bool writeIcons(const QString &programDir);

} // namespace quorvel::art
