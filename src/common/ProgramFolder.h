#pragma once
// The program folder holds what ships with Quorvel (Overviews, lang, Bin, Strats). It is the
// executable's folder, or QUORVEL_HOME when that is set. What the program writes goes there
// too when the folder is writable, else under the user's data folder.

#include <QString>

namespace quorvel {

// The program folder, without a final '/'.
QString programFolder();

// Where the program writes its own files (AutoSaves, video, debug.txt): the program folder
// when it is writable, else the user's application data folder. Without a final '/'.
QString writableFolder();

} // namespace quorvel
