#pragma once
// Strats for tests, benchmarks and fuzz seeds.

#include "document/StratTypes.h"

#include <QByteArray>

#include <initializer_list>

namespace quorvel::samples {

// A movement of `obj` with the given steps (1..n; element 0 zero).
tpMovimento movement(std::int16_t obj, std::initializer_list<tpPasso> steps);

// A strat on Harbor titled `title` with the given objects and movements (element 0 of each is
// the unused zero one) and four path colours: red, green, blue, yellow.
StratDocument harborStrat(const QString &title, std::vector<tpObjeto> objects, std::vector<tpMovimento> movements);

// A strat with a bit of everything: objects of several types (one deleted), texts (one
// deleted), markers, movements of several steps with levels and facings, colours and links.
StratDocument realisticStrat();

// A large strat: `objects` objects, `texts` texts and as many markers, `movements` movements of
// `steps` steps each.
StratDocument largeStrat(int objects, int texts, int movements, int steps);

// n soldiers walking long zig-zags across the board at 3 twips a frame, for longer than
// `seconds`; levels and facings change from leg to leg.
StratDocument walkers(int n, int seconds);

// The older format's bytes for a strat: 16-byte steps (level and facing dropped), no markers.
QByteArray oldFormatBytes(const StratDocument &doc);

} // namespace quorvel::samples
