#pragma once
// The board's animated controls: the grenade effects `HE`, `FLASH` and `SMOKE` (five
// `ucAniGIF` each, over the board view), the busy animation `picAniUpdate` shown while the
// board seeks, and the marker balloon (`CTooltip`, "Info" over the marker's text). They follow
// the board's PlaybackController: a grenade's burst starts the first stopped element of its
// kind, a stop, a seek, the strat's end and closing reset them all, and Pause pauses and
// resumes them. Nothing here yields to the event loop or paints by itself: the busy animation
// is read once, and a seek only shows and hides it.

#include "controls/AniGif.h"
#include "controls/ucAniGIF.h"
#include "playback/PlaybackTypes.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <array>

class QGraphicsView;

namespace quorvel {

class BoardScene;
class CTooltip;
class Clock;
class PlaybackController;
class BoardDocument;

class BoardEffects : public QObject {
    Q_OBJECT
public:
    static constexpr int kElements = 5;
    using EffectArray = std::array<QPointer<ucAniGIF>, kElements>;

    BoardEffects(PlaybackController &controller, QGraphicsView &view, const BoardScene &scene,
                 const BoardDocument &doc, Clock &clock, QObject *parent = nullptr);
    ~BoardEffects() override;

    // Starts the effect of a grenade that burst (MostraEfeito): the first stopped element of
    // its kind goes to the burst's place, shows and plays once. False when none is free.
    bool MostraEfeito(const GrenadeBurst &burst);
    // Stops and hides every effect element.
    void ResetAnimations();
    // Pauses every playing element and resumes every paused one.
    void PauseAnimations();
    // Repaints the flash and smoke elements (each clock tick).
    void refresh();
    // Some element is playing or paused.
    bool running() const;

    const EffectArray &HE() const { return he_; }
    const EffectArray &FLASH() const { return flash_; }
    const EffectArray &SMOKE() const { return smoke_; }
    AniGif *picAniUpdate() const { return busy_; }
    CTooltip &balloon() const { return *balloon_; }
    // The marker whose balloon is up (0: none).
    int balloonMarker() const { return balloonMarker_; }

    // The effect pictures in the program folder.
    static QString effectFile(const char *name);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void makeArray(EffectArray &array, const char *name, Clock &clock);
    void seekingChanged(bool seeking);
    void markerChanged(int i);
    void updateRunning();

    PlaybackController &controller_;
    QGraphicsView &view_;
    const BoardScene &scene_;
    const BoardDocument &doc_;
    EffectArray he_;
    EffectArray flash_;
    EffectArray smoke_;
    QPointer<AniGif> busy_;
    CTooltip *balloon_ = nullptr;
    int balloonMarker_ = 0;
};

} // namespace quorvel
