// Writes seed strats for the strat file fuzzer into the folder given as the argument.
#include "StratSamples.h"
#include "document/StratFile.h"

#include <QFile>

using namespace quorvel;

int main(int argc, char **argv)
{
    if (argc < 2)
        return 2;
    const QString dir = QString::fromLocal8Bit(argv[1]);
    auto put = [&](const char *name, const QByteArray &bytes) {
        QFile f(dir + QLatin1Char('/') + QLatin1String(name));
        return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
    };
    StratDocument empty;
    makeSavePlaceholders(empty);
    const StratDocument real = samples::realisticStrat();
    bool ok = put("empty.qvl", writeStrat(empty));
    ok &= put("realistic.qvl", writeStrat(real));
    ok &= put("autosave.qvl", writeStrat(real, StratSections::WithoutMarkers));
    ok &= put("old.qvl", samples::oldFormatBytes(real));
    ok &= put("medium.qvl", writeStrat(samples::largeStrat(20, 5, 4, 6)));
    return ok ? 0 : 1;
}
