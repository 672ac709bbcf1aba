#include "controls/AniGif.h"

#include "common/FileHelpers.h"
#include "controls/ControlCodes.h"
#include "controls/ControlTimer.h"

#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace quorvel {

AniGif::AniGif(Clock &clock, QWidget *parent) : QWidget(parent), timer_(new ControlTimer(clock, this))
{
    setObjectName(QStringLiteral("AniGif"));
    connect(timer_, &ControlTimer::timeout, this, &AniGif::tick);
}

AniGif::~AniGif() { timer_->stop(); }

void AniGif::clearDisplay()
{
    cleared_ = true;
    update();
}

void AniGif::LoadFile(const QString &FileName, bool DoNotStart)
{
    stopAtFirstFrame_ = fastFinish_ = false;
    clearDisplay();
    timer_->stop();
    fileName_ = FileName.trimmed();
    animation_.reset();
    current_ = 0;
    if (FileName.isEmpty()) {
        fileName_.clear();
        return;
    }
    QByteArray bytes;
    if (readRegularFile(fileName_, GifLimits::maxFileBytes, bytes))
        animation_ = loadGifAnimation(bytes, nullptr);
    if (!animation_ || animation_->frameCount() == 0 || animation_->composed.size() != animation_->frames.size()) {
        animation_.reset();
        return;
    }
    resize(animation_->screen);
    if (frameCount() < 2 || DoNotStart)
        tick();
    else
        timer_->start(interval_);
}

int AniGif::frameDelay(int frame) const
{
    if (!animation_ || frame < 1 || frame > frameCount())
        return 0;
    const int delay = animation_->frames[std::size_t(frame - 1)].delayMs;
    if (delay <= 0)
        return kZeroDelayMs;
    return delay > kMaxDelayMs ? kMaxDelayMs : delay;
}

void AniGif::tick()
{
    // The timer's tick, also run by hand: it keeps the timer as it found it, except where a
    // stop rule turns it off.
    bool keep = timer_->isActive();
    if (frameCount() == 0)
        return;
    current_ = current_ >= frameCount() ? 1 : current_ + 1;
    cleared_ = false;
    update();
    interval_ = fastFinish_ ? 1 : frameDelay(current_);
    if (stopAtFirstFrame_ && current_ == 1) {
        keep = false;
        stopAtFirstFrame_ = fastFinish_ = false;
    }
    if (frameCount() == 1) {
        interval_ = 1;
        keep = false;
    }
    if (keep)
        timer_->start(interval_);
    else
        timer_->stop();
}

void AniGif::StopAnimate(bool StopAtFirstFrame, bool StopAtOnce)
{
    stopAtFirstFrame_ = fastFinish_ = false;
    if (!timer_->isActive())
        return;
    if (!StopAtFirstFrame) {
        timer_->stop();
    } else if (!StopAtOnce) {
        stopAtFirstFrame_ = true;
    } else {
        timer_->stop();
        current_ = 0;
        clearDisplay();
        tick();
    }
}

void AniGif::RestartAnimate()
{
    if (frameCount() == 0)
        return;
    stopAtFirstFrame_ = fastFinish_ = false;
    timer_->start(interval_);
}

void AniGif::NextFrame()
{
    if (frameCount() == 0)
        return;
    stopAtFirstFrame_ = fastFinish_ = false;
    tick();
}

void AniGif::FinishCycleFast()
{
    if (!timer_->isActive())
        return;
    stopAtFirstFrame_ = fastFinish_ = true;
}

void AniGif::setBackColor(std::uint32_t colour)
{
    back_ = colourFromStored(colour);
    update();
}

bool AniGif::TimerStatus() const { return timer_->isActive(); }

QImage AniGif::currentPicture() const
{
    QImage out(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    out.fill(back_);
    if (!cleared_ && animation_ && current_ >= 1) {
        QPainter p(&out);
        p.drawImage(0, 0, animation_->composed[std::size_t(current_ - 1)].image);
    }
    return out;
}

void AniGif::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.fillRect(rect(), back_);
    if (!cleared_ && animation_ && current_ >= 1)
        p.drawImage(0, 0, animation_->composed[std::size_t(current_ - 1)].image);
}

void AniGif::mouseReleaseEvent(QMouseEvent *event)
{
    emit MouseUp(mouseButtonCode(event->button()), shiftCode(event->modifiers()), float(event->position().x()),
                 float(event->position().y()));
}

} // namespace quorvel
