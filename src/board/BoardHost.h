#pragma once
// What a board needs of the main window that holds it: the icon pictures, the Windows menu,
// the overview choice dialog and the debug log. The main window implements it; tests can give
// a board a small host of their own.

#include "common/Clock.h"

#include <QPixmap>
#include <QPoint>
#include <QString>

#include <optional>

class QWidget;

namespace quorvel {

class frmMapa;
struct IconPicture;

class BoardHost {
public:
    virtual ~BoardHost() = default;

    // The window that owns the board's dialogs.
    virtual QWidget *dialogOwner() = 0;

    // Icon pictures: a null pixmap where the set has no such element.
    virtual QPixmap iconPicture(const IconPicture &picture) const = 0;
    virtual QPixmap markerPicture() const = 0;

    // The Windows menu.
    virtual bool WindowListContains(frmMapa *board) = 0;
    virtual void WindowListAdd(frmMapa *board) = 0;
    virtual void WindowListCheck(frmMapa *board, const QString &action) = 0;
    virtual void WindowListRemove(frmMapa *board) = 0;

    // The overview choice dialog: the chosen image's file name, or "" on Cancel.
    virtual QString chooseOverview() = 0;

    // Appends a line to the debug log (callers test the debug switch first).
    virtual void GravaDebug(const QString &line) = 0;

    // The board's window was closed: its slot is free again.
    virtual void boardClosed(frmMapa *board) = 0;

    // The right-click menus of the main window. The board has written the right-click context
    // first; the call returns after the menu has closed and its command has run.
    enum class Popup { Object, Text, PathPoint, Marker };
    virtual void showPopup(Popup which, const QPoint &globalPos)
    {
        (void)which;
        (void)globalPos;
    }
    // The board's mouse pictures: 0 while placing, 1 for the hand tool (null: a standard cursor).
    virtual QPixmap cursorPicture(int index) const
    {
        (void)index;
        return QPixmap();
    }
    // The time source of the board's playback clock and its animations.
    virtual Clock &clock() { return Clock::system(); }
};

} // namespace quorvel
