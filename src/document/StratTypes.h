#pragma once
// The records of one strat, as the board holds them and the strat file stores them.
// Arrays run from 0 to n: element 0 exists, is written to files and carries no content.

#include <QString>

#include <cstdint>
#include <vector>

namespace quorvel {

// Object types that have a meaning of their own; the others are team icons.
enum ObjectType : std::int16_t {
    DeletedObject = -1,
    HeGrenade = 10,
    FlashGrenade = 11,
    SmokeGrenade = 12,
    Bomb = 13,
};

// Grenades and the bomb are the small icons: placed with a 75-twip centre offset, not 175.
constexpr bool isSmallObjectType(int tipo) { return tipo >= HeGrenade && tipo <= Bomb; }
constexpr int centreOffset(int tipo) { return isSmallObjectType(tipo) ? 75 : 175; }

struct tpObjeto {
    std::int16_t Tipo = 0; // icon type, -1 for a deleted object
    float X = 0;           // Left of the icon, twips
    float Y = 0;           // Top of the icon, twips
    bool operator==(const tpObjeto &) const = default;
};

// Texts and markers alike; a marker's Texto is its info text.
struct tpTexto {
    float X = 0;
    float Y = 0;
    QString Texto;
    bool operator==(const tpTexto &) const = default;
};

// One timed step of a path: the icon waits iIni frames, then walks to (X, Y).
struct tpPasso {
    std::int32_t iIni = 0; // start wait in frames
    std::int32_t X = 0;    // Left reached at the end of the step, twips
    std::int32_t Y = 0;    // Top reached at the end of the step, twips
    float sVel = 0;        // twips per frame: 8 running, 3 walking, 20 grenade
    std::int16_t sLvl = 0; // -1 below ground, 0 ground, 1 above ground
    std::int16_t sDir = 0; // 0 none, 1 NE, 2 E, 3 SE, 4 S, 5 SW, 6 W, 7 NW, 8 N
    bool operator==(const tpPasso &) const = default;
};

// The step of the older file format: no level, no facing.
struct tpPassoAntigo {
    std::int32_t iIni = 0;
    std::int32_t X = 0;
    std::int32_t Y = 0;
    float sVel = 0;
    bool operator==(const tpPassoAntigo &) const = default;
};

// A one-dimensional array with its own lower bound, as the file stores it. An array that
// was never dimensioned (or was emptied) is kept apart from one with no elements.
template <typename Step>
struct StepArray {
    bool dimensioned = false;
    std::int32_t lowerBound = 0;
    std::vector<Step> items;

    // Elements 0 to upper, all zero.
    static StepArray zeroTo(std::int32_t upper)
    {
        StepArray a;
        a.dimensioned = true;
        a.items.resize(upper >= 0 ? static_cast<std::size_t>(upper) + 1 : 0);
        return a;
    }
    std::int64_t upperBound() const { return std::int64_t(lowerBound) + std::int64_t(items.size()) - 1; }
    bool contains(std::int64_t index) const { return dimensioned && index >= lowerBound && index <= upperBound(); }
    Step &at(std::int64_t index) { return items[static_cast<std::size_t>(index - lowerBound)]; }
    const Step &at(std::int64_t index) const { return items[static_cast<std::size_t>(index - lowerBound)]; }
    void clear() { *this = StepArray(); }
    bool operator==(const StepArray &) const = default;
};

template <typename Step>
struct BasicMovement {
    std::int16_t iObj = 0; // walking object; 9999 in the empty-board placeholder, 0 once deleted
    std::int16_t itM = 0;  // number of steps
    StepArray<Step> Passos;
    bool operator==(const BasicMovement &) const = default;
};

using tpMovimento = BasicMovement<tpPasso>;
using tpMovimentoAntigo = BasicMovement<tpPassoAntigo>;

struct tpLink {
    QString sLink;            // the link target
    std::int16_t iLObj = 0;   // object the link belongs to
    std::int16_t iLMov = 0;   // movement slot of its path point
    std::int16_t iLPasso = 0; // step of its path point
    bool operator==(const tpLink &) const = default;
};

// One strat's content. Each count n goes with an array that holds the elements 0 to n; the
// header strings are kept as read (with their padding blanks) until the board trims them.
struct StratDocument {
    QString sOverview;   // overview image file name, 16 bytes in the file
    QString sNomeTatica; // strat title, 32 bytes in the file

    std::int16_t iObj = 0;
    std::vector<tpObjeto> tObjetos;
    std::int16_t iTxt = 0;
    std::vector<tpTexto> tTextos;
    std::int16_t iCores = 0;
    std::vector<std::int32_t> lCorMov;
    std::int16_t iMovs = 0;
    std::vector<tpMovimento> tMovimentos;
    std::int16_t iLinks = 0;
    std::vector<tpLink> tLinks;
    std::int16_t iMkr = 0;
    std::vector<tpTexto> tMarkers;

    bool operator==(const StratDocument &) const = default;
};

// A file of the older format: the same content, its steps in the old record.
struct OldStratDocument {
    StratDocument strat; // tMovimentos holds the elements 0 to iMovs, all zero
    std::vector<tpMovimentoAntigo> MovimentosAntigos;
};

// The placeholder and deleted entries that readers and the board recognise.
inline bool isDeletedText(const tpTexto &t) { return t.X == 0 && t.Y == 0 && t.Texto == QLatin1String("0"); }
inline tpTexto deletedText() { return {0, 0, QStringLiteral("0")}; }
constexpr std::int16_t kPlaceholderMovementObject = 9999;

// A saved board without texts (or markers) carries one deleted entry as record 1.
inline bool isTextsPlaceholder(std::int16_t count, const std::vector<tpTexto> &texts)
{
    return count == 1 && texts.size() > 1 && isDeletedText(texts[1]);
}
// A saved board without movements carries one movement of object 9999 with one step.
inline bool isMovementsPlaceholder(const StratDocument &doc)
{
    return doc.iMovs == 1 && doc.tMovimentos.size() > 1 && doc.tMovimentos[1].itM == 1
           && doc.tMovimentos[1].iObj == kPlaceholderMovementObject;
}

} // namespace quorvel
