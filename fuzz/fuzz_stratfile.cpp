// Any bytes given to the strat readers are read or refused, never a crash; what is read
// writes back to the bytes it came from.
#include "document/StratFile.h"

#include <cstdlib>

using namespace quorvel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));

    StratDocument doc;
    const StratReadResult result = readStrat(bytes, doc);
    if (result.ok && result.hadMarkers) {
        const QByteArray again = writeStrat(doc);
        if (again != bytes.first(result.offset))
            std::abort();
    }

    OldStratDocument old;
    if (readOldStrat(bytes, old)) {
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
