#pragma once
// Small file tests used by the shell, the auto-save and the video export, and the one way the
// program writes a whole file.

#include <QByteArray>
#include <QString>

namespace quorvel {

// True when the path names an existing file that is not a folder.
bool ArquivoExiste(const QString &path);
// True when the folder exists; a final '/' or '\' may be present or not.
bool PastaExiste(const QString &path);
// True when the file's size is above 0 bytes (false for a missing file: test ArquivoExiste first).
bool ArquivoTemDados(const QString &path);
// Moves the file to the new path. False (and nothing changed) when the old file is missing or
// the new path exists already.
[[nodiscard]] bool RenomeiaArquivo(const QString &oldPath, const QString &newPath);
// Writes the file all at once (QSaveFile): on failure the old file is whole and error says why.
[[nodiscard]] bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

} // namespace quorvel
