#include "export/Converter.h"

#include "common/ProgramFolder.h"
#include "language/clsLanguagePack.h"

#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <algorithm>
#include <cmath>

#include <unistd.h>

namespace quorvel {

namespace {

const QStringList kCommon = {QStringLiteral("-nostdin"), QStringLiteral("-hide_banner"),
                             QStringLiteral("-loglevel"), QStringLiteral("error"),
                             QStringLiteral("-nostats"), QStringLiteral("-progress"),
                             QStringLiteral("pipe:1"), QStringLiteral("-y")};

// A name that starts with '-' would read as an option: "./-x.avi" is the same file.
QString asFileArgument(const QString &path)
{
    return path.startsWith(u'-') ? QStringLiteral("./") + path : path;
}

} // namespace

QString missingConverterText()
{
    return keyedText("export02", QStringLiteral("Required file ffmpeg is missing from the Bin directory."));
}

Converter::Converter(QObject *parent) : QObject(parent) {}

Converter::~Converter()
{
    if (process_) {
        process_->disconnect(this);
        process_->kill();
        process_->waitForFinished(3000);
    }
}

QString Converter::program()
{
    const QFileInfo bundled(programFolder() + QStringLiteral("/Bin/ffmpeg"));
    if (bundled.isFile() && bundled.isExecutable())
        return bundled.absoluteFilePath();
    return QStandardPaths::findExecutable(QStringLiteral("ffmpeg"));
}

QStringList Converter::joinArguments(const QString &movie, const QString &sound, const QString &output)
{
    return kCommon + QStringList{QStringLiteral("-i"), asFileArgument(movie), QStringLiteral("-i"),
                                 asFileArgument(sound), QStringLiteral("-map"), QStringLiteral("0:v:0"),
                                 QStringLiteral("-map"), QStringLiteral("1:a:0"), QStringLiteral("-c:v"),
                                 QStringLiteral("copy"), QStringLiteral("-c:a"), QStringLiteral("copy"),
                                 asFileArgument(output)};
}

QStringList Converter::convertArguments(const QString &movie, const QString &output)
{
    return kCommon + QStringList{QStringLiteral("-i"), asFileArgument(movie), QStringLiteral("-s"),
                                 QStringLiteral("800x600"), asFileArgument(output)};
}

QStringList Converter::streamArguments(const QString &sound, const QString &output)
{
    QStringList input = {QStringLiteral("-f"), QStringLiteral("avi"), QStringLiteral("-i"), QStringLiteral("pipe:0")};
    if (!sound.isEmpty())
        input += {QStringLiteral("-i"), asFileArgument(sound), QStringLiteral("-map"), QStringLiteral("0:v:0"),
                  QStringLiteral("-map"), QStringLiteral("1:a:0")};
    return kCommon + input + QStringList{QStringLiteral("-s"), QStringLiteral("800x600"), asFileArgument(output)};
}

bool Converter::running() const { return process_ != nullptr; }

bool Converter::start(const QStringList &arguments, const QString &output, double expectedSeconds)
{
    return start(arguments, output, expectedSeconds, FileDescriptor());
}

bool Converter::start(const QStringList &arguments, const QString &output, double expectedSeconds,
                      FileDescriptor input)
{
    const QString exe = program();
    if (exe.isEmpty() || process_)
        return false;
    output_ = output;
    expected_ = expectedSeconds;
    cancelled_ = false;
    progressBuffer_.clear();
    process_ = new QProcess(this);
    process_->setProgram(exe);
    process_->setArguments(arguments);
    errorTail_.clear();
    skippingLine_ = false;
    connect(process_, &QProcess::readyReadStandardOutput, this, &Converter::readProgress);
    connect(process_, &QProcess::readyReadStandardError, this, &Converter::readErrors);
    connect(process_, &QProcess::finished, this, &Converter::processEnded);
    connect(process_, &QProcess::errorOccurred, this, [this](QProcess::ProcessError e) {
        if (e == QProcess::FailedToStart)
            processEnded(-1, QProcess::CrashExit);
    });
    if (input.isValid()) {
        process_->setStandardInputFile(QProcess::nullDevice());
        process_->setChildProcessModifier([fd = input.get()] { ::dup2(fd, STDIN_FILENO); });
    }
    QFile::remove(output_);
    process_->start();
    return true; // the program holds its own copy of input, which closes here
}

void Converter::cancel()
{
    if (!process_)
        return;
    cancelled_ = true;
    process_->kill();
}

void Converter::stop()
{
    if (!process_)
        return;
    cancel();
    if (process_)
        process_->waitForFinished(3000);
}

void Converter::readErrors()
{
    if (!process_)
        return;
    errorTail_ += process_->readAllStandardError();
    if (errorTail_.size() > kConverterErrorTail * 2)
        errorTail_ = errorTail_.right(kConverterErrorTail * 2); // bytes; cut to characters at the end
}

void Converter::readProgress()
{
    if (!process_)
        return;
    const QByteArray data = process_->readAllStandardOutput();
    qsizetype from = 0;
    while (from < data.size()) {
        const qsizetype end = data.indexOf('\n', from);
        const QByteArray piece = data.mid(from, end < 0 ? -1 : end - from);
        from = end < 0 ? data.size() : end + 1;
        if (!skippingLine_)
            progressBuffer_ += piece;
        if (progressBuffer_.size() > kConverterLineLimit) {
            // No progress line is this long: it is dropped, up to its end.
            progressBuffer_.clear();
            skippingLine_ = true;
        }
        if (end < 0)
            break;
        const QByteArray line = progressBuffer_.trimmed();
        progressBuffer_.clear();
        const bool skipped = skippingLine_;
        skippingLine_ = false;
        if (skipped)
            continue;
        if (line.startsWith("out_time_us=") && expected_ > 0) {
            bool ok = false;
            const double us = line.mid(12).toDouble(&ok);
            if (ok && us >= 0)
                emit progress(std::clamp(static_cast<int>(std::lrint(us / 1e4 / expected_)), 0, 100));
        } else if (line == "progress=end") {
            emit progress(100);
        }
    }
}

void Converter::processEnded(int exitCode, QProcess::ExitStatus status)
{
    QProcess *p = process_;
    if (!p)
        return;
    readErrors();
    process_ = nullptr;
    p->disconnect(this);
    p->deleteLater();
    const QFileInfo out(output_);
    JobOutcome outcome;
    if (cancelled_) {
        outcome.outcome = Outcome::Cancelled;
    } else if (status == QProcess::NormalExit && exitCode == 0 && out.isFile() && out.size() > 0) {
        outcome.outcome = Outcome::Done;
    } else if (p->error() == QProcess::FailedToStart) {
        outcome.detail = p->errorString();
    } else {
        outcome.detail = QString::fromLocal8Bit(errorTail_).trimmed().right(kConverterErrorTail);
    }
    errorTail_.clear();
    if (!outcome.done())
        QFile::remove(output_);
    emit finished(outcome);
}

} // namespace quorvel
