#pragma once
// The video work folder and its files. It lives in the program's writable folder and holds
// only what a recording makes: the numbered frame pictures, the narration, the temporary
// movie and the converter's outputs. Names come from here only.

#include <QString>

#include <atomic>

namespace quorvel {

// The work folder "video" in the writable folder (no final '/'); made when missing. "" when it
// cannot be made.
QString videoWorkFolder();

// "0001.bmp" and on: the number with at least four digits.
QString frameFileName(int number);

inline const QString kTempMovie = QStringLiteral("tempmovie.avi");
inline const QString kTempAudio = QStringLiteral("tempaudio.wav");
inline const QString kCombined = QStringLiteral("combined.avi");

// Deletes the frame pictures ("*.bmp") or the narration files ("*.wav") of the work folder,
// each tried once. Whatever carries such a name goes, links, pipes and sockets too (not
// folders), so that nothing there can stand in for a file of ours.
void deleteFrameFiles(const QString &folder);
void deleteSoundFiles(const QString &folder);
// The same for the movies a save writes there ("tempmovie.*", "combined.*"): one left by a
// save the program did not live to end.
void deleteMovieFiles(const QString &folder);

// A file of our own in the work folder: a new regular file is made for writing (never through a
// link, never over something that is there), and only a regular file is read (no link followed,
// no pipe waited on). False / empty with *error set otherwise.
bool writeOwnFile(const QString &path, const QByteArray &bytes, QString *error);
QByteArray readOwnFile(const QString &path, qint64 maxBytes, QString *error);

// "" when path may be saved over (it does not exist, or it is a regular file); otherwise what
// is wrong with it, in words.
QString saveTargetProblem(const QString &path);

// Moves source to target, replacing a regular file there: a rename when both are on one volume,
// else a copy into a temporary file beside target that is renamed onto it. False with *error
// set when it failed, or when stop was set during a copy; target is then as it was.
bool moveFileInto(const QString &source, const QString &target, QString *error,
                  const std::atomic<bool> *stop = nullptr);

// Formats whose writer leaves files beside the one named (playlists and their segments).
bool writesSideFiles(const QString &path);

// The chosen name is an AVI (".avi" in any case).
bool isAviName(const QString &path);

// Copies source over target through QSaveFile: target is replaced only once the copy is whole.
// False with *error set when it failed or stop was set; target is then as it was.
bool replaceFileWith(const QString &target, const QString &source, QString *error,
                     const std::atomic<bool> *stop = nullptr);

// A free name for the AVI beside target when target asks for another format: its base name
// with ".avi", or " (2).avi" and on when that is taken.
QString aviBeside(const QString &target);

} // namespace quorvel
