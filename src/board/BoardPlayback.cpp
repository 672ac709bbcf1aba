#include "board/BoardPlayback.h"

#include "board/BoardDocument.h"
#include "board/BoardHost.h"
#include "board/BoardScene.h"
#include "common/ProgramFolder.h"
#include "language/clsLanguagePack.h"
#include "platform/Prompts.h"
#include "playback/PlaybackController.h"
#include "playback/PlaybackModel.h"

#include <QEvent>
#include <QLabel>
#include <QProxyStyle>
#include <QSignalBlocker>
#include <QSlider>

namespace quorvel {

namespace {

// A click on the time slider's groove takes the handle there at once.
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

// Clicks on the picture buttons.
class ControlEvents : public QObject {
public:
    ControlEvents(BoardPlayback &playback, const PlaybackControls &c, QObject *parent)
        : QObject(parent), playback_(playback), c_(c)
    {
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
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

} // namespace

BoardPlayback::BoardPlayback(PlaybackController &controller, BoardDocument &document, BoardScene &scene, BoardHost &host,
                             const PlaybackControls &controls, const std::array<QString, 14> &keyTexts,
                             QObject *parent)
    : QObject(parent), controller_(controller), document_(document), scene_(scene), host_(host), c_(controls),
      keyTexts_(keyTexts)
{
    for (const char *name : {"picplay", "picstop", "picPlayEdit", "picStopEdit", "picPause", "picSlow2", "picReverse2"})
        faces_[QLatin1String(name)] = QPixmap(programFolder() + QStringLiteral("/Bin/Icons/Controls/")
                                              + QLatin1String(name) + QStringLiteral(".png"));

    auto *events = new ControlEvents(*this, c_, this);
    for (QLabel *button : {c_.picGO, c_.Picture1, c_.picPause, c_.picSlow, c_.picReverse})
        if (button)
            button->installEventFilter(events);
    if (c_.Slider2) {
        // Only a finished gesture changes the value: no replay per pixel of a drag.
        c_.Slider2->setTracking(false);
        // A user's action (a click on the groove, the release of a drag, a key) comes just
        // before the change it makes, and arms that change's seek; the changes the
        // controller makes itself never seek. The press of a click changes the value, so
        // arming on the release would miss the first click after a board opens. An action
        // that changes nothing arms nothing, or a later change of the clock's would seek.
        connect(c_.Slider2, &QAbstractSlider::actionTriggered, &controller_, [this] {
            if (c_.Slider2->sliderPosition() != c_.Slider2->value())
                controller_.timeSliderReleased();
        });
        auto *style = new JumpSliderStyle;
        style->setParent(c_.Slider2);
        c_.Slider2->setStyle(style);
        connect(c_.Slider2, &QSlider::valueChanged, &controller_, &PlaybackController::timeSliderChanged);
    }
    if (c_.Slider1)
        connect(c_.Slider1, &QSlider::valueChanged, &controller_, &PlaybackController::setSpeed);

    connect(&controller_, &PlaybackController::modeChanged, this, &BoardPlayback::modeChanged);
    connect(&controller_, &PlaybackController::pausedChanged, this, &BoardPlayback::showPanel1);
    connect(&controller_, &PlaybackController::slowMotionChanged, this, &BoardPlayback::showSlowMotion);
    connect(&controller_, &PlaybackController::clockChanged, this, &BoardPlayback::showClockLabels);
    connect(&controller_, &PlaybackController::frameAdvanced, this, &BoardPlayback::showFrame);
    connect(&controller_, &PlaybackController::lengthChanged, this, &BoardPlayback::showLength);
    connect(&controller_, &PlaybackController::secondChanged, this, &BoardPlayback::showSecond);
    connect(&controller_, &PlaybackController::speedChanged, this, [this](int speed) {
        if (c_.Slider1) {
            const QSignalBlocker block(c_.Slider1);
            c_.Slider1->setValue(speed);
        }
        if (c_.panel2)
            c_.panel2->setText(key(31) + QString::number(speed) + QStringLiteral("x"));
    });
    connect(&controller_, &PlaybackController::seekingChanged, this, [this](bool seeking) {
        if (c_.Slider2)
            c_.Slider2->setEnabled(!seeking);
        // A seek puts every path back in view, also those Show/Hide hid; only Play hides them.
        if (!seeking)
            showAllPaths(controller_.mode() != PlayMode::Play);
    });
    connect(&controller_, &PlaybackController::seekFailed, this, [this] {
        showMessage(host_.dialogOwner(), QStringLiteral("An error ocurred during playback."), QString(),
                    MessageIcon::Critical);
    });
}

BoardPlayback::~BoardPlayback() = default;

void BoardPlayback::picGO_Click() { controller_.togglePlay(); }
void BoardPlayback::Picture1_Click() { controller_.togglePlayEdit(); }
void BoardPlayback::picPause_Click() { controller_.togglePauseByUser(); }
void BoardPlayback::picSlow_Click() { controller_.toggleSlowMotion(); }
void BoardPlayback::picReverse_Click() { controller_.toggleReverse(); }

// --- the mirror -------------------------------------------------------------------------------

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
        control->move(leftTwips / kTwipsPerPixel, control->y());
}

void BoardPlayback::showPanel1()
{
    if (!c_.panel1)
        return;
    static constexpr int kModeKey[] = {30, 35, 38}; // Stop, Play, Play/Edit
    QString text = key(29) + key(kModeKey[static_cast<int>(controller_.mode())]);
    if (controller_.slowMotion())
        text += QStringLiteral(" - ") + key(37);
    if (controller_.paused())
        text += QStringLiteral(" - ") + key(36);
    c_.panel1->setText(text);
}

void BoardPlayback::showSlowMotion(bool slow)
{
    setFace(c_.picSlow, slow ? QStringLiteral("picplay") : QStringLiteral("picSlow2"));
    c_.picSlow->setToolTip(key(slow ? 40 : 39) + QStringLiteral(" (F4)"));
    showPanel1();
}

void BoardPlayback::showAllPaths(bool visible)
{
    document_.showAllPaths(visible);
}

QString BoardPlayback::keyedStopText() const
{
    const QString t = keyedText("s0006", QString());
    return t.isEmpty() ? QStringLiteral("STOP") : t;
}

void BoardPlayback::modeChanged(PlayMode mode, PlayMode from)
{
    showPanel1();
    if (mode != PlayMode::Stopped) {
        const bool edit = mode == PlayMode::PlayEdit;
        const QString stopTip = keyedStopText() + QStringLiteral(" (F2)");
        if (edit) {
            c_.picGO->hide();
            placeButton(c_.picPause, 11040);
            placeButton(c_.picSlow, 10680);
            setFace(c_.Picture1, QStringLiteral("picStopEdit"));
            c_.Picture1->setToolTip(stopTip);
        } else {
            c_.Picture1->hide();
            placeButton(c_.picPause, 10680);
            placeButton(c_.picSlow, 10320);
            // Paths stay out of the way of a Play.
            showAllPaths(false);
        }
        c_.picPause->show();
        c_.picSlow->show();
        setFace(c_.picGO, QStringLiteral("picstop")); // the running marker, in both modes
        c_.picGO->setToolTip(stopTip);
        return;
    }

    setFace(c_.picGO, QStringLiteral("picplay"));
    setFace(c_.Picture1, QStringLiteral("picPlayEdit"));
    setFace(c_.picSlow, QStringLiteral("picSlow2"));
    setFace(c_.picReverse, QStringLiteral("picReverse2"));
    c_.picGO->show();
    c_.Picture1->show();
    c_.picPause->hide();
    c_.picSlow->hide();
    c_.Picture1->setToolTip(key(41));
    if (from == PlayMode::Stopped) { // a strat was loaded
        setFace(c_.picPause, QStringLiteral("picPause"));
        c_.picReverse->hide();
        c_.picGO->setToolTip(QStringLiteral("Play (F2)"));
        c_.picPause->setToolTip(QStringLiteral("Pause (F3)"));
        c_.picSlow->setToolTip(key(39) + QStringLiteral(" (F4)"));
        if (c_.Slider2)
            c_.Slider2->setEnabled(true);
        return;
    }
    c_.picReverse->setToolTip(QStringLiteral("Click here to play in reverse! (F5)"));
    c_.picSlow->setToolTip(QStringLiteral("Click here to play in slow motion! (F4)"));
    c_.picGO->setToolTip(from == PlayMode::PlayEdit ? QStringLiteral("Play") : QStringLiteral("Play (F2)"));
    showAllPaths(true);
}

void BoardPlayback::showClockLabels()
{
    const PlaybackModel &pb = document_.model().playback;
    if (c_.lblFrame)
        c_.lblFrame->setText(QString::number(pb.lFrameAtual()));
    if (c_.lblSegs)
        c_.lblSegs->setText(formatElapsed(std::max<int>(pb.iSegs(), 0)));
    if (c_.lblRoundTime)
        c_.lblRoundTime->setText(formatRoundTime(std::max<int>(pb.iTempoRestante(), 0)));
}

void BoardPlayback::showFrame(int frame)
{
    if (c_.lblFrame)
        c_.lblFrame->setText(QString::number(frame));
    scene_.syncIcons(document_.model(), host_);
}

void BoardPlayback::showLength(int seconds, bool longerThanRound)
{
    if (longerThanRound)
        Prompts::current().message(host_.dialogOwner(), QStringLiteral("Your strat is now longer than the round timer."),
                                   QStringLiteral("Strat Time"), MessageIcon::None, MessageButtons::Ok);
    if (c_.Slider2) {
        const QSignalBlocker block(c_.Slider2);
        c_.Slider2->setMaximum(seconds);
    }
    if (c_.lblMaxTime)
        c_.lblMaxTime->setText(QString::number(seconds));
}

void BoardPlayback::showSecond(int second)
{
    if (c_.Slider2) {
        const QSignalBlocker block(c_.Slider2);
        c_.Slider2->setValue(second);
    }
}

} // namespace quorvel
