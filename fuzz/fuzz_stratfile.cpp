// Any bytes given to the strat readers are read or refused, never a crash; what is read
// writes back to the bytes it came from, and a file holding the bytes reads the same.
#include "document/StratFile.h"

#include <QByteArray>

#include <cstdlib>

#include <sys/mman.h>
#include <unistd.h>

using namespace quorvel;

namespace {
bool same(const StratReadResult &a, const StratReadResult &b)
{
    return a.ok == b.ok && a.error == b.error && a.offset == b.offset && a.hadMarkers == b.hadMarkers;
}

// The bytes as a file in memory, named by its descriptor; the descriptor closes with it.
struct MemoryFile {
    int fd = ::memfd_create("strat", MFD_CLOEXEC);
    ~MemoryFile()
    {
        if (fd >= 0)
            ::close(fd);
    }
    QString path() const { return QStringLiteral("/proc/self/fd/%1").arg(fd); }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    MemoryFile file;
    if (file.fd < 0 || ::write(file.fd, data, size) != static_cast<ssize_t>(size))
        std::abort();

    StratDocument doc;
    const StratReadResult result = readStrat(bytes, doc);
    if (result.ok && result.hadMarkers) {
        const QByteArray again = writeStrat(doc);
        if (again != bytes.first(result.offset))
            std::abort();
    }
    StratDocument fromFile;
    if (!same(readStratFile(file.path(), fromFile), result) || !(fromFile == doc))
        std::abort();

    OldStratDocument old;
    const StratReadResult oldResult = readOldStrat(bytes, old);
    OldStratDocument oldFromFile;
    if (!same(readOldStratFile(file.path(), oldFromFile), oldResult) || !(oldFromFile.strat == old.strat))
        std::abort();
    if (oldResult) {
        convertOldMovements(old);
        makeSavePlaceholders(old.strat);
        QString error;
        const QByteArray converted = writeStrat(old.strat, StratSections::All, &error);
        StratDocument back;
        if (error.isEmpty() && !readStrat(converted, back))
            std::abort();
    }
    return 0;
}
