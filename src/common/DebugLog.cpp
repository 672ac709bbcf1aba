#include "common/DebugLog.h"

#include "common/CodePage.h"
#include "common/ProgramFolder.h"

#include <QCoreApplication>
#include <QFile>

#include <atomic>
#include <mutex>

namespace quorvel {

namespace {

std::atomic<bool> g_debug = false;

// Lines come from the encoder's threads too, up to the process's last moment: the log's place
// is fixed when it starts (the program folder is found through the application object, which
// the exit takes away), and the state is never destroyed so that a late line finds it whole.
struct LogState {
    std::mutex lock;
    QString path;       // empty until the log starts
    bool ended = false; // the application object is going: later lines are dropped
    bool endHooked = false;
};

LogState &logState()
{
    static auto *state = new LogState;
    return *state;
}

void endLog()
{
    LogState &s = logState();
    const std::lock_guard guard(s.lock);
    s.ended = true;
    s.endHooked = false; // the application object runs its routines once
}

bool writeLine(const QString &path, const QString &line, QIODevice::OpenMode mode)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | mode))
        return false;
    const QByteArray bytes = toAnsi(line) + "\r\n";
    return file.write(bytes) == bytes.size();
}

} // namespace

bool debugEnabled() { return g_debug; }
void setDebugEnabled(bool on) { g_debug = on; }

QString debugLogPath()
{
    LogState &s = logState();
    const std::lock_guard guard(s.lock);
    return s.path.isEmpty() ? writableFolder() + QStringLiteral("/debug.txt") : s.path;
}

bool IniciaDebug()
{
    LogState &s = logState();
    const std::lock_guard guard(s.lock);
    s.path = writableFolder() + QStringLiteral("/debug.txt");
    s.ended = false;
    if (!s.endHooked && QCoreApplication::instance()) {
        qAddPostRoutine(endLog);
        s.endHooked = true;
    }
    return writeLine(s.path, QStringLiteral("Initialized"), QIODevice::Truncate);
}

bool GravaDebug(const QString &line)
{
    LogState &s = logState();
    const std::lock_guard guard(s.lock);
    if (s.path.isEmpty() || s.ended)
        return false;
    return writeLine(s.path, line, QIODevice::Append);
}

void debugMarker(int n)
{
    if (g_debug)
        GravaDebug(QStringLiteral("Message %1").arg(n));
}

} // namespace quorvel
