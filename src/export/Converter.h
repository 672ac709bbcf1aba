#pragma once
// The converter: the `ffmpeg` program joins narration into a movie and makes other video
// formats. It runs as a separate process from an argument list (never a shell command line),
// without blocking the interface; its progress is read from its -progress output, and it can
// be cancelled. `Bin/ffmpeg` in the program folder is used when present, else the one on PATH.

#include "export/FileDescriptor.h"
#include "export/Outcome.h"

#include <QObject>
#include <QProcess>
#include <QStringList>

namespace quorvel {

// The error text kept of a converter run, and the longest progress line read.
inline constexpr int kConverterErrorTail = 2000;
inline constexpr int kConverterLineLimit = 4096;

class Converter : public QObject {
    Q_OBJECT
public:
    explicit Converter(QObject *parent = nullptr);
    ~Converter() override;

    // The converter's path, or "" when there is none.
    static QString program();

    // Narration joined to movie: the video stream copied as it is (the codec the user chose),
    // the sound beside it.
    static QStringList joinArguments(const QString &movie, const QString &sound, const QString &output);
    // movie converted to the format output's extension names, at 800 x 600.
    static QStringList convertArguments(const QString &movie, const QString &output);
    // An AVI read as it is written from standard input, with the narration joined when sound
    // is not empty, converted as convertArguments() does.
    static QStringList streamArguments(const QString &sound, const QString &output);

    // Starts the program with arguments that write output; expectedSeconds is the length of
    // the movie, for progress. False when there is no converter (nothing started).
    bool start(const QStringList &arguments, const QString &output, double expectedSeconds);
    // The same with the program's standard input read from input (a pipe's read end); this side
    // of it is closed in any case, so the writer's end closing is the stream's end.
    bool start(const QStringList &arguments, const QString &output, double expectedSeconds, FileDescriptor input);
    // Ends a running conversion; finished() follows, cancelled, with the output removed.
    void cancel();
    // As cancel(), waiting for the program to end (the program's exit).
    void stop();
    bool running() const;

signals:
    void progress(int percent);
    // Done: the program ended normally and output exists and is not empty. Failed: the detail
    // holds the program's last words (or why it could not run). Otherwise output is removed.
    void finished(const quorvel::JobOutcome &outcome);

private:
    void readProgress();
    void readErrors();
    void processEnded(int exitCode, QProcess::ExitStatus status);
    QProcess *process_ = nullptr;
    QString output_;
    double expected_ = 0;
    bool cancelled_ = false;
    QByteArray progressBuffer_;
    bool skippingLine_ = false; // the rest of an over-long progress line is dropped
    QByteArray errorTail_;      // the last words of the error stream only
};

// The message of a missing converter.
QString missingConverterText();

} // namespace quorvel
