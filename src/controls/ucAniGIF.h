#pragma once
// `ucAniGIF`: a widget that plays an animated GIF decoded by our engine (src/gif). The board's
// grenade effects are arrays of it. It only draws the frames the engine composed, scaled by its
// `Stretch` mode, mirrored and offset; the colour tables can be read and replaced while it
// plays. Its frame timer runs on the clock seam, so tests step frames by hand.
//
// Play states: 0 stopped, 1 playing, 2 paused (`Action`). With `Loops` n it plays n passes and
// stops back on frame 1, raising `LoopsEnded`. A frame stays for its own delay but never less
// than `MinFrameDelay`, so a delay of 0 plays at the minimum, not as a busy loop.
//
// Hiding pauses a playing control; showing resumes only what the hiding paused, so a control
// paused by its board stays paused when the board is minimised and restored.

#include "gif/GifImage.h"

#include <QByteArray>
#include <QPixmap>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <memory>
#include <optional>

namespace quorvel {

class HttpFetch;
class Clock;
class ControlTimer;

class ucAniGIF : public QWidget {
    Q_OBJECT
public:
    static constexpr int kBuildDelayMs = 20;

    explicit ucAniGIF(Clock &clock, QWidget *parent = nullptr);
    ~ucAniGIF() override;

    // Loaders. A failed load leaves the control empty.
    bool LoadAnimatedGIF_File(const QString &FileName);
    bool LoadAnimatedGIF_Array(QByteArrayView Bytes);
    // Fetches an http or https address in the background: RemoteLoadComplete, or
    // RemoteLoadFailure for any other address, an error, a body over the cap, or a fetch still
    // running at the deadline.
    void LoadAnimatedGIF_Remote(const QString &RemotePath);
    struct RemoteLimits {
        int deadlineMs = 30000;
        qint64 maxBytes = GifLimits::maxFileBytes;
    };
    void setRemoteLimits(const RemoteLimits &limits);

    std::int32_t Action() const { return playState_; }
    void setAction(std::int32_t value);

    std::int32_t FrameCount() const { return animation_ ? animation_->frameCount() : 0; }
    std::int32_t currentFrame() const { return curFrame_; } // c_curFrame: 1-based, 0 = empty
    std::int32_t ActualWidth() const;  // twips
    std::int32_t ActualHeight() const; // twips

    std::int32_t Stretch() const { return stretch_; }
    void setStretch(std::int32_t value);
    std::int16_t MinFrameDelay() const { return minFrameDelay_; }
    void setMinFrameDelay(std::int32_t value);
    std::int32_t Loops() const { return loops_; }
    void setLoops(std::int32_t value);
    std::int32_t LoopsRemaining() const;
    std::int32_t Mirrored() const { return mirrored_; }
    void setMirrored(std::int32_t value);
    std::int32_t DelayAnimation() const { return delayAnimation_; }
    void setDelayAnimation(std::int32_t value);
    std::int32_t OffsetX() const { return offsetX_; }
    void setOffsetX(std::int32_t value);
    std::int32_t OffsetY() const { return offsetY_; }
    void setOffsetY(std::int32_t value);
    std::int16_t MousePointer() const { return mousePointer_; }
    void setMousePointer(std::int16_t value);
    const QPixmap &MouseIcon() const { return mouseIcon_; }
    void setMouseIcon(const QPixmap &icon);

    // The current frame as a one-frame GIF; empty when nothing is loaded.
    QByteArray AnimatedGIF() const;

    // Colour tables: 0 the global table, 1..FrameCount that frame's own table. Entries are
    // 0x00RRGGBB.
    bool GetPalette(std::int32_t FrameIndex, QList<std::uint32_t> &paletteEntries);
    bool SetPalette(std::int32_t FrameIndex, const QList<std::uint32_t> &paletteEntries);
    bool CacheColorTables();
    bool RestoreColorTables(bool bReleaseCache);

    void Refresh() { repaint(); }

    // The scale factors the frames are drawn with.
    float horizontalScale() const { return hScale_; }
    float verticalScale() const { return vScale_; }
    // The picture the control shows now (frame, tables and mirroring applied), for tests and
    // captures; null when empty.
    QImage currentPicture() const;

    // Control-array element index (objectName is the array's name).
    int Index = 0;

signals:
    void Click();
    void MouseDown(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void MouseMove(std::int16_t Button, std::int16_t Shift, float X, float Y);
    void FrameChanged(std::int32_t frame);
    void LoopsEnded();
    void RemoteLoadComplete(float gifWidth, float gifHeight, bool *Cancel);
    void RemoteLoadFailure();
    // A property changed ("Delay", "Stretch", "Loops", "Mirrored", "DelayAnimation", ...).
    void PropertyChanged(const QString &name);

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;
    void changeEvent(QEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;

private:
    enum class TimerKind { Stop, Play, DelayedBuild };
    static std::shared_ptr<const GifAnimation> decode(QByteArrayView bytes);
    bool processGIF(std::shared_ptr<const GifAnimation> animation);
    // The frame on display changes (the timer, a step, a rewind, a load): FrameChanged.
    void showFrame(std::int32_t frame);
    void clearGIF();
    bool setAnimationTimer(TimerKind kind);
    void timerTick();
    void completeBuild();
    int frameInterval() const;
    void fitToImage(bool resizeControl);
    void invalidatePicture();
    const std::vector<GifColorTable> *tableSet(std::int32_t FrameIndex, int *table) const;
    void raiseMouse(QMouseEvent *event, void (ucAniGIF::*signal)(std::int16_t, std::int16_t, float, float));
    void remoteFinished(bool ok, const QByteArray &bytes);
    void cancelRemote();

    ControlTimer *timer_ = nullptr;
    TimerKind timerKind_ = TimerKind::Stop;

    std::shared_ptr<const GifAnimation> animation_;
    std::vector<GifColorTable> tables_;             // the tables in use (SetPalette changes them)
    bool tablesChanged_ = false;                     // differ from the animation's own
    std::optional<std::vector<GifColorTable>> cache_;
    mutable std::unique_ptr<GifCanvas> canvas_;      // composes frames with changed tables
    mutable int canvasLast_ = -1;                    // frame it drew last
    mutable QImage canvasImage_;
    mutable QImage picture_;                         // the current frame as shown
    mutable int pictureFrame_ = 0;

    std::int32_t curFrame_ = 0;
    std::int32_t playState_ = 0;
    std::int32_t loopsDone_ = 0;
    std::int32_t loops_ = 0;
    std::int16_t minFrameDelay_ = 50;
    std::int32_t stretch_ = 1;
    std::int32_t delayAnimation_ = 1;
    std::int32_t mirrored_ = 0;
    std::int32_t offsetX_ = 0;
    std::int32_t offsetY_ = 0;
    std::int16_t mousePointer_ = 0;
    QPixmap mouseIcon_;
    float hScale_ = 0;
    float vScale_ = 0;
    bool resizing_ = false;
    bool pausedByHide_ = false;
    bool playAfterBuild_ = false;
    bool pressed_ = false;

    QPointer<HttpFetch> download_;
    ControlTimer *remoteDeadline_ = nullptr;
    RemoteLimits remoteLimits_;
};

} // namespace quorvel
