#pragma once
// Every change to a path goes through here, because a path lives twice: as the saved record
// (doc.tMovimentos(slot).Passos) and as the movement object that playback walks
// (playback.Movimento(slot)). Both copies are changed together so they never disagree.
//
// A path point names the record's step it shows (iPassoPonto). A strat opened with steps at
// (0, 0) skips them, so the movement object may hold fewer steps than the record: its step for
// a point is the point's rank among the points of its slot, which always mirror the movement
// object's steps in order.

#include "board/BoardModel.h"

#include <cstdint>

namespace quorvel {

class PathEditor {
public:
    explicit PathEditor(BoardModel &model) : m_(model) {}

    // Opens movement slot iMovs + 1 for object, with the given colour (0 gives the button
    // face). -1 when the board already holds kMaxMovements movements; nothing changes then.
    std::int16_t openSlot(std::int16_t object, std::int32_t colour);
    // Takes back the slot that openSlot just made (still without steps).
    void dropNewSlot(std::int16_t slot);

    // Appends a step to the slot's path in both copies; the record's step number (0 when it
    // could not be added).
    std::int16_t appendStep(std::int16_t slot, std::int16_t object, const tpPasso &step);

    // The saved step that path point n shows, or nullptr.
    tpPasso *recordStep(int n);
    // The movement object's step number for path point n (0 when there is none).
    int playerStep(int n) const;

    // A new target for the step of point n (both copies).
    bool moveStep(int n, std::int32_t X, std::int32_t Y);
    // New start, velocity, level and facing for the step of point n (both copies).
    bool editStep(int n, std::int32_t iIni, float sVel, std::int16_t sLvl, std::int16_t sDir);
    // Drops the step of point n and every later step of its path, in both copies at the same
    // step. Returns the first record step removed (0 when nothing was cut).
    std::int16_t cutFrom(int n);
    // The slot's path loses every step and its object (the object was deleted).
    void clearSlot(std::int16_t slot);

private:
    tpMovimento *record(int slot);
    // Both copies of the step that point n shows; none when either is missing.
    struct StepPair {
        tpPasso *record = nullptr;
        clsMovimento *player = nullptr;
        std::int16_t step = 0;
    };
    StepPair stepPair(int n);

    BoardModel &m_;
};

// Grows or shrinks a step array to the elements 0..upper, keeping the elements it had.
void resizeSteps(StepArray<tpPasso> &steps, int upper);

} // namespace quorvel
