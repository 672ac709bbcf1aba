#pragma once
// The board's playback: the clock `tmrT`, the play controls (Play/Stop `picGO`, Play/Edit
// `Picture1`, pause `picPause`, slow motion `picSlow`, the never-offered reverse `picReverse`),
// the speed slider `Slider1`, the time slider `Slider2` with its seek, and the texts of the
// clock labels and of status panels 1 and 2.
//
// The clock is paced by elapsed time: a precise QTimer wakes about every 16 ms and a
// QElapsedTimer says how many ticks are due, 63 a second (10 in slow motion), so playback keeps
// real time whatever the timer's granularity. Each tick() runs Slider1 frames on the playback
// model and mirrors the model into the scene once. Tests call tick() directly.

#include "playback/PlaybackTypes.h"

#include <QElapsedTimer>
#include <QObject>
#include <QPixmap>
#include <QString>

#include <array>
#include <functional>
#include <map>

class QLabel;
class QSlider;
class QTimer;

namespace quorvel {

class BoardHost;
class BoardModel;
class BoardScene;

// The board's controls that playback drives.
struct PlaybackControls {
    QLabel *picGO = nullptr;
    QLabel *Picture1 = nullptr;
    QLabel *picPause = nullptr;
    QLabel *picSlow = nullptr;
    QLabel *picReverse = nullptr;
    QLabel *lblRoundTime = nullptr;
    QLabel *lblFrame = nullptr;
    QLabel *lblSegs = nullptr;
    QLabel *lblMaxTime = nullptr;
    QSlider *Slider1 = nullptr;
    QSlider *Slider2 = nullptr;
    QLabel *panel1 = nullptr; // StatusBar1 panel 1: the mode
    QLabel *panel2 = nullptr; // panel 2: the speed
};

class BoardPlayback : public QObject {
    Q_OBJECT
public:
    static constexpr int kTicksPerSecond = kFramesPerSecond;
    static constexpr int kSlowTicksPerSecond = 10;
    static constexpr int kWakeIntervalMs = 16;
    // Ticks run at most in one wake-up after a stall; older ones are dropped, not replayed.
    static constexpr int kMaxCatchUpTicks = 16;

    // keyTexts: the board's s0029..s0042, read when used (a language pack may change them).
    BoardPlayback(BoardModel &model, BoardScene &scene, BoardHost &host, const PlaybackControls &controls,
                  const std::array<QString, 14> &keyTexts, QObject *parent = nullptr);
    ~BoardPlayback() override;

    // The board was loaded for a strat: clock off, the bar in its stopped look, speed 1.
    void boardLoaded();
    // The board closes: clock off, effects stopped.
    void boardClosing();

    // One tick of the clock (tmrT_Timer).
    void tick();

    // The controls; the board's keys F2 to F5 call the same.
    void picGO_Click();     // Play / Stop
    void Picture1_Click();  // Play/Edit / Stop
    void picPause_Click();  // pause / resume
    void picSlow_Click();   // slow motion on / off; nothing while stopped
    void picReverse_Click();
    void Slider1_Change();
    void Slider2_Change();
    void Slider2_MouseUp();
    // Replays the strat to second t (the seek of Slider2), leaving the mode as it was.
    void seek(int seconds);

    // The mode tags: picGO.Tag / Picture1.Tag read as numbers.
    bool playMode() const;
    bool playEditMode() const;
    PlayMode mode() const;
    // A mode was started and not yet stopped (picGO shows the stop picture), also after the
    // clock halted by itself at the end of the strat or of the round.
    bool running() const;
    bool clockEnabled() const { return clockOn_; }
    int clockInterval() const { return intervalMs_; } // 1, or 100 in slow motion
    bool seeking() const { return seeking_; }

    // Playback flags, public board state that the editing code reads.
    bool bPause = false;
    bool bSlow = false;
    bool bReverse = false;
    bool bFirst = false;
    bool bEditMode = false;
    bool bCalcAnimation = false;
    int xSlider = 0;

    // Video recording (the export drives these).
    bool bGravar = false;
    std::int32_t NextCaptureFrame = 1;
    std::int32_t CapturedFrames = 0;
    QString CaptureFile;
    // Called for each due picture while recording, and when the clock stopped while recording.
    std::function<void()> captureFrame;
    std::function<void()> stopVideo;

    // Grenade effects: nothing to drive yet.
    void ResetAnimations() {}
    void PauseAnimations() {}
    void startEffect(const GrenadeBurst &) {}
    void refreshEffects() {}
    bool effectsRunning() const { return false; }

    // The face a control shows ("picplay", "picstop", ...): the identity test of the controls.
    static QString face(const QLabel *control);

private:
    void setClockEnabled(bool on);
    void setClockInterval(int ms);
    void wake();
    void start(bool edit);
    void stop(bool edit);
    void togglePause();
    void setFace(QLabel *control, const QString &faceName);
    void placeButton(QLabel *control, int leftTwips);
    void setPanel1(const QString &text);
    QString panel1() const;
    const QString &key(int n) const { return keyTexts_[static_cast<std::size_t>(n - 29)]; }
    void showClockLabels();
    void showAllPaths(bool visible);
    void updateStratLength();
    QString keyedStopText() const;
    void advanceTimeSlider();
    void CaptureFrame();

    BoardModel &model_;
    BoardScene &scene_;
    BoardHost &host_;
    PlaybackControls c_;
    const std::array<QString, 14> &keyTexts_;
    std::map<QString, QPixmap> faces_;

    QTimer *tmrT_ = nullptr;       // the wake-up
    QElapsedTimer pace_;           // since the clock was last enabled
    qint64 ticksRun_ = 0;          // ticks run since then
    quint64 clockGeneration_ = 0;  // bumped on every restart: a due count belongs to one run
    bool clockOn_ = false;
    int intervalMs_ = 1;
    bool seeking_ = false;
};

} // namespace quorvel
