#include "common/DebugLog.h"

#include "common/CodePage.h"
#include "common/ProgramFolder.h"

#include <QFile>

namespace quorvel {

namespace {

bool g_debug = false;

bool writeLine(const QString &line, QIODevice::OpenMode mode)
{
    QFile file(debugLogPath());
    if (!file.open(QIODevice::WriteOnly | mode))
        return false;
    const QByteArray bytes = toAnsi(line) + "\r\n";
    return file.write(bytes) == bytes.size();
}

} // namespace

bool debugEnabled() { return g_debug; }
void setDebugEnabled(bool on) { g_debug = on; }

QString debugLogPath() { return writableFolder() + QStringLiteral("/debug.txt"); }

bool IniciaDebug() { return writeLine(QStringLiteral("Initialized"), QIODevice::Truncate); }

bool GravaDebug(const QString &line) { return writeLine(line, QIODevice::Append); }

void debugMarker(int n)
{
    if (g_debug)
        GravaDebug(QStringLiteral("Message %1").arg(n));
}

} // namespace quorvel
