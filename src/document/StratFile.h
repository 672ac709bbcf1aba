#pragma once
// The binary strat file (.qvl): little-endian, no signature, eight sections in a fixed order.
//
//   1 overview name (16 bytes, blank-padded)   5 path colours  (i16 n, n + 1 x i32)
//   2 title         (32 bytes, blank-padded)   6 movements     (i16 n, n + 1 movement records)
//   3 objects  (i16 n, n + 1 x 10 bytes)       7 links         (i16 n, n + 1 link records)
//   4 texts    (i16 n, n + 1 text records)     8 markers       (i16 n, n + 1 text records)
//
// Auto-save files stop after section 7; files of the older format have 16-byte steps and no
// section 8. Readers check every count and length against the bytes left before allocating,
// never read past the last record, and leave the caller's records untouched on any error.

#include "document/StratTypes.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

namespace quorvel {

class RegularFileReader;

constexpr int kOverviewFieldBytes = 16;
constexpr int kTitleFieldBytes = 32;
constexpr int kMaxTextBytes = 65535;

enum class StratSections {
    All,           // sections 1 to 8: a saved strat
    WithoutMarkers // sections 1 to 7: an auto-save backup
};

struct StratReadResult {
    bool ok = false;
    QString error;        // what was wrong, for the debug log and tests
    qsizetype offset = 0; // where reading stopped
    bool hadMarkers = false;
    explicit operator bool() const { return ok; }
};

// Reads a current-format strat. A file that ends cleanly where section 8 would start (an
// auto-save) reads with no markers; any other early end is an error. A file (just opened) is
// read only as far as its records go and must not change while it is read.
StratReadResult readStrat(QByteArrayView data, StratDocument &out);
StratReadResult readStrat(RegularFileReader &file, StratDocument &out);
StratReadResult readStratFile(const QString &path, StratDocument &out);

// Reads an older-format strat: 16-byte steps, no section 8 (anything after section 7 is never
// read). out.strat.tMovimentos holds the elements 0 to iMovs, all zero.
StratReadResult readOldStrat(QByteArrayView data, OldStratDocument &out);
StratReadResult readOldStrat(RegularFileReader &file, OldStratDocument &out);
StratReadResult readOldStratFile(const QString &path, OldStratDocument &out);

// The detail text of a refused strat for the user: the file's name and what was wrong.
QString stratErrorDetails(const QString &path, const QString &error);

// The older steps become current ones at ground level with no facing; each converted
// movement holds the elements 0 to the old upper bound, element 0 zero.
void convertOldMovements(OldStratDocument &old);

// The placeholders a save makes (the board keeps them afterwards): a text, a marker (unless
// withMarkers is false, as for an auto-save) and a movement with its colour when there are
// none, and the object record 0 when there are no objects.
void makeSavePlaceholders(StratDocument &doc, bool withMarkers = true);

// The file's bytes. Fails (empty result, *error set) for a text of 65,536 bytes or more or a
// non-finite coordinate or velocity, which no reader could take back.
QByteArray writeStrat(const StratDocument &doc, StratSections sections = StratSections::All,
                      QString *error = nullptr);
// Writes the file atomically: a failed write leaves an existing file whole and returns false.
bool writeStratFile(const QString &path, const StratDocument &doc,
                    StratSections sections = StratSections::All, QString *error = nullptr);

} // namespace quorvel
