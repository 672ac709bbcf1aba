#include "board/BoardPlayback.h"

#include "board/BoardHost.h"
#include "board/BoardModel.h"
#include "board/BoardScene.h"
#include "common/ProgramFolder.h"
#include "language/clsLanguagePack.h"
#include "platform/Prompts.h"
#include "playback/PlaybackModel.h"

#include <QEvent>
#include <QLabel>
#include <QProxyStyle>
#include <QSlider>
#include <QTimer>

namespace quorvel {

namespace {

constexpr int kTwipsPerPixelStrip = 15;

// A click on the time slider's groove takes the handle there, so that every gesture ends in
// a release followed by the change, which is what arms and runs the seek.
class JumpSliderStyle : public QProxyStyle {
public:
    int styleHint(StyleHint hint, const QStyleOption *option, const QWidget *widget,
                  QStyleHintReturn *returnData) const override
    {
        if (hint == QStyle::SH_Slider_AbsoluteSetButtons)
            return Qt::LeftButton;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

// Clicks on the picture buttons and releases on the time slider.
class ControlEvents : public QObject {
public:
    ControlEvents(BoardPlayback &playback, const PlaybackControls &c, QObject *parent)
        : QObject(parent), playback_(playback), c_(c)
    {
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::MouseButtonRelease) {
            if (watched == c_.Slider2)
                playback_.Slider2_MouseUp();
            return false;
        }
        if (event->type() != QEvent::MouseButtonPress)
            return false;
        if (watched == c_.picGO)
            playback_.picGO_Click();
        else if (watched == c_.Picture1)
            playback_.Picture1_Click();
        else if (watched == c_.picPause)
            playback_.picPause_Click();
        else if (watched == c_.picSlow)
            playback_.picSlow_Click();
        else if (watched == c_.picReverse)
            playback_.picReverse_Click();
        return false;
    }

private:
    BoardPlayback &playback_;
    PlaybackControls c_;
};

bool tagOn(const QLabel *control)
{
    return control && control->property("Tag").toString().trimmed().toInt() != 0;
}

} // namespace

BoardPlayback::BoardPlayback(BoardModel &model, BoardScene &scene, BoardHost &host, const PlaybackControls &controls,
                             const std::array<QString, 14> &keyTexts, QObject *parent)
    : QObject(parent), model_(model), scene_(scene), host_(host), c_(controls), keyTexts_(keyTexts)
{
    tmrT_ = new QTimer(this);
    tmrT_->setObjectName(QStringLiteral("tmrT"));
    tmrT_->setTimerType(Qt::PreciseTimer);
    tmrT_->setInterval(kWakeIntervalMs);
    connect(tmrT_, &QTimer::timeout, this, &BoardPlayback::wake);

    for (const char *name : {"picplay", "picstop", "picPlayEdit", "picStopEdit", "picPause", "picSlow2", "picReverse2"})
        faces_[QLatin1String(name)] = QPixmap(programFolder() + QStringLiteral("/Bin/Icons/Controls/")
                                              + QLatin1String(name) + QStringLiteral(".png"));

    auto *events = new ControlEvents(*this, c_, this);
    for (QLabel *button : {c_.picGO, c_.Picture1, c_.picPause, c_.picSlow, c_.picReverse})
        if (button)
            button->installEventFilter(events);
    if (c_.Slider2) {
        c_.Slider2->installEventFilter(events);
        // Only a finished gesture changes the value: no replay per pixel of a drag.
        c_.Slider2->setTracking(false);
        auto *style = new JumpSliderStyle;
        style->setParent(c_.Slider2);
        c_.Slider2->setStyle(style);
        connect(c_.Slider2, &QSlider::valueChanged, this, [this] { Slider2_Change(); });
    }
    if (c_.Slider1)
        connect(c_.Slider1, &QSlider::valueChanged, this, [this] { Slider1_Change(); });
}

BoardPlayback::~BoardPlayback() = default;

// --- the clock ------------------------------------------------------------------------------

void BoardPlayback::setClockEnabled(bool on)
{
    if (on == clockOn_)
        return;
    clockOn_ = on;
    ++clockGeneration_;
    if (on) {
        pace_.start();
        ticksRun_ = 0;
        tmrT_->start();
    } else {
        tmrT_->stop();
    }
}

void BoardPlayback::setClockInterval(int ms)
{
    intervalMs_ = ms;
    if (clockOn_) {
        ++clockGeneration_;
        pace_.start();
        ticksRun_ = 0;
    }
}

void BoardPlayback::wake()
{
    if (!clockOn_)
        return;
    const qint64 perSecond = intervalMs_ >= 100 ? kSlowTicksPerSecond : kTicksPerSecond;
    const qint64 due = pace_.nsecsElapsed() * perSecond / 1000000000;
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

void BoardPlayback::tick()
{
    refreshEffects();
    if (!clockOn_)
        return;
    PlaybackModel &pb = model_.playback;
    const int frames = c_.Slider1 ? c_.Slider1->value() : 1;
    for (int j = 1; j <= frames; ++j) {
        pb.setMovementCount(std::min<int>(model_.doc.iMovs, kMaxMovements));
        const PlaybackModel::PassResult pass = pb.movePass();
        for (const GrenadeBurst &burst : pass.bursts)
            if (effectMayStart(mode(), frames, bPause, bSlow))
                startEffect(burst);
        // The clock went off on the previous frame: that frame's objects moved once more.
        if (!clockOn_)
            break;
        const PlaybackModel::Advance advance = pb.advanceFrame();
        if (advance.secondElapsed) {
            showClockLabels();
            advanceTimeSlider();
        }
        if (advance.roundOver)
            setClockEnabled(false);
        if (playMode() && c_.Slider2 && c_.Slider2->value() >= c_.Slider2->maximum()) {
            // While recording, effects that still play are let finish first.
            if (!bGravar || !effectsRunning()) {
                setClockEnabled(false);
                ResetAnimations();
            }
        }
    }
    if (c_.lblFrame)
        c_.lblFrame->setText(QString::number(pb.lFrameAtual()));
    scene_.syncIcons(model_, host_);
    if (bGravar) {
        CaptureFrame();
        if (!clockOn_ && stopVideo)
            stopVideo();
    }
}

void BoardPlayback::CaptureFrame()
{
    // Due once reached or passed, so that speeds above 1 capture every 8th frame as well.
    if (model_.playback.lFrameAtual() < NextCaptureFrame)
        return;
    NextCaptureFrame += 8;
    ++CapturedFrames;
    CaptureFile = writableFolder() + QStringLiteral("/video/")
                  + QStringLiteral("%1.bmp").arg(CapturedFrames, 4, 10, QLatin1Char('0'));
    if (captureFrame)
        captureFrame();
}

void BoardPlayback::advanceTimeSlider()
{
    if (c_.Slider2 && c_.Slider2->value() < c_.Slider2->maximum())
        c_.Slider2->setValue(c_.Slider2->value() + 1); // runs Slider2_Change, which may seek
}

void BoardPlayback::showClockLabels()
{
    const PlaybackModel &pb = model_.playback;
    if (c_.lblFrame)
        c_.lblFrame->setText(QString::number(pb.lFrameAtual()));
    if (c_.lblSegs)
        c_.lblSegs->setText(formatElapsed(std::max<int>(pb.iSegs(), 0)));
    if (c_.lblRoundTime)
        c_.lblRoundTime->setText(formatRoundTime(std::max<int>(pb.iTempoRestante(), 0)));
}

// --- modes ------------------------------------------------------------------------------------

bool BoardPlayback::playMode() const { return tagOn(c_.picGO); }
bool BoardPlayback::playEditMode() const { return tagOn(c_.Picture1); }

PlayMode BoardPlayback::mode() const
{
    if (playMode())
        return PlayMode::Play;
    if (playEditMode())
        return PlayMode::PlayEdit;
    return PlayMode::Stopped;
}

bool BoardPlayback::running() const { return face(c_.picGO) == QLatin1String("picstop"); }

QString BoardPlayback::face(const QLabel *control)
{
    return control ? control->property("Face").toString() : QString();
}

void BoardPlayback::setFace(QLabel *control, const QString &faceName)
{
    if (!control)
        return;
    control->setProperty("Face", faceName);
    const auto it = faces_.find(faceName);
    control->setPixmap(it != faces_.end() ? it->second : QPixmap());
}

void BoardPlayback::placeButton(QLabel *control, int leftTwips)
{
    if (control)
        control->move(leftTwips / kTwipsPerPixelStrip, control->y());
}

void BoardPlayback::setPanel1(const QString &text)
{
    if (c_.panel1)
        c_.panel1->setText(text);
}

QString BoardPlayback::panel1() const { return c_.panel1 ? c_.panel1->text() : QString(); }

void BoardPlayback::showAllPaths(bool visible)
{
    for (PathPoint &pt : model_.points)
        pt.visible = visible;
    scene_.setPathsVisible(visible);
}

void BoardPlayback::updateStratLength()
{
    const PlaybackModel::StratLength length = model_.playback.CalculaTempo();
    if (length.longerThanRound)
        Prompts::current().message(host_.dialogOwner(), QStringLiteral("Your strat is now longer than the round timer."),
                                   QStringLiteral("Strat Time"), MessageIcon::None, MessageButtons::Ok);
    if (c_.Slider2)
        c_.Slider2->setMaximum(length.seconds);
    if (c_.lblMaxTime)
        c_.lblMaxTime->setText(QString::number(length.seconds));
}

void BoardPlayback::boardLoaded()
{
    setClockEnabled(false);
    setClockInterval(1);
    seeking_ = false;
    bCalcAnimation = false;
    xSlider = 0;
    bGravar = false;
    c_.picGO->setProperty("Tag", QStringLiteral("0"));
    c_.Picture1->setProperty("Tag", QStringLiteral("0"));
    setFace(c_.picGO, QStringLiteral("picplay"));
    setFace(c_.Picture1, QStringLiteral("picPlayEdit"));
    setFace(c_.picPause, QStringLiteral("picPause"));
    setFace(c_.picSlow, QStringLiteral("picSlow2"));
    setFace(c_.picReverse, QStringLiteral("picReverse2"));
    c_.picGO->show();
    c_.Picture1->show();
    c_.picPause->hide();
    c_.picSlow->hide();
    c_.picReverse->hide();
    c_.picGO->setToolTip(QStringLiteral("Play (F2)"));
    c_.Picture1->setToolTip(key(41));
    c_.picPause->setToolTip(QStringLiteral("Pause (F3)"));
    c_.picSlow->setToolTip(key(39) + QStringLiteral(" (F4)"));
    if (c_.Slider2) {
        c_.Slider2->setEnabled(true);
        xSlider = c_.Slider2->value();
    }
    if (c_.Slider1)
        c_.Slider1->setValue(1);
}

void BoardPlayback::boardClosing()
{
    setClockEnabled(false);
    ResetAnimations();
}

void BoardPlayback::picGO_Click()
{
    if (seeking_)
        return; // nothing starts the clock under a replay
    if (playEditMode()) {
        Picture1_Click();
        return;
    }
    if (!playMode())
        start(false);
    else
        stop(false);
}

void BoardPlayback::Picture1_Click()
{
    if (seeking_)
        return;
    if (playMode()) {
        picGO_Click();
        return;
    }
    if (!playEditMode())
        start(true);
    else
        stop(true);
}

void BoardPlayback::start(bool edit)
{
    PlaybackModel &pb = model_.playback;
    pb.setMovementCount(std::min<int>(model_.doc.iMovs, kMaxMovements));
    // A board positioned by a seek while stopped plays on from there with the length it has.
    if (pb.lFrameAtual() == 0) {
        pb.setObjects(model_.doc.tObjetos);
        pb.resetToStart();
        updateStratLength();
    }
    setPanel1(key(29) + key(edit ? 38 : 35));
    if (edit) {
        c_.picGO->hide();
        placeButton(c_.picPause, 11040);
        placeButton(c_.picSlow, 10680);
    } else {
        c_.Picture1->hide();
        placeButton(c_.picPause, 10680);
        placeButton(c_.picSlow, 10320);
    }
    c_.picPause->show();
    c_.picSlow->show();
    bEditMode = edit;

    const QString stopTip = keyedStopText();
    if (edit) {
        setFace(c_.Picture1, QStringLiteral("picStopEdit"));
        c_.Picture1->setProperty("Tag", QStringLiteral("1"));
        c_.Picture1->setToolTip(stopTip + QStringLiteral(" (F2)"));
    } else {
        setFace(c_.picGO, QStringLiteral("picstop"));
        c_.picGO->setProperty("Tag", QStringLiteral("1"));
        // Grenades and the bomb appear when their path starts; paths stay out of the way.
        pb.hideLateIcons();
        showAllPaths(false);
    }
    setFace(c_.picGO, QStringLiteral("picstop")); // the running marker, in both modes
    c_.picGO->setToolTip(stopTip + QStringLiteral(" (F2)"));
    bPause = false;
    bSlow = false;
    bReverse = false;
    scene_.syncIcons(model_, host_);
    setClockInterval(1);
    setClockEnabled(true);
}

QString BoardPlayback::keyedStopText() const
{
    const QString t = keyedText("s0006", QString());
    return t.isEmpty() ? QStringLiteral("STOP") : t;
}

void BoardPlayback::stop(bool edit)
{
    setClockEnabled(false);
    ResetAnimations();
    bCalcAnimation = false; // a stop never seeks
    if (c_.Slider2)
        c_.Slider2->setValue(0);
    setPanel1(key(29) + key(30));
    if (edit)
        c_.picGO->show();
    else
        c_.Picture1->show();
    c_.picPause->hide();
    c_.picSlow->hide();
    bEditMode = false;

    setFace(c_.picGO, QStringLiteral("picplay"));
    setFace(c_.Picture1, QStringLiteral("picPlayEdit"));
    setFace(c_.picReverse, QStringLiteral("picReverse2"));
    c_.picReverse->setToolTip(QStringLiteral("Click here to play in reverse! (F5)"));
    setFace(c_.picSlow, QStringLiteral("picSlow2"));
    c_.picSlow->setToolTip(QStringLiteral("Click here to play in slow motion! (F4)"));
    if (edit)
        c_.Picture1->setToolTip(key(41));
    c_.picGO->setToolTip(edit ? QStringLiteral("Play") : QStringLiteral("Play (F2)"));
    c_.picGO->setProperty("Tag", QStringLiteral("0"));
    c_.Picture1->setProperty("Tag", QStringLiteral("0"));

    // Everything back where the strat stores it, at time 0.
    PlaybackModel &pb = model_.playback;
    pb.setMovementCount(std::min<int>(model_.doc.iMovs, kMaxMovements));
    pb.setObjects(model_.doc.tObjetos);
    pb.resetToStart();
    showAllPaths(true);
    scene_.syncIcons(model_, host_);
    showClockLabels();
    bPause = false;
    bSlow = false;
    bReverse = false;
}

// --- pause, slow motion, speed ---------------------------------------------------------------

void BoardPlayback::picPause_Click()
{
    if (seeking_)
        return;
    togglePause();
}

void BoardPlayback::togglePause()
{
    PauseAnimations();
    if (!running())
        return;
    const QString suffix = QStringLiteral(" - ") + key(36);
    if (bPause) {
        const QString text = panel1();
        setPanel1(text.left(text.size() - suffix.size()));
        bPause = false;
        setClockEnabled(true);
    } else {
        setPanel1(panel1() + suffix);
        bPause = true;
        setClockEnabled(false);
    }
}

void BoardPlayback::picSlow_Click()
{
    // Slow motion belongs to a running mode: while stopped it would start a clock without one.
    if (seeking_ || !running())
        return;
    const QString slowSuffix = QStringLiteral(" - ") + key(37);
    if (!bSlow) {
        if (bPause)
            togglePause();
        setPanel1(panel1() + slowSuffix);
        setFace(c_.picSlow, QStringLiteral("picplay"));
        c_.picSlow->setToolTip(key(40) + QStringLiteral(" (F4)"));
        bSlow = true;
        bPause = false;
        setClockInterval(100);
    } else {
        const QString text = panel1();
        if (bPause) {
            PauseAnimations();
            setPanel1(text.left(text.size() - slowSuffix.size() - 3 - key(36).size()));
        } else {
            setPanel1(text.left(text.size() - slowSuffix.size()));
        }
        setFace(c_.picSlow, QStringLiteral("picSlow2"));
        c_.picSlow->setToolTip(key(39) + QStringLiteral(" (F4)"));
        bSlow = false;
        bPause = false;
        setClockInterval(1);
    }
    // The clock restarts with the new interval, also when it was paused.
    setClockEnabled(false);
    setClockEnabled(true);
}

void BoardPlayback::picReverse_Click()
{
    // The button is never shown: playback does not run backwards.
    bReverse = !bReverse;
}

void BoardPlayback::Slider1_Change()
{
    if (c_.panel2 && c_.Slider1)
        c_.panel2->setText(key(31) + QString::number(c_.Slider1->value()) + QStringLiteral("x"));
}

// --- seeking ----------------------------------------------------------------------------------

void BoardPlayback::Slider2_MouseUp()
{
    bCalcAnimation = true;
}

void BoardPlayback::Slider2_Change()
{
    const int value = c_.Slider2 ? c_.Slider2->value() : 0;
    const bool armed = value != xSlider && bCalcAnimation;
    bCalcAnimation = false;
    if (armed && !seeking_)
        seek(value);
    xSlider = value;
}

void BoardPlayback::seek(int seconds)
{
    const bool entryPause = bPause;
    seeking_ = true;
    if (!entryPause) {
        bPause = false;
        togglePause(); // pauses a running playback; while stopped only the effects
    }
    if (c_.Slider2)
        c_.Slider2->setEnabled(false);
    ResetAnimations();

    PlaybackModel &pb = model_.playback;
    pb.setMovementCount(std::min<int>(model_.doc.iMovs, kMaxMovements));
    const PlaybackModel::SeekResult r = pb.UpdateAnimationPosition(static_cast<std::int16_t>(seconds), mode());
    if (r.roundOver || r.failed)
        setClockEnabled(false);
    showClockLabels();
    scene_.syncIcons(model_, host_);
    if (r.failed)
        showMessage(host_.dialogOwner(), QStringLiteral("An error ocurred during playback."), QString(),
                    MessageIcon::Critical);

    if (c_.Slider2)
        c_.Slider2->setEnabled(true);
    if (!entryPause)
        togglePause(); // a running playback runs on from the new second
    seeking_ = false;
}

} // namespace quorvel
