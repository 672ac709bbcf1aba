#pragma once
// The outside tools a test checks our files with (ffmpeg, ImageMagick, libjpeg, the desktop's
// tools): one run and what it printed, a file's bytes, and the fuzzers' saved inputs.
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QProcessEnvironment>

namespace quorvel {

struct ToolRun {
    bool ok = false; // ended by itself with exit code 0
    int exitCode = -1;
    QByteArray out;
    QByteArray err;
    QString text() const { return QString::fromLocal8Bit(out).trimmed(); }
};

inline ToolRun runTool(const QString &program, const QStringList &args, const QString &folder = QString(),
                       const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setWorkingDirectory(folder);
    p.setProcessEnvironment(env);
    p.start(program, args);
    ToolRun r;
    r.ok = p.waitForFinished(60000) && p.exitStatus() == QProcess::NormalExit && p.exitCode() == 0;
    r.exitCode = p.exitCode();
    r.out = p.readAllStandardOutput();
    r.err = p.readAllStandardError();
    return r;
}

// The file's bytes; none when it cannot be read.
inline QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The inputs a fuzzer once found trouble with, kept under tests/data/fuzz/<fuzzer>: their paths.
inline QStringList fuzzRegressionFiles(const char *fuzzer)
{
    const QDir dir(QStringLiteral(QUORVEL_TEST_DATA "/fuzz/") + QLatin1String(fuzzer));
    QStringList paths;
    for (const QString &name : dir.entryList(QDir::Files))
        paths << dir.filePath(name);
    return paths;
}

} // namespace quorvel
