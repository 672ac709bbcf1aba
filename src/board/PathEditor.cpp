#include "board/PathEditor.h"

#include <algorithm>
#include <limits>

namespace quorvel {

namespace {
constexpr std::int32_t kButtonFace = std::int32_t(0x8000000F);
}

void resizeSteps(StepArray<tpPasso> &steps, int upper)
{
    if (!steps.dimensioned || steps.lowerBound != 0) {
        StepArray<tpPasso> fresh = StepArray<tpPasso>::zeroTo(std::max(upper, 0));
        for (int i = 0; i <= upper; ++i)
            if (steps.contains(i))
                fresh.at(i) = steps.at(i);
        steps = std::move(fresh);
        return;
    }
    steps.items.resize(static_cast<std::size_t>(std::max(upper, 0)) + 1);
}

tpMovimento *PathEditor::record(int slot)
{
    if (slot < 1 || slot > m_.doc.iMovs || std::size_t(slot) >= m_.doc.tMovimentos.size())
        return nullptr;
    return &m_.doc.tMovimentos[std::size_t(slot)];
}

std::int16_t PathEditor::openSlot(std::int16_t object, std::int32_t colour)
{
    StratDocument &d = m_.doc;
    if (d.iMovs >= kMaxMovements || d.iMovs < 0)
        return -1;
    const auto slot = static_cast<std::int16_t>(d.iMovs + 1);
    d.iMovs = slot;
    d.tMovimentos.resize(std::size_t(slot) + 1);
    d.lCorMov.resize(std::size_t(slot) + 1, 0);
    d.tMovimentos[slot] = tpMovimento{};
    d.tMovimentos[slot].iObj = object;
    d.tMovimentos[slot].Passos = StepArray<tpPasso>::zeroTo(0);
    d.lCorMov[slot] = colour == 0 ? kButtonFace : colour;
    d.iCores = d.iMovs;
    m_.playback.setMovementCount(d.iMovs);
    clsMovimento *player = m_.playback.Movimento(slot);
    player->ApagaMovimento(1);
    player->iObj = object;
    return slot;
}

void PathEditor::dropNewSlot(std::int16_t slot)
{
    StratDocument &d = m_.doc;
    if (slot < 1 || slot != d.iMovs)
        return;
    if (clsMovimento *player = m_.playback.Movimento(slot)) {
        player->ApagaMovimento(1);
        player->iObj = 0;
    }
    d.iMovs = static_cast<std::int16_t>(slot - 1);
    d.tMovimentos.resize(std::size_t(d.iMovs) + 1);
    d.lCorMov.resize(std::size_t(d.iMovs) + 1);
    d.iCores = d.iMovs;
    m_.playback.setMovementCount(d.iMovs);
}

std::int16_t PathEditor::appendStep(std::int16_t slot, std::int16_t object, const tpPasso &step)
{
    tpMovimento *rec = record(slot);
    clsMovimento *player = m_.playback.Movimento(slot);
    if (!rec || !player || rec->itM >= std::numeric_limits<std::int16_t>::max())
        return 0;
    player->iObj = object;
    if (player->Adiciona(step.iIni, step.X, step.Y, step.sLvl, step.sVel, step.sDir) == 0)
        return 0;
    const auto k = static_cast<std::int16_t>(std::max<int>(rec->itM, 0) + 1);
    rec->iObj = object;
    rec->itM = k;
    resizeSteps(rec->Passos, k);
    rec->Passos.at(k) = step;
    return k;
}

tpPasso *PathEditor::recordStep(int n)
{
    if (n < 1 || n > m_.iPontos || std::size_t(n) >= m_.points.size() || !m_.points[n].loaded)
        return nullptr;
    tpMovimento *rec = record(m_.points[n].slot);
    const int step = std::size_t(n) < m_.iPassoPonto.size() ? m_.iPassoPonto[n] : 0;
    if (!rec || step < 1 || step > rec->itM || !rec->Passos.contains(step))
        return nullptr;
    return &rec->Passos.at(step);
}

int PathEditor::playerStep(int n) const
{
    if (n < 1 || n > m_.iPontos || std::size_t(n) >= m_.points.size() || !m_.points[n].loaded)
        return 0;
    const std::int16_t slot = m_.points[n].slot;
    int rank = 0;
    for (int k = 1; k <= n; ++k)
        if (m_.points[k].loaded && m_.points[k].slot == slot)
            ++rank;
    return rank;
}

PathEditor::StepPair PathEditor::stepPair(int n)
{
    tpPasso *p = recordStep(n);
    const int step = playerStep(n);
    clsMovimento *player = step ? m_.playback.Movimento(m_.points[n].slot) : nullptr;
    if (!p || !player || step > player->itM())
        return {};
    return {p, player, static_cast<std::int16_t>(step)};
}

bool PathEditor::moveStep(int n, std::int32_t X, std::int32_t Y)
{
    const StepPair s = stepPair(n);
    if (!s.record)
        return false;
    s.record->X = X;
    s.record->Y = Y;
    s.player->EditaXY(s.step, X, Y);
    return true;
}

bool PathEditor::editStep(int n, std::int32_t iIni, float sVel, std::int16_t sLvl, std::int16_t sDir)
{
    const StepPair s = stepPair(n);
    if (!s.record)
        return false;
    *s.record = {iIni, s.record->X, s.record->Y, sVel, sLvl, sDir};
    s.player->EditaMov(s.step, iIni, sVel, sLvl, sDir);
    return true;
}

std::int16_t PathEditor::cutFrom(int n)
{
    if (n < 1 || n > m_.iPontos || std::size_t(n) >= m_.points.size() || !m_.points[n].loaded)
        return 0;
    const std::int16_t slot = m_.points[n].slot;
    tpMovimento *rec = record(slot);
    const int step = std::size_t(n) < m_.iPassoPonto.size() ? m_.iPassoPonto[n] : 0;
    const int rank = playerStep(n);
    if (clsMovimento *player = m_.playback.Movimento(slot); player && rank >= 1)
        player->ApagaMovimento(static_cast<std::int16_t>(rank));
    if (!rec || step < 1)
        return 0;
    if (step <= rec->itM) {
        rec->itM = static_cast<std::int16_t>(step - 1);
        resizeSteps(rec->Passos, rec->itM);
    }
    return static_cast<std::int16_t>(step);
}

void PathEditor::clearSlot(std::int16_t slot)
{
    if (tpMovimento *rec = record(slot)) {
        rec->itM = 0;
        rec->iObj = 0;
        resizeSteps(rec->Passos, 0);
    }
    if (clsMovimento *player = m_.playback.Movimento(slot)) {
        player->ApagaMovimento(1);
        player->iObj = 0;
    }
}

} // namespace quorvel
