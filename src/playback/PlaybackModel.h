#pragma once
// The playback state of one board without any widget: each object's icon (Left, Top,
// visible, picture), the movement slots, the frame counter, the elapsed seconds and the
// round time. The board mirrors it into its scene after every change.
//
//   setObjects(tObjetos)          the object table (elements 0..iObj); icons to their places
//   Movimento(k), setMovementCount(iMovs)   the movement slots 1..100, created on first use
//   resetToStart()                what a stop does: icons back, every slot reset, counters 0
//   hideLateIcons()               Play start: grenade and bomb icons wait for their path
//   stepFrame() = movePass() + advanceFrame()   one frame of the clock; call it Slider1
//                                 times per tick and act on its bursts and roundOver
//   CalculaTempo()                the strat's length by a dry run on copies (live state untouched)
//   UpdateAnimationPosition(t, mode)   seek to second t by replaying from the start

#include "document/StratTypes.h"
#include "playback/PlaybackTypes.h"
#include "playback/clsMovimento.h"

#include <QString>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace quorvel {

class PlaybackModel
{
public:
    static constexpr int kMaxSlots = 100;
    static constexpr int kLateIconHeight = 210; // grenades and the bomb with their plain pictures

    PlaybackSettings settings;

    PlaybackModel() = default;
    PlaybackModel(const PlaybackModel &other);
    PlaybackModel &operator=(const PlaybackModel &other);

    // Objects 1..iObj, element 0 a placeholder (a missing element 0 is supplied).
    // Every icon goes to its stored place, visible, with its plain picture.
    void setObjects(const std::vector<tpObjeto> &tObjetos);
    // One object placed, moved or deleted while editing: only its icon goes to its stored place.
    void setObject(int i, const tpObjeto &o);
    int objectCount() const { return int(m_objects.size()) - 1; }
    const tpObjeto *object(int i) const;
    PlaybackIcon *icon(int i);            // none outside 1..iObj and for a deleted object
    const PlaybackIcon *icon(int i) const;

    clsMovimento *Movimento(int slot);    // 1..100, created on first use; none outside
    const clsMovimento *findMovimento(int slot) const; // none if never used
    void setMovementCount(int iMovs);     // slots in use, 0..100
    int movementCount() const { return m_iMovs; }

    std::int32_t lFrameAtual() const { return m_lFrameAtual; }
    std::int16_t iSegs() const { return m_iSegs; }
    std::int16_t iTempoRestante() const { return m_iTempoRestante; }

    void resetToStart();
    // Play start: grenades and the bomb (types 10 to 13) wait hidden for their path. By type,
    // not by picture height: a walker drawn large is as high as a grenade.
    void hideLateIcons();
    void hideIconsOfHeight(int heightTwips);

    struct PassResult {
        std::vector<GrenadeBurst> bursts;
        int failedSlots = 0; // slots whose step failed this frame; their icons stay as they were
    };
    // Every slot walks one frame and its icon takes the picture of its step. With
    // stopAtFailure the pass ends at the first failing slot.
    PassResult movePass(bool stopAtFailure = false);

    struct Advance {
        bool secondElapsed = false; // the elapsed seconds and the round time moved on
        bool roundOver = false;     // the round time is 0
    };
    Advance advanceFrame();

    struct FrameResult {
        PassResult pass;
        Advance advance;
    };
    FrameResult stepFrame();

    struct StratLength {
        std::int16_t seconds = 0;  // the time slider's maximum
        bool longerThanRound = false; // paths still walk when the round ends: warn the user
        bool failed = false;       // a path could not be stepped: seconds is the round time
    };
    StratLength CalculaTempo() const;

    struct SeekResult {
        bool failed = false;    // the replay stopped at a failing step (the board says so)
        bool roundOver = false; // the round time reached 0: the clock stays off
    };
    SeekResult UpdateAnimationPosition(std::int16_t targetSeconds, PlayMode mode);

private:
    // A slot in use, with the icon its path walks (none: no icon) and the object's type.
    struct Walker {
        clsMovimento *path = nullptr;
        PlaybackIcon *icon = nullptr;
        std::int16_t type = 0;
        // The type's pictures by size (normal, small, large) and facing (none, 1..8), as
        // iconPictureFor() gives them; none for a type without pictures.
        const std::optional<IconPicture> (*pictures)[9] = nullptr;
    };
    // Slots 1..iMovs (created if need be), looked up once for a run of frames in which
    // neither the objects nor the slots change.
    void collectWalkers(std::vector<Walker> &walkers);
    // movePass over collected slots: false at the first failing slot.
    bool moveWalkers(const std::vector<Walker> &walkers);
    // advanceFrame over collected slots.
    Advance advanceWalkers(const std::vector<Walker> &walkers);
    // The frame counter, the elapsed seconds and the round time, one frame on.
    Advance advanceCounters();

    std::vector<tpObjeto> m_objects{tpObjeto{}};
    std::vector<PlaybackIcon> m_icons{PlaybackIcon{}};
    std::array<std::unique_ptr<clsMovimento>, kMaxSlots + 1> m_slots;
    int m_iMovs = 0;
    std::int32_t m_lFrameAtual = 0;
    std::int16_t m_iSegs = 0;
    std::int16_t m_iTempoRestante = 105;
};

// Elapsed time as the board shows it: whole minutes "00", ":", seconds "00" (75 -> "01:15").
QString formatElapsed(int seconds);
// Round time as the board shows it: whole minutes "0", ":", seconds "00" (105 -> "1:45").
QString formatRoundTime(int seconds);

} // namespace quorvel
