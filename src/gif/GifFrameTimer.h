#pragma once
// The frame timing of a playing GIF control, without the timer itself: which frame comes
// next, how long the shown frame stays, when the loop count ends the play, and the one
// 20-millisecond tick that builds the frames after a delayed load. The control owns a real
// single-shot timer (through the clock seam) and arms it with armedMs() whenever a call
// returns true; when it fires it calls tick() or buildTick() according to armedKind().

#include <vector>

namespace quorvel {

class GifFrameTimer {
public:
    enum Kind { Stop = 0, Play = 1, DelayedBuild = 2 };
    enum State { Stopped = 0, Running = 1, Paused = 2 };
    static constexpr int buildDelayMs = 20;

    // A new animation: frame delays in milliseconds (frame 1 first); current frame 1, or 0
    // when there are none; stopped.
    void load(std::vector<int> delaysMs);

    // Starts or stops the timer. True when a timer was started: arm it with armedMs().
    // Nothing starts while running, without a current frame, at design time, or to play a
    // single frame.
    bool set(Kind kind, bool runTime = true);

    struct Tick {
        bool ended = false;   // the loop count was reached: the play stopped, raise LoopsEnded
    };
    // The frame timer fired: the next frame becomes current (repaint it); unless the play
    // ended, the timer is armed again with armedMs().
    Tick tick();
    // The build timer fired: the timer stops; the control completes its build.
    void buildTick() { set(Stop); }

    // Pausing keeps the current frame; a stopped play stays stopped.
    void pause();
    // Stop and rewind to frame 1.
    void rewind();

    int currentFrame() const { return current_; }   // 1-based, 0 = nothing loaded
    void setCurrentFrame(int frame);
    int frameCount() const { return int(delays_.size()); }
    State state() const { return state_; }
    Kind armedKind() const { return armed_; }
    int armedMs() const { return armedMs_; }
    int loopsDone() const { return loopsDone_; }

    int loops = 0;            // passes before the play stops; 0 = endless
    int minFrameDelayMs = 50; // no frame stays shorter

private:
    int frameDelay() const;

    std::vector<int> delays_;
    int current_ = 0;
    State state_ = Stopped;
    Kind armed_ = Stop;
    int armedMs_ = 0;
    int loopsDone_ = 0;
};

} // namespace quorvel
