#pragma once
// The video work folder and its files. It lives in the program's writable folder and holds
// only what a recording makes: the numbered frame pictures, the narration, the temporary
// movie and the converter's outputs. Names come from here only.

#include <QString>

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
// each tried once.
void deleteFrameFiles(const QString &folder);
void deleteSoundFiles(const QString &folder);

// The chosen name is an AVI (".avi" in any case).
bool isAviName(const QString &path);

// Copies source over target through QSaveFile: target is replaced only once the copy is whole.
// False with *error set when it failed; target is then as it was.
bool replaceFileWith(const QString &target, const QString &source, QString *error);

// A free name for the AVI beside target when target asks for another format: its base name
// with ".avi", or " (2).avi" and on when that is taken.
QString aviBeside(const QString &target);

} // namespace quorvel
