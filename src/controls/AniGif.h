#pragma once
// `AniGif`: the light player of the busy animation the board shows while it seeks
// (`picAniUpdate`). It plays a GIF file frame by frame on the clock seam over a plain
// background: the engine walks the stream's blocks, so every frame keeps its own delay,
// disposal and offset. A frame delay of 0 plays at kZeroDelayMs, never as a busy loop; only
// `FinishCycleFast` runs frames at 1 ms.

#include "gif/GifImage.h"

#include <QWidget>

#include <cstdint>
#include <memory>

namespace quorvel {

class Clock;
class ControlTimer;

class AniGif : public QWidget {
    Q_OBJECT
public:
    static constexpr int kFirstIntervalMs = 10;
    static constexpr int kZeroDelayMs = 50;
    static constexpr int kMaxDelayMs = 65535;

    explicit AniGif(Clock &clock, QWidget *parent = nullptr);
    ~AniGif() override;

    void LoadFile(const QString &FileName, bool DoNotStart);
    void StopAnimate(bool StopAtFirstFrame, bool StopAtOnce);
    void RestartAnimate();
    void NextFrame();
    void FinishCycleFast();
    void setBackColor(std::uint32_t colour); // 0x00BBGGRR
    bool TimerStatus() const;
    std::int16_t Picture() const { return std::int16_t(frameCount()); } // the frame count

    int frameCount() const { return animation_ ? animation_->frameCount() : 0; }
    int currentFrame() const { return current_; }
    int interval() const { return interval_; }
    const QString &fileName() const { return fileName_; }
    // The delay a frame plays with (1-based), as the timer uses it.
    int frameDelay(int frame) const;
    // What the display shows now, for tests and captures.
    QImage currentPicture() const;

signals:
    void MouseUp(std::int16_t Button, std::int16_t Shift, float X, float Y);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;

private:
    void tick();
    void clearDisplay();

    ControlTimer *timer_ = nullptr;
    std::shared_ptr<const GifAnimation> animation_;
    QString fileName_;
    int current_ = 0;
    int interval_ = kFirstIntervalMs;
    bool stopAtFirstFrame_ = false;
    bool fastFinish_ = false;
    bool cleared_ = true;
    QColor back_ = Qt::black;
};

} // namespace quorvel
