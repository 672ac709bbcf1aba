#include "controls/ucAniGIF.h"

#include "common/FileHelpers.h"
#include "common/Rounding.h"
#include "controls/ControlCodes.h"
#include "controls/ControlTimer.h"
#include "platform/HttpFetch.h"

#include <QMouseEvent>
#include <QPainter>

#include <climits>
#include <cmath>

namespace quorvel {

namespace {

} // namespace

ucAniGIF::ucAniGIF(Clock &clock, QWidget *parent)
    : QWidget(parent), timer_(new ControlTimer(clock, this)), remoteDeadline_(new ControlTimer(clock, this))
{
    setObjectName(QStringLiteral("ucAniGIF"));
    connect(timer_, &ControlTimer::timeout, this, &ucAniGIF::timerTick);
    connect(remoteDeadline_, &ControlTimer::timeout, this, [this] {
        remoteDeadline_->stop();
        if (download_)
            download_->abort(tr("No answer in time.")); // finishes with an error: RemoteLoadFailure
    });
}

ucAniGIF::~ucAniGIF()
{
    timer_->stop();
    cancelRemote();
}

// ---- loading ----

std::shared_ptr<const GifAnimation> ucAniGIF::decode(QByteArrayView bytes)
{
    std::shared_ptr<const GifAnimation> animation = bytes.isEmpty() ? nullptr : loadGifAnimation(bytes, nullptr);
    if (!animation || animation->frameCount() == 0 || animation->composed.size() != animation->frames.size())
        return nullptr;
    return animation;
}

bool ucAniGIF::LoadAnimatedGIF_File(const QString &FileName)
{
    QByteArray bytes;
    if (!readRegularFile(FileName, GifLimits::maxFileBytes, bytes))
        bytes.clear();
    return LoadAnimatedGIF_Array(bytes);
}

bool ucAniGIF::LoadAnimatedGIF_Array(QByteArrayView Bytes) { return processGIF(decode(Bytes)); }

bool ucAniGIF::processGIF(std::shared_ptr<const GifAnimation> animation)
{
    clearGIF();
    if (!animation)
        return false;
    animation_ = std::move(animation);
    tables_ = animation_->colorTables;
    loops_ = animation_->loopCount;
    showFrame(1);
    fitToImage(stretch_ == 1 || stretch_ == 3 || stretch_ == 4);
    if (FrameCount() == 1)
        return true;
    if (delayAnimation_ == 0)
        completeBuild();
    else
        setAnimationTimer(TimerKind::DelayedBuild);
    return true;
}

void ucAniGIF::clearGIF()
{
    setAnimationTimer(TimerKind::Stop);
    animation_.reset();
    tables_.clear();
    tablesChanged_ = false;
    cache_.reset();
    canvas_.reset();
    canvasLast_ = -1;
    invalidatePicture();
    curFrame_ = 0;
    playState_ = 0;
    loopsDone_ = 0;
    loops_ = 0;
    hScale_ = vScale_ = 0;
    pausedByHide_ = false;
    playAfterBuild_ = false;
    update(); // a failed load leaves the control empty on screen too
}

void ucAniGIF::completeBuild()
{
    const bool play = playAfterBuild_ || !(delayAnimation_ & 2);
    playAfterBuild_ = false;
    if (play)
        setAnimationTimer(TimerKind::Play);
}

// ---- timer ----

int ucAniGIF::frameInterval() const
{
    const int delay = animation_->frames[std::size_t(curFrame_ - 1)].delayMs;
    return delay < minFrameDelay_ ? minFrameDelay_ : delay;
}

bool ucAniGIF::setAnimationTimer(TimerKind kind)
{
    if (kind == TimerKind::Stop) {
        timer_->stop();
        timerKind_ = TimerKind::Stop;
        playState_ = 0;
        return false;
    }
    if (playState_ == 1)
        return false;
    playState_ = 0;
    if (curFrame_ == 0 || (kind == TimerKind::Play && FrameCount() == 1))
        return false;
    timerKind_ = kind;
    timer_->start(kind == TimerKind::DelayedBuild ? kBuildDelayMs : frameInterval());
    playState_ = 1;
    return true;
}

void ucAniGIF::timerTick()
{
    if (timerKind_ == TimerKind::DelayedBuild) {
        setAnimationTimer(TimerKind::Stop);
        completeBuild();
        return;
    }
    timer_->stop();
    if (curFrame_ == 0)
        return;
    bool stopped = false;
    const bool wrapped = curFrame_ >= FrameCount();
    if (wrapped && loops_ > 0 && ++loopsDone_ >= loops_) {
        playState_ = 0;
        timerKind_ = TimerKind::Stop;
        loopsDone_ = 0;
        stopped = true;
    }
    showFrame(wrapped ? 1 : curFrame_ + 1);
    if (stopped)
        emit LoopsEnded();
    else
        timer_->start(frameInterval());
}

// ---- Action ----

void ucAniGIF::setAction(std::int32_t value)
{
    if (curFrame_ == 0 || value < 0 || value > 4)
        return;
    pausedByHide_ = false;
    switch (value) {
    case 0:
    case 4:
        setAnimationTimer(TimerKind::Stop);
        loopsDone_ = 0;
        playAfterBuild_ = false;
        showFrame(1);
        if (value == 4)
            setAnimationTimer(TimerKind::Play);
        break;
    case 1:
        // A play asked for while the frames are still being built starts once they are.
        if (playState_ == 1 && timerKind_ == TimerKind::DelayedBuild)
            playAfterBuild_ = true;
        else
            setAnimationTimer(TimerKind::Play);
        break;
    case 2:
        if (playState_ != 0) {
            setAnimationTimer(TimerKind::Stop);
            playState_ = 2;
        }
        break;
    case 3:
        setAnimationTimer(TimerKind::Stop);
        playState_ = 2;
        showFrame(curFrame_ >= FrameCount() ? 1 : curFrame_ + 1);
        break;
    }
}

// ---- properties ----

std::int32_t ucAniGIF::ActualWidth() const { return animation_ ? animation_->size.width() * kTwipsPerPixel : 0; }
std::int32_t ucAniGIF::ActualHeight() const { return animation_ ? animation_->size.height() * kTwipsPerPixel : 0; }

void ucAniGIF::setStretch(std::int32_t value)
{
    if (value < 0 || value > 4 || value == stretch_)
        return;
    const std::int32_t state = playState_;
    stretch_ = value;
    setAction(2);
    fitToImage(true);
    setAction(state);
    if (state != 1)
        update();
    emit PropertyChanged(QStringLiteral("Stretch"));
}

void ucAniGIF::setMinFrameDelay(std::int32_t value)
{
    const auto clamped = std::int16_t(std::clamp(value, 10, 32700));
    if (clamped == minFrameDelay_)
        return;
    minFrameDelay_ = clamped;
    emit PropertyChanged(QStringLiteral("Delay"));
}

void ucAniGIF::setLoops(std::int32_t value)
{
    if (value == loops_)
        return;
    loops_ = value == INT_MIN ? INT_MAX : std::abs(value);
    emit PropertyChanged(QStringLiteral("Loops"));
}

std::int32_t ucAniGIF::LoopsRemaining() const
{
    if (!animation_)
        return -1;
    return loops_ == 0 ? 0 : loops_ - loopsDone_;
}

void ucAniGIF::setMirrored(std::int32_t value)
{
    if (value < 0 || value > 3)
        return;
    if (!animation_) {
        mirrored_ = value;
        emit PropertyChanged(QStringLiteral("Mirrored"));
        return;
    }
    if (value == mirrored_)
        return;
    const std::int32_t state = playState_;
    if (playState_ != 0) {
        setAnimationTimer(TimerKind::Stop);
        playState_ = 2;
    }
    mirrored_ = value;
    invalidatePicture();
    if (state == 1)
        setAnimationTimer(TimerKind::Play);
    else
        update();
    emit PropertyChanged(QStringLiteral("Mirrored"));
}

void ucAniGIF::setDelayAnimation(std::int32_t value)
{
    if (value < 0 || value > 3 || value == delayAnimation_)
        return;
    delayAnimation_ = value;
    emit PropertyChanged(QStringLiteral("DelayAnimation"));
}

void ucAniGIF::setOffsetX(std::int32_t value)
{
    offsetX_ = value;
    if (playState_ != 1)
        update();
}

void ucAniGIF::setOffsetY(std::int32_t value)
{
    offsetY_ = value;
    if (playState_ != 1)
        update();
}

void ucAniGIF::setMousePointer(std::int16_t value)
{
    mousePointer_ = value;
    if (value == 99 && !mouseIcon_.isNull())
        setCursor(QCursor(mouseIcon_));
    else
        unsetCursor();
}

void ucAniGIF::setMouseIcon(const QPixmap &icon)
{
    mouseIcon_ = icon;
    if (icon.isNull())
        mousePointer_ = 0;
    setMousePointer(mousePointer_);
    emit PropertyChanged(QStringLiteral("MouseIcon"));
}

QByteArray ucAniGIF::AnimatedGIF() const
{
    if (curFrame_ == 0)
        return {};
    // As shown: a mirrored control hands out the mirrored frame, with the tables in use.
    const GifFrame frame = mirroredGifFrame(animation_->frames[std::size_t(curFrame_ - 1)], animation_->size, mirrored_);
    const auto t = std::size_t(frame.colorTable);
    return encodeGifFrame(frame, t < tables_.size() ? tables_[t] : GifColorTable());
}

// ---- colour tables ----

const std::vector<GifColorTable> *ucAniGIF::tableSet(std::int32_t FrameIndex, int *table) const
{
    if (!animation_ || FrameIndex < 0 || FrameIndex > FrameCount())
        return nullptr;
    *table = FrameIndex == 0 ? 0 : animation_->frames[std::size_t(FrameIndex - 1)].colorTable;
    if ((FrameIndex > 0 && *table == 0) || std::size_t(*table) >= tables_.size())
        return nullptr;
    return &tables_;
}

bool ucAniGIF::GetPalette(std::int32_t FrameIndex, QList<std::uint32_t> &paletteEntries)
{
    int t = 0;
    if (!tableSet(FrameIndex, &t))
        return false;
    const GifColorTable &table = tables_[std::size_t(t)];
    paletteEntries.resize(table.size());
    for (qsizetype i = 0; i < table.size(); ++i)
        paletteEntries[i] = table[i] & 0xFFFFFFu;
    return true;
}

bool ucAniGIF::SetPalette(std::int32_t FrameIndex, const QList<std::uint32_t> &paletteEntries)
{
    int t = 0;
    if (paletteEntries.isEmpty() || !tableSet(FrameIndex, &t))
        return false;
    GifColorTable &table = tables_[std::size_t(t)];
    if (paletteEntries.size() < table.size())
        return false;
    for (qsizetype i = 0; i < table.size(); ++i)
        table[i] = 0xFF000000u | (paletteEntries[i] & 0xFFFFFFu);
    tablesChanged_ = true;
    canvas_.reset();
    invalidatePicture();
    update();
    return true;
}

bool ucAniGIF::CacheColorTables()
{
    if (cache_)
        return false;
    cache_ = tables_;
    return true;
}

bool ucAniGIF::RestoreColorTables(bool bReleaseCache)
{
    if (!cache_)
        return false;
    tables_ = *cache_;
    tablesChanged_ = animation_ && tables_ != animation_->colorTables;
    canvas_.reset();
    invalidatePicture();
    update();
    if (bReleaseCache)
        cache_.reset();
    return true;
}

// ---- drawing ----

void ucAniGIF::invalidatePicture()
{
    picture_ = QImage();
    pictureFrame_ = 0;
}

void ucAniGIF::showFrame(std::int32_t frame)
{
    const bool changed = frame != curFrame_;
    curFrame_ = frame;
    invalidatePicture();
    update();
    if (changed)
        emit FrameChanged(frame);
}

QImage ucAniGIF::currentPicture() const
{
    if (curFrame_ == 0 || !animation_)
        return {};
    if (pictureFrame_ == curFrame_ && !picture_.isNull())
        return picture_;
    const int index = curFrame_ - 1;
    QImage image;
    if (!tablesChanged_) {
        image = animation_->composed[std::size_t(index)].image;
    } else {
        // Changed colours: compose afresh, frames in play order from the last one drawn.
        if (!canvas_) {
            canvas_ = std::make_unique<GifCanvas>(animation_);
            canvasLast_ = -1;
        }
        int from = canvasLast_ + 1;
        if (index < from || canvasLast_ < 0)
            from = 0;
        for (int i = from; i <= index; ++i)
            canvasImage_ = canvas_->draw(i, tables_);
        canvasLast_ = index;
        image = canvasImage_;
    }
    if (mirrored_ & 3)
        image = image.mirrored((mirrored_ & 1) != 0, (mirrored_ & 2) != 0);
    picture_ = image;
    pictureFrame_ = curFrame_;
    return picture_;
}

void ucAniGIF::fitToImage(bool resizeControl)
{
    if (!animation_)
        return;
    const GifScale scale = gifScale(stretch_, size(), animation_->size);
    hScale_ = scale.horizontal;
    vScale_ = scale.vertical;
    if (resizeControl && scale.size != size() && !resizing_) {
        resizing_ = true; // the resize below must not fit again
        resize(scale.size);
        resizing_ = false;
    }
}

void ucAniGIF::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    if (!resizing_)
        fitToImage(true);
}

