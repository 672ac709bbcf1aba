#pragma once
// A stand-in for the main window that tests and benchmarks give a board: the real icon
// pictures of the staged program folder, a Windows menu kept as a list, a scripted overview
// choice, and a record of what the board asked for.

#include "board/BoardHost.h"
#include "board/IconStore.h"
#include "board/frmMapa.h"

#include <QList>
#include <QStringList>

#include <functional>

namespace quorvel {

class TestHost : public BoardHost {
public:
    IconStore icons{QStringLiteral(QUORVEL_PROGRAM_DIR "/Bin/Icons")};
    QList<frmMapa *> windowList;
    QString overviewAnswer; // what the overview dialog returns ("" = Cancel)
    int overviewAsked = 0;
    int closedCount = 0;
    QStringList debugLines;
    QList<Popup> popups;
    std::function<void(Popup)> onPopup;

    QWidget *dialogOwner() override { return nullptr; }
    QPixmap iconPicture(const IconPicture &p) const override { return icons.picture(p); }
    QPixmap markerPicture() const override { return icons.marker(); }
    bool WindowListContains(frmMapa *b) override { return windowList.contains(b); }
    void WindowListAdd(frmMapa *b) override { windowList.append(b); }
    void WindowListCheck(frmMapa *, const QString &) override {}
    void WindowListRemove(frmMapa *b) override { windowList.removeAll(b); }
    QString chooseOverview() override
    {
        ++overviewAsked;
        return overviewAnswer;
    }
    void GravaDebug(const QString &line) override { debugLines << line; }
    void boardClosed(frmMapa *) override { ++closedCount; }
    void showPopup(Popup which, const QPoint &) override
    {
        popups << which;
        if (onPopup)
            onPopup(which);
    }
};

} // namespace quorvel
