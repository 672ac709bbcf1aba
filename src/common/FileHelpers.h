#pragma once
// Small file tests used by the shell, the auto-save and the video export, and the one way the
// program reads and writes a whole file.

#include <QByteArray>
#include <QString>

namespace quorvel {

// True when the path names an existing regular file (a device, a pipe or a folder is not).
bool ArquivoExiste(const QString &path);
// True when the folder exists; a final '/' or '\' may be present or not.
bool PastaExiste(const QString &path);
// True when the file's size is above 0 bytes (false for a missing file: test ArquivoExiste first).
bool ArquivoTemDados(const QString &path);
// Moves the file to the new path. False (and nothing changed) when the old file is missing or
// the new path exists already.
[[nodiscard]] bool RenomeiaArquivo(const QString &oldPath, const QString &newPath);
// False (*error says why) when something other than a regular file is at path (through links):
// a save renames its new file into place, which would replace a pipe, a socket or a device.
// A missing path or a regular file may be saved to.
[[nodiscard]] bool isSaveTarget(const QString &path, QString *error = nullptr);
// Writes the file all at once (QSaveFile): on failure the old file is whole and error says why.
// A target that is not a regular file is refused (isSaveTarget).
[[nodiscard]] bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error = nullptr);

// Writes all of data to the descriptor, again after an interruption: 0 when it is written,
// else the errno of the write that failed (ENOSPC for one that wrote nothing).
int writeFully(int fd, const char *data, qint64 size);

// Makes a write over the file-size limit (ulimit -f) fail with its error instead of ending
// the program with SIGXFSZ. Called once at start-up.
void ignoreFileSizeSignal();

// Reads a file the user named, which may be anything: a device reports size 0 and never ends,
// opening a pipe waits for a writer that never comes, and a file may shrink, grow or be
// rewritten while it is read. The type is checked on the opened descriptor (opened without
// waiting), so nothing can be swapped in between the check and the read; the bytes are
// copied, never mapped, so a file cut short can only make the read fail.
// Whether a link at the path is followed: a file the user names may be a link; a file of the
// program's own, in a folder others can write, must not be one.
enum class FollowLinks { Yes, No };

class RegularFileReader {
public:
    RegularFileReader() = default;
    ~RegularFileReader();
    Q_DISABLE_COPY(RegularFileReader)

    // False (error() says why) unless the path is a regular file of at most maxBytes.
    bool open(const QString &path, qint64 maxBytes, FollowLinks links = FollowLinks::Yes);
    // The size when it was opened.
    qint64 size() const { return size_; }
    // The next n bytes, in order from the first; false when they cannot be read, or when the
    // file ends before them (it shrank since it was opened).
    bool read(char *to, qint64 n);
    // A reader that stops before the end checks here, after its last read, that what it read is
    // all of one file: false when the size or the modification time is not what open() saw.
    bool unchanged();
    // The whole file; false when it cannot be read or changed while it was read.
    bool readAll(QByteArray &out);
    const QString &error() const { return error_; }

private:
    int fd_ = -1;
    qint64 size_ = 0;
    qint64 mtimeSec_ = 0;
    long mtimeNsec_ = 0;
    QString error_;
};

// open() and readAll() in one; *error (when given) says why it failed.
bool readRegularFile(const QString &path, qint64 maxBytes, QByteArray &out, QString *error = nullptr,
                     FollowLinks links = FollowLinks::Yes);

} // namespace quorvel
