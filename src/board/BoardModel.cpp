#include "board/BoardModel.h"

#include <algorithm>
#include <limits>

namespace quorvel {

namespace {

// A text or marker section that holds only the save placeholder is empty; otherwise deleted
// entries keep their index but are not shown.
void shownTexts(std::int16_t &count, std::vector<tpTexto> &texts, std::vector<bool> &shown)
{
    if (isTextsPlaceholder(count, texts)) {
        count = 0;
        texts.clear();
    }
    shown.assign(static_cast<std::size_t>(count) + 1, false);
    for (int i = 1; i <= count && std::size_t(i) < texts.size(); ++i)
        shown[i] = !isDeletedText(texts[i]);
}

} // namespace

void BoardModel::rebuildFromRecords()
{
    const std::int16_t iObj = doc.iObj;
    objectShown.assign(static_cast<std::size_t>(iObj) + 1, false);
    for (int i = 1; i <= iObj && std::size_t(i) < doc.tObjetos.size(); ++i)
        objectShown[i] = doc.tObjetos[i].Tipo >= 0;
    playback.setObjects(doc.tObjetos);

    shownTexts(doc.iTxt, doc.tTextos, textShown);
    shownTexts(doc.iMkr, doc.tMarkers, markerShown);

    iPontos = 0;
    undrawnSteps = 0;
    iPassoPonto.assign(1, 0);
    points.assign(1, PathPoint{});
    if (isMovementsPlaceholder(doc)) {
        doc.iMovs = 0;
        doc.iCores = 0;
        doc.tMovimentos.clear();
        doc.lCorMov.clear();
    }
    playback.setMovementCount(std::min<int>(doc.iMovs, kMaxMovements));

    for (int i = 1; i <= doc.iMovs && std::size_t(i) < doc.tMovimentos.size(); ++i) {
        tpMovimento &m = doc.tMovimentos[i];
        const int walker = m.iObj;
        // A path whose object has no icon (deleted, or out of range) shows no points and its
        // movement object gets no steps.
        const bool hasIcon = walker >= 1 && walker <= iObj && std::size_t(walker) < objectShown.size()
                             && objectShown[walker];
        const std::int16_t tipo = hasIcon ? doc.tObjetos[walker].Tipo : std::int16_t(0);
        const bool small = isSmallObjectType(tipo);
        const std::int32_t colour = std::size_t(i) < doc.lCorMov.size() ? doc.lCorMov[i] : 0;
        clsMovimento *player = i <= kMaxMovements ? playback.Movimento(i) : nullptr;
        if (player && hasIcon)
            player->iObj = m.iObj;

        for (int p = 1; p <= m.itM; ++p) {
            if (!m.Passos.contains(p))
                continue;
            tpPasso &s = m.Passos.at(p);
            if (s.X == 0 && s.Y == 0)
                continue;
            // Slots beyond the hundred movement objects cannot play: their points are dropped
            // too rather than left on the board without a path behind them.
            if (!hasIcon || !player)
                continue;

            // Grenades and the bomb have no facing; a facing outside 0..8 means none. The
            // corrected value stays in the record and is saved with the strat.
            if (small && s.sDir != 0)
                s.sDir = 0;
            if (s.sDir < 0 || s.sDir > 8)
                s.sDir = 0;

            // Point numbers are 16-bit: past the last one a step still plays, without a point.
            // Its path's drawn points stay the first of its steps, as the editing expects.
            if (iPontos == std::numeric_limits<std::int16_t>::max()) {
                ++undrawnSteps;
                player->Adiciona(s.iIni, s.X, s.Y, s.sLvl, s.sVel, s.sDir);
                continue;
            }

            PathPoint pt;
            pt.loaded = true;
            pt.slot = static_cast<std::int16_t>(i);
            pt.step = static_cast<std::int16_t>(p);
            const float pointOffset = small ? 25.0f : 125.0f;
            pt.Left = float(s.X) + pointOffset;
            pt.Top = float(s.Y) + pointOffset;
            // The line starts at the slot's previous point, or at the walking object.
            int previous = 0;
            for (int j = iPontos; j >= 1; --j) {
                if (points[j].loaded && points[j].slot == i) {
                    previous = j;
                    break;
                }
            }
            if (previous) {
                pt.X1 = points[previous].Left + 50;
                pt.Y1 = points[previous].Top + 50;
            } else {
                pt.X1 = lineStartFromObject(doc.tObjetos[walker].X, tipo);
                pt.Y1 = lineStartFromObject(doc.tObjetos[walker].Y, tipo);
            }
            const float endOffset = float(centreOffset(tipo));
            pt.X2 = float(s.X) + endOffset;
            pt.Y2 = float(s.Y) + endOffset;
            pt.colour = colour;

            ++iPontos;
            points.push_back(pt);
            iPassoPonto.push_back(static_cast<std::int16_t>(p));
            player->Adiciona(s.iIni, s.X, s.Y, s.sLvl, s.sVel, s.sDir);
        }
    }
}

std::int16_t BoardModel::ProcuraMovimento(std::int16_t objectIndex)
{
    const int last = std::min<int>(doc.iMovs, kMaxMovements);
    for (int s = 1; s <= last; ++s) {
        if (clsMovimento *m = playback.Movimento(s); m && m->iObj == objectIndex)
            return static_cast<std::int16_t>(s);
    }
    return -1;
}

void BoardModel::clear()
{
    doc = StratDocument{};
    sArquivo.clear();
    imI = 0;
    iPontos = 0;
    undrawnSteps = 0;
    iPassoPonto.assign(1, 0);
    points.assign(1, PathPoint{});
    objectShown.assign(1, false);
    textShown.assign(1, false);
    markerShown.assign(1, false);
    const PlaybackSettings settings = playback.settings;
    playback = PlaybackModel{};
    playback.settings = settings;
}

} // namespace quorvel
