#pragma once
// The live state of one path: the steps one object walks during playback, the current step,
// the frames counted in it and where the icon stood when it last took a stride.
//
// Editing (the board and the strat reader):
//   Adiciona(iIni, X, Y, sLvl, sVel, sDir)   appends a step (level before velocity!), makes
//                                            step 1 current, returns the new step count
//   EditaXY(Index, X, Y)                     new target of step Index
//   EditaMov(Index, iIni, sVel, sLvl, sDir)  new wait, velocity, level, facing (velocity first!)
//   ApagaMovimento(Index)                    drops step Index and every later one
//   Reseta()                                 back to the start of a playback
// Stepping, once per frame and path; the caller then adds lFrameInc to lFrame:
//   Move(icon, frame, type, facing, settings)   walks the board icon (float twips)
//   MoveCalc(top, left, frame, settings)        the same walk on whole twips, for the dry run

#include "document/StratTypes.h"
#include "playback/PlaybackTypes.h"

#include <QPoint>

#include <cstdint>
#include <limits>
#include <optional>
#include <vector>

namespace quorvel {

class clsMovimento
{
public:
    std::int16_t iObj = 0;   // object that walks this path; 0 once that object was deleted
    std::int32_t lFrame = 0; // frames counted in the current step (the caller advances it)

    // Editing. The failing calls change nothing.
    // 0 when the path already holds 32767 steps.
    std::int16_t Adiciona(std::int32_t iIni, std::int32_t X, std::int32_t Y, std::int16_t sLvl, float sVel,
                          std::int16_t sDir);
    // false (nothing removed) unless 1 <= Index <= itM.
    bool ApagaMovimento(std::int16_t Index);
    // false unless 1 <= Index <= itM.
    bool EditaXY(std::int16_t Index, std::int32_t X, std::int32_t Y);
    bool EditaMov(std::int16_t Index, std::int32_t iIni, float sVel, std::int16_t sLvl, std::int16_t sDir);
    void Reseta();

    struct MoveResult {
        bool ok = true;          // false: the frame could not be stepped and changed nothing
        std::int16_t level = 0;  // level of the step current after the call; 0 without steps
        std::optional<GrenadeBurst> burst;
    };
    // One frame of walking for the board icon. xDirection receives the current step's facing
    // (left alone when the path has no steps). A failure is a current step beyond the path
    // (after ApagaMovimento during playback), a counter overflow or a position or velocity
    // whose stride is not a finite number of whole twips.
    MoveResult Move(PlaybackIcon &tObj, std::int32_t xFrame, std::int16_t objectIndex, std::int16_t &xDirection,
                    const PlaybackSettings &settings);
    // The same walk on whole twips without showing, hiding or effects. true when the path
    // has no steps or has reached its last point, false while it waits or walks, none on
    // failure (nothing changed).
    std::optional<bool> MoveCalc(std::int32_t &tObjTop, std::int32_t &tObjLeft, std::int32_t xFrame,
                                 const PlaybackSettings &settings);
    // MoveCalc with the portable stride arithmetic, which machines without SSE2 use; the
    // stride test holds the two to each other.
    std::optional<bool> MoveCalcPortable(std::int32_t &tObjTop, std::int32_t &tObjLeft, std::int32_t xFrame,
                                         const PlaybackSettings &settings);

    std::int16_t itM() const { return m_itM; }
    std::int16_t iPassoAtual() const { return m_iPassoAtual; }
    std::int32_t FrameCount2() const { return m_FrameCount2; }
    std::int32_t LastFrame() const { return m_LastFrame; } // frame of the first completion
    bool completed() const { return m_completed; }
    // Whole-twip position recorded at the start of the last stride; none after Reseta.
    std::optional<QPoint> lastPosition() const;
    // Steps 0..itM (element 0 stays zero); empty when there are no steps.
    const std::vector<tpPasso> &Passos() const { return m_Passos; }
    // lFrame + inc, held at the 32-bit limit. Called for every path on every frame.
    void addFrames(std::int32_t inc)
    {
        const std::int64_t v = std::int64_t(lFrame) + inc;
        lFrame = v > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                              : static_cast<std::int32_t>(v);
    }

private:
    enum class Walk { Failed, Complete, Strode };
    // Arrival check and one stride from (left, top); on Strode the position and the step
    // state have moved on, otherwise nothing changed.
    template <typename Pos>
    Walk walk(Pos &left, Pos &top, const PlaybackSettings &settings);
    template <typename Pos>
    Walk walkSse2(Pos &left, Pos &top, const PlaybackSettings &settings);
    template <typename Pos>
    Walk walkPortable(Pos &left, Pos &top, const PlaybackSettings &settings);
    template <bool Portable>
    std::optional<bool> moveCalc(std::int32_t &tObjTop, std::int32_t &tObjLeft, std::int32_t xFrame,
                                 const PlaybackSettings &settings);
    // The icon stands where its last stride started (it could not move on): the next step
    // begins (passo, frame move on). false when the path is complete.
    bool arrival(std::int32_t wl, std::int32_t wt, std::int16_t &passo, std::int32_t &frame,
                 const PlaybackSettings &settings) const;
    void markComplete(std::int32_t xFrame);
    // A stride was taken: its step, frame count and the whole-twip position it started from.
    void commitStride(std::int16_t passo, std::int32_t frame, std::int32_t wl, std::int32_t wt);

    std::int16_t m_itM = 0;
    std::int16_t m_iPassoAtual = 0;
    std::int32_t m_FrameCount2 = 0;
    std::int32_t m_LastFrame = 0;
    bool m_completed = false;
    bool m_hasUlt = false;
    std::int32_t m_lUltLeft = 0;
    std::int32_t m_lUltTop = 0;
    std::vector<tpPasso> m_Passos;
};

} // namespace quorvel
