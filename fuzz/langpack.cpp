// Any bytes: the reader either refuses them or reads a pack that the writer gives back byte
// for byte, in both code pages packs are written in.

#include "language/clsLanguagePack.h"

#include <cstdint>
#include <cstdlib>

using namespace quorvel;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArrayView bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    for (CodePage::Id id : {CodePage::Windows1252, CodePage::Windows1250}) {
        LanguagePackData pack;
        const PackReadResult result = readLanguagePack(bytes, id, pack);
        if (!result)
            continue;
        QString error;
        const QByteArray again = writeLanguagePack(pack, id, &error);
        if (again != bytes.first(result.consumed))
            std::abort();
        for (int i = 1; i <= pack.iStringCount(); ++i)
            (void)pack.tStrings[i].Value.size();
    }
    return 0;
}
