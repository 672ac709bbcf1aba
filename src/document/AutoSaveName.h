#pragma once
// The file name of a board's backup: "AutoSave_" + the strat title + ".qvl". The title is the
// user's free text, so it is made into one plain file name first: no folder separators, no
// "..", no characters that a file name on any desktop cannot hold.

#include <QString>

namespace quorvel {

// The title, blanks removed at both ends, as a safe part of a file name. An empty title stays
// empty.
QString autoSaveTitlePart(const QString &title);

// "AutoSave_<title>.qvl"; copy 2 and up ("AutoSave_<title> (2).qvl") keep apart the backups of
// boards that share a title.
QString autoSaveFileName(const QString &title, int copy = 1);

} // namespace quorvel
