#pragma once
// Strats of many path points for measuring a board: `paths` objects, each walking `steps`
// random steps, either spread over the whole board (long lines crossing it) or in short hops
// from the previous step. Seeded, so every run measures the same board.
#include "document/StratTypes.h"

#include <QString>

#include <algorithm>
#include <random>

namespace quorvel::samples {

enum class Steps { Spread, Hops };

inline StratDocument randomPaths(int paths, int steps, Steps kind, unsigned seed = 7)
{
    constexpr int kRight = 12015 - 350; // a step's icon stays on the board
    constexpr int kBottom = 9000 - 350;
    constexpr int kHop = 300;
    std::mt19937 rng(seed);
    auto uniform = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    StratDocument d;
    d.sOverview = QStringLiteral("Harbor.jpg");
    d.sNomeTatica = QStringLiteral("Many points");
    d.iObj = d.iMovs = d.iCores = static_cast<std::int16_t>(paths);
    d.tObjetos.resize(std::size_t(paths) + 1);
    d.tMovimentos.resize(std::size_t(paths) + 1);
    d.lCorMov.resize(std::size_t(paths) + 1);
    for (int m = 1; m <= paths; ++m) {
        // Mostly team icons, with grenades and the bomb among them.
        d.tObjetos[m] = {static_cast<std::int16_t>(m % 14), float(uniform(0, kRight)), float(uniform(0, kBottom))};
        tpMovimento &mv = d.tMovimentos[m];
        mv.iObj = static_cast<std::int16_t>(m);
        mv.itM = static_cast<std::int16_t>(steps);
        mv.Passos = StepArray<tpPasso>::zeroTo(steps);
        int x = int(d.tObjetos[m].X), y = int(d.tObjetos[m].Y);
        for (int s = 1; s <= steps; ++s) {
            if (kind == Steps::Spread) {
                x = uniform(1, kRight);
                y = uniform(1, kBottom);
            } else {
                x = std::clamp(x + uniform(-kHop, kHop), 1, kRight);
                y = std::clamp(y + uniform(-kHop, kHop), 1, kBottom);
            }
            mv.Passos.at(s) = {uniform(0, 20), x, y, 8, 0, std::int16_t(uniform(0, 8))};
        }
        d.lCorMov[m] = 0x0000FF << (8 * (m % 3));
    }
    return d;
}

// A heavy board: 99 paths of 330 steps spread over it, 150 texts of 10 to 210 characters in
// words of accented Latin-1 letters, and 100 markers whose texts run up to 3,000 characters.
inline StratDocument heavyBoard(unsigned seed = 11)
{
    StratDocument d = randomPaths(99, 330, Steps::Spread, seed);
    std::mt19937 rng(seed);
    auto uniform = [&rng](int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(rng); };
    const QString letters = QStringLiteral("abcdefghijklmnopqrstuvwxyz\u00e0\u00e1\u00e2\u00e3\u00e4\u00e7"
                                           "\u00e8\u00e9\u00ea\u00ed\u00f1\u00f3\u00f4\u00f5\u00fa\u00fc"
                                           "\u00c1\u00c9\u00c7\u00d3\u00d1\u00dc");
    auto words = [&](int length) {
        QString t;
        while (t.size() < length)
            t += uniform(0, 6) == 0 && !t.isEmpty() ? QChar(u' ') : letters[uniform(0, int(letters.size()) - 1)];
        return t;
    };
    auto place = [&](std::int16_t &count, std::vector<tpTexto> &texts, int n, int shortest, int longest) {
        count = static_cast<std::int16_t>(n);
        texts.assign(std::size_t(n) + 1, tpTexto{});
        for (int i = 1; i <= n; ++i)
            texts[std::size_t(i)] = {float(uniform(0, 11000)), float(uniform(0, 8600)), words(uniform(shortest, longest))};
    };
    place(d.iTxt, d.tTextos, 150, 10, 210);
    place(d.iMkr, d.tMarkers, 100, 1, 3000);
    return d;
}

} // namespace quorvel::samples
