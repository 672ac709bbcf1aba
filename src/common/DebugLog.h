#pragma once
// The debug log "debug.txt": switched on by the command line "-d", emptied once at start-up,
// then one line per progress marker. Each line ends in CR LF and the file is opened and closed
// for every line, so the log is complete up to the last marker even after a crash.

#include <QString>

namespace quorvel {

// bDebug: the log is on. Fixed at start-up.
bool debugEnabled();
void setDebugEnabled(bool on);

// writableFolder() + "/debug.txt".
QString debugLogPath();

// Empties (or creates) the log and writes "Initialized". False when the file cannot be written.
bool IniciaDebug();
// Appends one line whether or not the log is on; callers test debugEnabled() first.
// False when the file cannot be written.
bool GravaDebug(const QString &line);
// "Message n" when the log is on; nothing otherwise.
void debugMarker(int n);

} // namespace quorvel
