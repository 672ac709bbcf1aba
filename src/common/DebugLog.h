#pragma once
// The debug log "debug.txt": switched on by the command line "-d", emptied once at start-up,
// then one line per progress marker. Each line ends in CR LF and the file is opened and closed
// for every line, so the log is complete up to the last marker even after a crash. Any thread
// may write: the file is the one chosen when the log started, and once the application object
// goes (the exit) lines are dropped rather than written anywhere else.

#include <QString>

namespace quorvel {

// bDebug: the log is on. Fixed at start-up.
bool debugEnabled();
void setDebugEnabled(bool on);

// The log's file: the one IniciaDebug chose, else writableFolder() + "/debug.txt".
QString debugLogPath();

// Chooses the log's file, empties (or creates) it and writes "Initialized". False when the
// file cannot be written.
bool IniciaDebug();
// Appends one line whether or not the log is on; callers test debugEnabled() first.
// False when the file cannot be written, before the log started and after the exit began.
bool GravaDebug(const QString &line);
// "Message n" when the log is on; nothing otherwise.
void debugMarker(int n);

} // namespace quorvel
