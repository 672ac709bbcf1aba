#include "board/BoardEffects.h"

#include "board/BoardScene.h"
#include "common/ProgramFolder.h"
#include "controls/AniGif.h"
#include "controls/CTooltip.h"
#include "controls/ucAniGIF.h"
#include "board/BoardDocument.h"
#include "document/StratTypes.h"
#include "platform/Named.h"
#include "playback/PlaybackController.h"

#include <QGraphicsItem>
#include <QGraphicsView>
#include <QHelpEvent>
#include <QMouseEvent>

namespace quorvel {

BoardEffects::BoardEffects(PlaybackController &controller, QGraphicsView &view, const BoardScene &scene,
                           const BoardDocument &doc, Clock &clock, QObject *parent)
    : QObject(parent), controller_(controller), view_(view), scene_(scene), doc_(doc), balloon_(new CTooltip(clock, this))
{
    makeArray(he_, "HE", clock);
    makeArray(flash_, "FLASH", clock);
    makeArray(smoke_, "SMOKE", clock);

    // Read and decoded once here, so that a seek only shows it and starts its timer.
    busy_ = named<AniGif>("picAniUpdate", clock, view.viewport());
    busy_->hide();
    busy_->LoadFile(programFolder() + QStringLiteral("/Bin/Loading.gif"), true);

    balloon_->Style = 1;
    balloon_->setIcon(1);
    view.viewport()->installEventFilter(this);
    view.viewport()->setMouseTracking(true);

    connect(&controller, &PlaybackController::grenadeBurst, this, &BoardEffects::MostraEfeito);
    connect(&controller, &PlaybackController::resetEffects, this, &BoardEffects::ResetAnimations);
    connect(&controller, &PlaybackController::pauseEffects, this, &BoardEffects::PauseAnimations);
    connect(&controller, &PlaybackController::frameAdvanced, this, &BoardEffects::refresh);
    connect(&controller, &PlaybackController::seekingChanged, this, &BoardEffects::seekingChanged);
    connect(&doc, &BoardDocument::markerChanged, this, &BoardEffects::markerChanged);
    connect(&doc, &BoardDocument::reset, this, [this] {
        balloonMarker_ = 0;
        balloon_->Destroy();
    });
}

BoardEffects::~BoardEffects() = default;

QString BoardEffects::effectFile(const char *name)
{
    return programFolder() + QStringLiteral("/Bin/Effects/") + QLatin1String(name) + QStringLiteral(".gif");
}

void BoardEffects::makeArray(EffectArray &array, const char *name, Clock &clock)
{
    // As the board's definition carries them: sized to the image, built after the load, one
    // pass per start, never starting by themselves. The engine decodes each file once.
    const QString file = effectFile(name);
    for (int i = 0; i < kElements; ++i) {
        auto *c = new ucAniGIF(clock, view_.viewport());
        c->setObjectName(QLatin1String(name));
        c->Index = i;
        c->setAttribute(Qt::WA_TransparentForMouseEvents); // clicks reach the board beneath
        c->hide();
        c->setStretch(4);
        c->setDelayAnimation(2);
        c->LoadAnimatedGIF_File(file);
        c->setLoops(1);
        connect(c, &ucAniGIF::LoopsEnded, this, &BoardEffects::updateRunning);
        array[std::size_t(i)] = c;
    }
}

bool BoardEffects::MostraEfeito(const GrenadeBurst &burst)
{
    EffectArray *array = burst.type == HeGrenade      ? &he_
                         : burst.type == FlashGrenade ? &flash_
                         : burst.type == SmokeGrenade ? &smoke_
                                                      : nullptr;
    if (!array)
        return false;
    for (const QPointer<ucAniGIF> &c : *array) {
        if (!c || c->Action() != 0)
            continue;
        c->move(view_.mapFromScene(QPointF(burst.Left, burst.Top)));
        c->show();
        c->raise();
        c->setAction(1);
        updateRunning();
        return true;
    }
    return false;
}

void BoardEffects::ResetAnimations()
{
    for (int i = 0; i < kElements; ++i)
        for (EffectArray *array : {&he_, &flash_, &smoke_})
            if (ucAniGIF *c = (*array)[std::size_t(i)]) {
                c->setAction(0);
                c->hide();
            }
    updateRunning();
}

void BoardEffects::PauseAnimations()
{
    for (int i = 0; i < kElements; ++i)
        for (EffectArray *array : {&he_, &flash_, &smoke_})
            if (ucAniGIF *c = (*array)[std::size_t(i)]) {
                if (c->Action() == 1)
                    c->setAction(2);
                else if (c->Action() == 2)
                    c->setAction(1);
            }
}

void BoardEffects::refresh()
{
    for (EffectArray *array : {&flash_, &smoke_})
        for (const QPointer<ucAniGIF> &c : *array)
            if (c && c->isVisible())
                c->update();
}

bool BoardEffects::running() const
{
    for (const EffectArray *array : {&he_, &flash_, &smoke_})
        for (const QPointer<ucAniGIF> &c : *array)
            if (c && c->Action() != 0)
                return true;
    return false;
}

void BoardEffects::updateRunning() { controller_.setEffectsRunning(running()); }

void BoardEffects::seekingChanged(bool seeking)
{
    if (!busy_)
        return;
    if (seeking) {
        busy_->RestartAnimate();
        const QSize area = view_.viewport()->size();
        busy_->move((area.width() - busy_->width()) / 2, (area.height() - busy_->height()) / 2);
        busy_->show();
        busy_->raise();
    } else {
        busy_->hide();
        busy_->StopAnimate(false, true);
    }
}

// ---- the marker balloon ----

void BoardEffects::markerChanged(int i)
{
    // The balloon's marker was edited or deleted: its text changes in place, or it goes.
    if (i != balloonMarker_ || i == 0)
        return;
    const tpTexto *record = doc_.marker(i);
    if (record && !isDeletedText(*record)) {
        balloon_->setTipText(record->Texto);
    } else {
        balloonMarker_ = 0;
        balloon_->Destroy();
    }
}

bool BoardEffects::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != view_.viewport())
        return false;
    // A marker's text shows only in the balloon: the scene gives markers no plain tooltip.
    if (event->type() == QEvent::Leave || event->type() == QEvent::Hide) {
        // The pointer left the board (or the board went): the balloon goes with it.
        if (balloonMarker_ != 0) {
            balloonMarker_ = 0;
            balloon_->Destroy();
        }
    } else if (event->type() == QEvent::MouseMove) {
        // The first marker's balloon stays, over other markers and elements too, until the
        // pointer moves over the bare board.
        auto *move = static_cast<QMouseEvent *>(event);
        const BoardHit hit = scene_.elementAt(view_.viewportTransform().inverted().map(move->position()));
        const tpTexto *record = hit.kind == BoardElement::Marker ? doc_.marker(hit.index) : nullptr;
        if (record && !isDeletedText(*record) && balloonMarker_ == 0) {
            balloonMarker_ = hit.index;
            balloon_->setTitle(QStringLiteral("Info"));
            balloon_->setTipText(record->Texto);
            balloon_->Create(view_.viewport());
            if (BalloonWindow *w = balloon_->window())
                w->track(move->globalPosition().toPoint());
        } else if (hit.kind == BoardElement::Board && balloonMarker_ != 0) {
            balloonMarker_ = 0;
            balloon_->Destroy();
        }
    }
    return false;
}

} // namespace quorvel
