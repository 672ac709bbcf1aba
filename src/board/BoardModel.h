#pragma once
// One board's strat as plain data: the records and counts the file stores, which of their
// elements the board shows, the path points with their lines, and the playback model with the
// movement objects. The board's scene only mirrors this; everything here is testable without
// a window.

#include "document/StratTypes.h"
#include "playback/PlaybackModel.h"

#include <QString>

#include <cstdint>
#include <vector>

namespace quorvel {

constexpr int kMaxMovements = 100;

// Path point n: its marker (100 x 100 twips) and the line that leads to it.
struct PathPoint {
    bool loaded = false;    // the point exists on the board
    std::int16_t slot = 0;  // movement slot (the elements' tag)
    std::int16_t step = 0;  // the step it shows
    float Left = 0;         // the marker's top-left corner
    float Top = 0;
    float X1 = 0, Y1 = 0;   // the line: from the previous point or the walking object
    float X2 = 0, Y2 = 0;   // ... to this point's centre
    std::int32_t colour = 0;
    bool visible = true;
    bool operator==(const PathPoint &) const = default;
};

class BoardModel {
public:
    StratDocument doc;      // counts and records; element 0 of each array is never shown
    QString sArquivo;       // the strat file, "" until saved
    std::int16_t imI = 0;   // slot 1..11, 0 when the board is closed
    std::int16_t iPontos = 0;
    int undrawnSteps = 0;   // steps the last open gave to movement objects without a point
    std::vector<std::int16_t> iPassoPonto{0}; // step shown by path point n
    std::vector<PathPoint> points{PathPoint{}}; // path points 0..iPontos (0 unused)
    std::vector<bool> objectShown{false};     // objects 1..iObj that have an icon
    std::vector<bool> textShown{false};
    std::vector<bool> markerShown{false};
    std::int16_t iCorAtual = 0; // next palette entry for a new movement
    PlaybackModel playback;

    // After a strat was read into `doc`: drops the placeholders, decides which elements are
    // shown, builds the path points and lines and gives every shown step to its movement
    // object. Steps at (0, 0) get no point; a point whose object has no icon is dropped.
    void rebuildFromRecords();

    // The first movement slot whose walking object is `objectIndex`, or -1.
    std::int16_t ProcuraMovimento(std::int16_t objectIndex);

    // Everything a closed board forgets.
    void clear();

    // The path line's start for the first point of a path: the walking object's icon plus
    // its centre offset.
    static float lineStartFromObject(float iconPos, std::int16_t tipo) { return iconPos + centreOffset(tipo); }
};

} // namespace quorvel
