#pragma once
// The board's playback without a widget: the mode (stopped, Play, Play/Edit), pause, slow
// motion, the speed (frames per tick), the time slider's second and the strat's length, the
// seek, recording's capture pacing, and the clock.
//
// The clock is paced by elapsed time: a precise timer wakes about every 16 ms and the clock
// says how many ticks are due, 63 a second (10 in slow motion), so playback keeps real time
// whatever the timer's granularity; a stall runs at most kMaxCatchUpTicks at once. Each tick
// steps the playback model speed() frames. The board's widgets only mirror this controller:
// they call its operations and follow its signals, and never hold state that is read back.

#include "common/Clock.h"
#include "document/StratTypes.h"
#include "playback/PlaybackTypes.h"

#include <QObject>

#include <cstdint>

class QTimer;

namespace quorvel {

class PlaybackModel;

class PlaybackController : public QObject {
    Q_OBJECT
public:
    static constexpr int kTicksPerSecond = kFramesPerSecond;
    static constexpr int kSlowTicksPerSecond = 10;
    static constexpr int kWakeIntervalMs = 16;
    // Ticks run at most in one wake-up after a stall; older ones are dropped, not replayed.
    static constexpr int kMaxCatchUpTicks = 16;
    static constexpr int kNormalIntervalMs = 1;  // the interval of the original "1 ms" timer
    static constexpr int kSlowIntervalMs = 100;
    static constexpr int kFramesPerCapture = 8;
    static constexpr int kMaxSpeed = 5;
    static constexpr int kMaxMovementSlots = 100;

    // The ticks due after elapsedNs at perSecond ticks a second.
    static qint64 ticksDue(qint64 elapsedNs, int perSecond) { return elapsedNs * perSecond / 1000000000; }

    // The model and the records stay owned by the board; the controller steps and resets them.
    PlaybackController(PlaybackModel &model, const StratDocument &doc, Clock &clock = Clock::system(),
                       QObject *parent = nullptr);
    ~PlaybackController() override;

    // A strat was loaded: clock off, stopped, speed 1, second 0.
    void boardLoaded();
    // The board closes: clock off, effects reset.
    void boardClosing();

    // The controls (the board's F2 to F5 call the same).
    void togglePlay();         // Play / Stop; in Play/Edit it stops that
    void togglePlayEdit();     // Play/Edit / Stop; in Play it stops that
    void togglePauseByUser();  // pause / resume; nothing during a seek
    void toggleSlowMotion();   // nothing while stopped or seeking
    void toggleReverse();      // the never-offered reverse: a flag only
    void setSpeed(int framesPerTick);

    // The time slider: a release arms a seek, the next change to another second runs it.
    void timeSliderReleased();
    void timeSliderChanged(int second);
    // Replays the strat to second t, leaving the mode as it was.
    void seek(int seconds);

    // The strat's length by a dry run; says so when the strat outlasts the round.
    void updateStratLength();

    // One tick of the clock: speed() frames, then frameAdvanced.
    void tick();
    // The wake-up of the timer: runs the ticks that the clock says are due.
    void wake();

    PlayMode mode() const { return mode_; }
    bool playMode() const { return mode_ == PlayMode::Play; }
    bool playEditMode() const { return mode_ == PlayMode::PlayEdit; }
    // A mode was started and not yet stopped, also after the clock halted by itself.
    bool running() const { return mode_ != PlayMode::Stopped; }
    bool paused() const { return paused_; }
    bool slowMotion() const { return slow_; }
    bool reverse() const { return reverse_; }
    int speed() const { return speed_; }
    bool clockEnabled() const { return clockOn_; }
    int clockInterval() const { return intervalMs_; } // 1, or 100 in slow motion
    bool seeking() const { return seeking_; }
    bool seekArmed() const { return armed_; }
    int second() const { return second_; }
    int lengthSeconds() const { return length_; }

    // Recording (the video export drives it): a capture is due each time the frame reaches or
    // passes nextCaptureFrame(), every kFramesPerCapture frames.
    void setRecording(bool on);
    bool recording() const { return recording_; }
    std::int32_t nextCaptureFrame() const { return nextCapture_; }
    std::int32_t capturedFrames() const { return captured_; }
    // Grenade effects still playing: a Play that is recorded lets them finish at the strat's end.
    void setEffectsRunning(bool running) { effectsRunning_ = running; }

signals:
    // Started or stopped; `from` is the mode that was left (Stopped and Stopped: a board was
    // loaded).
    void modeChanged(quorvel::PlayMode mode, quorvel::PlayMode from);
    void pausedChanged(bool paused);
    void slowMotionChanged(bool slow);
    void speedChanged(int framesPerTick);
    // The model's counters moved on a whole second, or were put back (stop, seek).
    void clockChanged();
    // The time slider's second or the strat's length changed.
    void secondChanged(int second);
    void lengthChanged(int seconds, bool longerThanRound);
    // A tick ran its frames (or a stop or a seek moved the icons): mirror the icons.
    void frameAdvanced(int frame);
    // The clock halted by itself inside a tick (end of the strat in Play, or of the round).
    void stopped();
    void seekingChanged(bool seeking);
    void seekFailed();
    // While recording: a picture of the board is due (the capture number counts from 1).
    void captureDue(int frame, int capture);
    // A grenade's path ended during Play at speed 1, neither paused nor slowed: its effect
    // starts at the burst's place. Grenades that end otherwise just vanish.
    void grenadeBurst(const quorvel::GrenadeBurst &burst);
    // Effects are let go (stop, seek, end of the strat) or paused / resumed.
    void resetEffects();
    void pauseEffects();

private:
    void setClockEnabled(bool on);
    void setClockInterval(int ms);
    void restartPace();
    void start(bool edit);
    void stop();
    void togglePause();
    void setSecond(int second);
    void resetModelToStart();

    PlaybackModel &model_;
    const StratDocument &doc_;
    Clock &clock_;
    QTimer *timer_ = nullptr;
    qint64 paceStart_ = 0;         // the clock when the count began
    qint64 ticksRun_ = 0;          // ticks run since then
    quint64 clockGeneration_ = 0;  // bumped on every restart: a due count belongs to one run

    PlayMode mode_ = PlayMode::Stopped;
    bool paused_ = false;
    bool slow_ = false;
    bool reverse_ = false;
    int speed_ = 1;
    bool clockOn_ = false;
    int intervalMs_ = kNormalIntervalMs;
    bool seeking_ = false;
    bool armed_ = false;  // the time slider was released: its next change seeks
    int second_ = 0;
    int lastSecond_ = 0;  // the time slider's value at the last change
    int length_ = 1;
    bool recording_ = false;
    bool effectsRunning_ = false;
    std::int32_t nextCapture_ = 1;
    std::int32_t captured_ = 0;
};

} // namespace quorvel
