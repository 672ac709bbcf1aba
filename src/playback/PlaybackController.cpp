#include "playback/PlaybackController.h"

#include "playback/PlaybackModel.h"

#include <QTimer>

#include <algorithm>

namespace quorvel {

PlaybackController::PlaybackController(PlaybackModel &model, const StratDocument &doc, Clock &clock, QObject *parent)
    : QObject(parent), model_(model), doc_(doc), clock_(clock)
{
    timer_ = new QTimer(this);
    timer_->setObjectName(QStringLiteral("tmrT"));
    timer_->setTimerType(Qt::PreciseTimer);
    timer_->setInterval(kWakeIntervalMs);
    connect(timer_, &QTimer::timeout, this, &PlaybackController::wake);
}

PlaybackController::~PlaybackController() = default;

// --- the clock ------------------------------------------------------------------------------

void PlaybackController::restartPace()
{
    ++clockGeneration_;
    paceStart_ = clock_.nsecsElapsed();
    ticksRun_ = 0;
}

void PlaybackController::setClockEnabled(bool on)
{
    if (on == clockOn_)
        return;
    clockOn_ = on;
    restartPace();
    if (on)
        timer_->start();
    else
        timer_->stop();
}

void PlaybackController::setClockInterval(int ms)
{
    intervalMs_ = ms;
    if (clockOn_)
        restartPace();
}

void PlaybackController::wake()
{
    if (!clockOn_)
        return;
    const int perSecond = intervalMs_ >= kSlowIntervalMs ? kSlowTicksPerSecond : kTicksPerSecond;
    const qint64 due = ticksDue(clock_.nsecsElapsed() - paceStart_, perSecond);
    qint64 pending = due - ticksRun_;
    if (pending > kMaxCatchUpTicks) {
        ticksRun_ = due - kMaxCatchUpTicks; // a stall is not replayed at full speed
        pending = kMaxCatchUpTicks;
    }
    const quint64 generation = clockGeneration_;
    for (qint64 i = 0; i < pending; ++i) {
        ++ticksRun_;
        tick();
        // A pause, a seek or a stop inside the tick started a new count.
        if (!clockOn_ || generation != clockGeneration_)
            break;
    }
}

void PlaybackController::tick()
{
    if (!clockOn_)
        return;
    const int frames = speed_;
    for (int j = 1; j <= frames; ++j) {
        model_.setMovementCount(std::min<int>(doc_.iMovs, kMaxMovementSlots));
        const PlaybackModel::PassResult pass = model_.movePass();
        for (const GrenadeBurst &burst : pass.bursts)
            if (effectMayStart(mode_, frames, paused_, slow_))
                emit grenadeBurst(burst);
        // The clock went off on the previous frame: that frame's objects moved once more.
        if (!clockOn_)
            break;
        const PlaybackModel::Advance advance = model_.advanceFrame();
        if (advance.secondElapsed) {
            emit clockChanged();
            if (second_ < length_)
                setSecond(second_ + 1); // may run an armed seek
        }
        if (advance.roundOver)
            setClockEnabled(false);
        // While recording, effects that still play are let finish first.
        if (mode_ == PlayMode::Play && second_ >= length_ && (!recording_ || !effectsRunning_)) {
            setClockEnabled(false);
            emit resetEffects();
        }
    }
    emit frameAdvanced(model_.lFrameAtual());
    if (recording_ && model_.lFrameAtual() >= nextCapture_) {
        // Due once reached or passed, so that speeds above 1 capture every 8th frame as well.
        nextCapture_ += kFramesPerCapture;
        ++captured_;
        emit captureDue(model_.lFrameAtual(), captured_);
    }
    if (!clockOn_)
        emit stopped();
}

void PlaybackController::setRecording(bool on)
{
    recording_ = on;
    if (on) {
        nextCapture_ = std::max<std::int32_t>(model_.lFrameAtual(), 1);
        captured_ = 0;
    }
}

// --- modes ------------------------------------------------------------------------------------

void PlaybackController::resetModelToStart()
{
    model_.setMovementCount(std::min<int>(doc_.iMovs, kMaxMovementSlots));
    model_.setObjects(doc_.tObjetos);
    model_.resetToStart();
}

void PlaybackController::boardLoaded()
{
    setClockEnabled(false);
    setClockInterval(kNormalIntervalMs);
    seeking_ = false;
    armed_ = false;
    recording_ = false;
    paused_ = slow_ = reverse_ = false;
    mode_ = PlayMode::Stopped;
    second_ = lastSecond_ = 0;
    length_ = 1;
    speed_ = 1;
    emit lengthChanged(length_, false);
    emit secondChanged(second_);
    emit speedChanged(speed_);
    emit modeChanged(mode_, PlayMode::Stopped); // from nothing: the look of a board just loaded
}

void PlaybackController::boardClosing()
{
    setClockEnabled(false);
    emit resetEffects();
}

void PlaybackController::togglePlay()
{
    if (seeking_)
        return; // nothing starts the clock under a replay
    if (running())
        stop();
    else
        start(false);
}

void PlaybackController::togglePlayEdit()
{
    if (seeking_)
        return;
    if (running())
        stop();
    else
        start(true);
}

void PlaybackController::start(bool edit)
{
    model_.setMovementCount(std::min<int>(doc_.iMovs, kMaxMovementSlots));
    // A board positioned by a seek while stopped plays on from there with the length it has.
    if (model_.lFrameAtual() == 0) {
        model_.setObjects(doc_.tObjetos);
        model_.resetToStart();
        updateStratLength();
    }
    // Grenades and the bomb appear in Play when their path starts.
    if (!edit)
        model_.hideLateIcons();
    paused_ = slow_ = reverse_ = false;
    mode_ = edit ? PlayMode::PlayEdit : PlayMode::Play;
    emit modeChanged(mode_, PlayMode::Stopped);
    emit frameAdvanced(model_.lFrameAtual());
    setClockInterval(kNormalIntervalMs);
    setClockEnabled(true);
}

void PlaybackController::stop()
{
    setClockEnabled(false);
    emit resetEffects();
    armed_ = false; // a stop never seeks
    setSecond(0);
    const PlayMode from = mode_;
    mode_ = PlayMode::Stopped;
    paused_ = slow_ = reverse_ = false;
    // Everything back where the strat stores it, at time 0.
    resetModelToStart();
    emit modeChanged(mode_, from);
    emit frameAdvanced(model_.lFrameAtual());
    emit clockChanged();
}

// --- pause, slow motion, speed ---------------------------------------------------------------

void PlaybackController::togglePauseByUser()
{
    if (!seeking_)
        togglePause();
}

void PlaybackController::togglePause()
{
    emit pauseEffects();
    if (!running())
        return;
    paused_ = !paused_;
    setClockEnabled(!paused_);
    emit pausedChanged(paused_);
}

void PlaybackController::toggleSlowMotion()
{
    // Slow motion belongs to a running mode: while stopped it would start a clock without one.
    if (seeking_ || !running())
        return;
    if (!slow_) {
        if (paused_)
            togglePause();
        slow_ = true;
        setClockInterval(kSlowIntervalMs);
    } else {
        if (paused_)
            emit pauseEffects();
        slow_ = false;
        setClockInterval(kNormalIntervalMs);
    }
    paused_ = false;
    // The clock restarts with the new interval, also when it was paused.
    setClockEnabled(false);
    setClockEnabled(true);
    emit slowMotionChanged(slow_);
}

void PlaybackController::toggleReverse()
{
    // Never offered: playback does not run backwards.
    reverse_ = !reverse_;
}

void PlaybackController::setSpeed(int framesPerTick)
{
    const int speed = std::clamp(framesPerTick, 1, kMaxSpeed);
    if (speed == speed_)
        return;
    speed_ = speed;
    emit speedChanged(speed_);
}

// --- the time slider and seeking -------------------------------------------------------------

void PlaybackController::updateStratLength()
{
    const PlaybackModel::StratLength length = model_.CalculaTempo();
    length_ = std::max<int>(length.seconds, 0);
    emit lengthChanged(length_, length.longerThanRound);
    if (second_ > length_)
        setSecond(length_);
}

void PlaybackController::timeSliderReleased()
{
    armed_ = true;
}

void PlaybackController::setSecond(int second)
{
    if (second == second_)
        return;
    second_ = second;
    emit secondChanged(second_);
    timeSliderChanged(second_);
}

void PlaybackController::timeSliderChanged(int second)
{
    second = std::clamp(second, 0, length_);
    if (second != second_) {
        second_ = second;
        emit secondChanged(second_);
    }
    const bool armed = second != lastSecond_ && armed_;
    armed_ = false;
    if (armed && !seeking_)
        seek(second);
    lastSecond_ = second;
}

void PlaybackController::seek(int seconds)
{
    const bool entryPause = paused_;
    seeking_ = true;
    emit seekingChanged(true);
    if (!entryPause)
        togglePause(); // pauses a running playback; while stopped only the effects
    emit resetEffects();

    model_.setMovementCount(std::min<int>(doc_.iMovs, kMaxMovementSlots));
    const auto target = static_cast<std::int16_t>(std::clamp(seconds, 0, 32767));
    const PlaybackModel::SeekResult r = model_.UpdateAnimationPosition(target, mode_);
    if (r.roundOver || r.failed)
        setClockEnabled(false);
    emit clockChanged();
    emit frameAdvanced(model_.lFrameAtual());
    if (r.failed)
        emit seekFailed();

    if (!entryPause)
        togglePause(); // a running playback runs on from the new second
    seeking_ = false;
    emit seekingChanged(false);
}

} // namespace quorvel
