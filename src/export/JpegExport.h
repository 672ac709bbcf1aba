#pragma once
// "Export as Image": the board window as a JPEG picture of quality 90. The file is written
// through QSaveFile, so saving over an existing picture replaces it only once the new one is
// completely written; a failed write says why and leaves the old file whole. A target that is
// not a regular file (a pipe, a device) is refused.

#include <QImage>
#include <QList>
#include <QString>

class QWidget;

namespace quorvel {

inline constexpr int kJpegQuality = 90;

// Writes image as a JPEG of the given quality (0..100) to fileName. False, with *error set to
// the reason, when nothing was written; an existing file is then unchanged.
bool WriteJpeg(const QImage &image, const QString &fileName, int quality, QString *error = nullptr);

// The export of a board: asks for the file name (the JPEG save dialog, owned by owner, which
// gives ".jpg" to a name without ".jpg" or ".jpeg" before its overwrite question), captures
// form with the controls in hidden left out of the picture, and writes the file. Cancel does
// nothing; a failure is told in a message box. True when a file was written.
bool Exporta(QWidget *form, const QList<QWidget *> &hidden, QWidget *owner);

} // namespace quorvel
