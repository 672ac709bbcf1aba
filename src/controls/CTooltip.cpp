#include "controls/CTooltip.h"

#include "controls/ControlCodes.h"
#include "controls/ControlTimer.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScreen>
#include <QStyle>

namespace quorvel {

namespace {

constexpr int kMargin = 8;
constexpr int kIconSize = 16;
constexpr int kMaxTextWidth = 320;
constexpr int kStem = 12;      // height of the balloon's stem
constexpr int kStemInset = 18; // its tip's distance from the balloon's left edge
constexpr int kCursorGap = 4;  // a standard tip sits this far below the pointer's hot spot

QStyle::StandardPixmap iconPixmap(int icon)
{
    switch (icon) {
    case 2: return QStyle::SP_MessageBoxWarning;
    case 3: return QStyle::SP_MessageBoxCritical;
    default: return QStyle::SP_MessageBoxInformation;
    }
}

} // namespace

BalloonWindow::BalloonWindow(QWidget *tool, bool balloon, bool centered, Clock &clock)
    : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
    , tool_(tool)
    , balloon_(balloon)
    , centered_(centered)
    , initialTimer_(new ControlTimer(clock, this))
    , autoPopTimer_(new ControlTimer(clock, this))
{
    setObjectName(QStringLiteral("CTooltip"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    connect(initialTimer_, &ControlTimer::timeout, this, &BalloonWindow::popUp);
    connect(autoPopTimer_, &ControlTimer::timeout, this, &BalloonWindow::pop);
    if (tool_) {
        tool_->installEventFilter(this);
        tool_->setMouseTracking(true);
    }
}

BalloonWindow::~BalloonWindow()
{
    if (tool_)
        tool_->removeEventFilter(this);
}

void BalloonWindow::setTitle(int icon, const QString &title)
{
    icon_ = icon;
    title_ = title;
    relayout();
}

void BalloonWindow::setTipText(const QString &text)
{
    text_ = text;
    relayout();
}

void BalloonWindow::setTextColor(std::uint32_t colour)
{
    textColour_ = colour;
    update();
}

void BalloonWindow::setBackColor(std::uint32_t colour)
{
    backColour_ = colour;
    update();
}

QColor BalloonWindow::background() const
{
    return backColour_ ? colourFromStored(backColour_) : palette().color(QPalette::ToolTipBase);
}

QColor BalloonWindow::foreground() const
{
    return textColour_ ? colourFromStored(textColour_) : palette().color(QPalette::ToolTipText);
}

bool BalloonWindow::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != tool_)
        return false;
    switch (event->type()) {
    case QEvent::Enter:
    case QEvent::MouseMove: {
        // The pointer must rest for the initial delay; once the tip is up it stays while the
        // pointer moves inside the tool.
        const QPointF global = event->type() == QEvent::Enter ? static_cast<QEnterEvent *>(event)->globalPosition()
                                                              : static_cast<QMouseEvent *>(event)->globalPosition();
        track(global.toPoint());
        break;
    }
    case QEvent::Leave:
    case QEvent::MouseButtonPress:
    case QEvent::Hide:
    case QEvent::WindowDeactivate:
        pop();
        break;
    default:
        break;
    }
    return false;
}

void BalloonWindow::track(const QPoint &globalPos)
{
    if (isVisible())
        return;
    anchor_ = globalPos;
    initialTimer_->start(std::max(initialMs_, 0));
}

void BalloonWindow::pop()
{
    initialTimer_->stop();
    autoPopTimer_->stop();
    hide();
}

void BalloonWindow::popUp()
{
    initialTimer_->stop();
    if (!tool_ || !tool_->isVisible() || (text_.isEmpty() && title_.isEmpty()))
        return;
    relayout();
    QPoint at;
    if (centered_) {
        const QRect r(tool_->mapToGlobal(QPoint(0, 0)), tool_->size());
        at = QPoint(r.center().x() - width() / 2, r.bottom());
        stemUp_ = true;
    } else {
        at = balloon_ ? anchor_ - QPoint(kStemInset, 0) : anchor_ + QPoint(0, kCursorGap + 16);
        stemUp_ = true;
    }
    if (const QScreen *screen = tool_->screen()) {
        const QRect avail = screen->availableGeometry();
        if (at.y() + height() > avail.bottom()) { // no room below: above the pointer instead
            at.setY((centered_ ? tool_->mapToGlobal(QPoint(0, 0)).y() : anchor_.y()) - height());
            stemUp_ = false;
        }
        at.setX(std::clamp(at.x(), avail.left(), std::max(avail.left(), avail.right() - width())));
    }
    relayout(); // the stem's side may have changed
    move(at);
    show();
    autoPopTimer_->start(std::max(autoPopMs_, 0));
}

void BalloonWindow::relayout()
{
    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics fm(font());
    const QFontMetrics fb(bold);
    const QRect textRect = fm.boundingRect(QRect(0, 0, kMaxTextWidth, 10000), Qt::TextWordWrap, text_);
    int titleW = 0;
    int titleH = 0;
    if (!title_.isEmpty() || icon_ != 0) {
        titleW = fb.horizontalAdvance(title_) + (icon_ ? kIconSize + 6 : 0);
        titleH = std::max(fb.height(), icon_ ? kIconSize : 0) + 4;
    }
    const int w = std::max(textRect.width(), titleW) + 2 * kMargin;
    const int h = titleH + textRect.height() + 2 * kMargin + (balloon_ ? kStem : 0);
    resize(std::max(w, balloon_ ? kStemInset + 2 * kStem : 8), h);

    if (balloon_) {
        QPainterPath path;
        const QRectF body(0, stemUp_ ? kStem : 0, width() - 1, height() - kStem - 1);
        path.addRoundedRect(body, 8, 8);
        QPolygonF stem;
        if (stemUp_)
            stem << QPointF(kStemInset, 0) << QPointF(kStemInset, kStem + 1) << QPointF(kStemInset + kStem, kStem + 1);
        else
            stem << QPointF(kStemInset, height()) << QPointF(kStemInset, height() - kStem - 1)
                 << QPointF(kStemInset + kStem, height() - kStem - 1);
        path.addPolygon(stem);
        path.setFillRule(Qt::WindingFill);
        setMask(QRegion(path.simplified().toFillPolygon().toPolygon()));
    } else {
        clearMask();
    }
    update();
}

void BalloonWindow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const int top = balloon_ && stemUp_ ? kStem : 0;
    const QRect body(0, top, width(), height() - (balloon_ ? kStem : 0));
    p.fillRect(rect(), background());
    p.setPen(QPen(foreground().darker(150), 1));
    if (balloon_) {
        QPainterPath path;
        path.addRoundedRect(QRectF(body).adjusted(0.5, 0.5, -0.5, -0.5), 8, 8);
        p.drawPath(path);
    } else {
        p.drawRect(body.adjusted(0, 0, -1, -1));
    }
    int y = top + kMargin;
    if (!title_.isEmpty() || icon_ != 0) {
        int x = kMargin;
        if (icon_) {
            const QIcon ic = style()->standardIcon(iconPixmap(icon_));
            p.drawPixmap(x, y, ic.pixmap(kIconSize, kIconSize));
            x += kIconSize + 6;
        }
        QFont bold = font();
        bold.setBold(true);
        p.setFont(bold);
        p.setPen(foreground());
        const QFontMetrics fb(bold);
        p.drawText(QPoint(x, y + (std::max(fb.height(), icon_ ? kIconSize : 0) + fb.ascent() - fb.descent()) / 2), title_);
        y += std::max(fb.height(), icon_ ? kIconSize : 0) + 4;
        p.setFont(font());
    }
    p.setPen(foreground());
    p.drawText(QRect(kMargin, y, width() - 2 * kMargin, height() - y), Qt::TextWordWrap, text_);
}

