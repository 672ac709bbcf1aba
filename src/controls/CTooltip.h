#pragma once
// `CTooltip`: one tip window around one parent widget, used by the board for a marker's info
// balloon. The tool is the parent's whole area: the window watches the parent's mouse itself,
// so the tip shows after the pointer rests for `DelayTime` and goes away after `VisibleTime`,
// when the pointer leaves or a button is pressed, without further calls.
//
// Property sets on a live window change it at once by the same rules as the platform's tip
// window: a title needs an icon to be re-sent, colours are sent even when 0 on a live window
// but not by Create, where 0 means "keep the default". Texts stay Unicode throughout.

#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>

namespace quorvel {

class Clock;
class ControlTimer;

// The tip window itself: a frameless tool-tip window drawn as a rectangle or a balloon with
// an optional icon and a bold title line above the text.
class BalloonWindow : public QWidget {
    Q_OBJECT
public:
    BalloonWindow(QWidget *tool, bool balloon, bool centered, Clock &clock);
    ~BalloonWindow() override;

    // What the window holds (the "messages" CTooltip sends).
    void setTitle(int icon, const QString &title);
    void setTipText(const QString &text);
    void setTextColor(std::uint32_t colour);
    void setBackColor(std::uint32_t colour);
    void setAutoPop(int ms) { autoPopMs_ = ms; }
    void setInitial(int ms) { initialMs_ = ms; }

    int icon() const { return icon_; }
    const QString &title() const { return title_; }
    const QString &tipText() const { return text_; }
    std::uint32_t textColor() const { return textColour_; } // 0 = default
    std::uint32_t backColor() const { return backColour_; } // 0 = default
    int autoPop() const { return autoPopMs_; }
    int initial() const { return initialMs_; }
    bool balloon() const { return balloon_; }
    bool centered() const { return centered_; }
    QWidget *tool() const { return tool_; }
    // The pointer rests at globalPos over the tool: the tip shows after the initial delay.
    void track(const QPoint &globalPos);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    void pop();
    void popUp();
    void relayout();
    QColor background() const;
    QColor foreground() const;

    QPointer<QWidget> tool_;
    bool balloon_;
    bool centered_;
    int icon_ = 0;
    QString title_;
    QString text_;
    std::uint32_t textColour_ = 0;
    std::uint32_t backColour_ = 0;
    int autoPopMs_ = 100000;
    int initialMs_ = 500;
    QPoint anchor_;     // the pointer's place (global) when the tip was due
    bool stemUp_ = true; // the balloon's stem points up to the pointer
    ControlTimer *initialTimer_ = nullptr;
    ControlTimer *autoPopTimer_ = nullptr;
};

class CTooltip : public QObject {
    Q_OBJECT
public:
    explicit CTooltip(Clock &clock, QObject *parent = nullptr);
    ~CTooltip() override;

    std::int32_t Style = 0; // 1 = balloon
    bool Centered = false;
    std::int32_t VisibleTime = 100000;
    std::int32_t DelayTime = 500;

    std::int32_t Icon() const { return icon_; }
    void setIcon(std::int32_t icon);
    const QString &Title() const { return title_; }
    void setTitle(const QString &title);
    const QString &TipText() const { return tipText_; }
    void setTipText(const QString &text);
    std::uint32_t ForeColor() const { return foreColor_; }
    void setForeColor(std::uint32_t colour);
    std::uint32_t BackColor() const { return backColor_; }
    void setBackColor(std::uint32_t colour);

    // Replaces any earlier tip window with a new one whose tool is the whole of parent.
    void Create(QWidget *parent);
    void Destroy();

    // The live tip window, or none.
    BalloonWindow *window() const { return window_; }
    QWidget *parentWidget() const { return parent_; }

private:
    Clock &clock_;
    std::int32_t icon_ = 0;
    QString title_;
    QString tipText_;
    std::uint32_t foreColor_ = 0;
    std::uint32_t backColor_ = 0;
    QPointer<QWidget> parent_;
    QPointer<BalloonWindow> window_;
};

} // namespace quorvel