void ucAniGIF::paintEvent(QPaintEvent *)
{
    const QImage image = currentPicture();
    if (image.isNull())
        return;
    QPainter p(this);
    const bool stretched = hScale_ != 1.0f || vScale_ != 1.0f;
    if (stretched)
        p.setRenderHint(QPainter::SmoothPixmapTransform);
    const QRectF target(offsetX_, offsetY_, double(image.width()) * hScale_, double(image.height()) * vScale_);
    p.drawImage(QRectF(roundHalfEven(target.x()), roundHalfEven(target.y()), roundHalfEven(target.width()),
                       roundHalfEven(target.height())),
                image);
}

// ---- showing and hiding ----

void ucAniGIF::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (playState_ == 1 && timerKind_ == TimerKind::Play) {
        setAnimationTimer(TimerKind::Stop);
        playState_ = 2;
        pausedByHide_ = true;
    }
}

void ucAniGIF::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // Only what the hiding paused plays on; a pause of the board's stays.
    if (playState_ == 2 && pausedByHide_) {
        pausedByHide_ = false;
        setAnimationTimer(TimerKind::Play);
    }
}

void ucAniGIF::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        emit PropertyChanged(QStringLiteral("Enabled"));
}

// ---- mouse ----

void ucAniGIF::raiseMouse(QMouseEvent *event, void (ucAniGIF::*signal)(std::int16_t, std::int16_t, float, float))
{
    const std::int16_t button = event->type() == QEvent::MouseMove ? mouseButtonCode(event->buttons()) : mouseButtonCode(event->button());
    const QPointF pos = event->position();
    emit(this->*signal)(button, shiftCode(event->modifiers()), float(std::floor(pos.x() * kTwipsPerPixel)),
                        float(std::floor(pos.y() * kTwipsPerPixel)));
}

void ucAniGIF::mousePressEvent(QMouseEvent *event)
{
    pressed_ = true;
    raiseMouse(event, &ucAniGIF::MouseDown);
}

void ucAniGIF::mouseReleaseEvent(QMouseEvent *event)
{
    raiseMouse(event, &ucAniGIF::MouseUp);
    const bool click = pressed_ && rect().contains(event->position().toPoint());
    pressed_ = false;
    if (click)
        emit Click();
}

void ucAniGIF::mouseMoveEvent(QMouseEvent *event) { raiseMouse(event, &ucAniGIF::MouseMove); }

} // namespace quorvel