CTooltip::CTooltip(Clock &clock, QObject *parent) : QObject(parent), clock_(clock) {}

CTooltip::~CTooltip() { Destroy(); }

void CTooltip::setIcon(std::int32_t icon)
{
    icon_ = icon;
    if (window_ && !title_.isEmpty() && icon != 0)
        window_->setTitle(icon_, title_);
}

void CTooltip::setTitle(const QString &title)
{
    title_ = title;
    if (window_ && !title.isEmpty() && icon_ != 0)
        window_->setTitle(icon_, title_);
}

void CTooltip::setTipText(const QString &text)
{
    tipText_ = text;
    if (window_)
        window_->setTipText(text);
}

void CTooltip::setForeColor(std::uint32_t colour)
{
    foreColor_ = colour;
    if (window_)
        window_->setTextColor(colour);
}

void CTooltip::setBackColor(std::uint32_t colour)
{
    backColor_ = colour;
    if (window_)
        window_->setBackColor(colour);
}

void CTooltip::Create(QWidget *parent)
{
    Destroy();
    parent_ = parent;
    if (!parent)
        return;
    window_ = new BalloonWindow(parent, Style == 1, Centered, clock_);
    window_->setTipText(tipText_);
    if (!title_.isEmpty() || icon_ != 0)
        window_->setTitle(icon_, title_);
    if (foreColor_ != 0)
        window_->setTextColor(foreColor_);
    if (backColor_ != 0)
        window_->setBackColor(backColor_);
    window_->setAutoPop(VisibleTime);
    window_->setInitial(DelayTime);
}

void CTooltip::Destroy()
{
    delete window_.data();
    window_ = nullptr;
}

} // namespace quorvel
