#pragma once
// The main window's pop-up menus that a board shows on a right-click (mnuPopup for objects
// and texts, mnuPopup2 for path points, mnuPopup3 for markers), their commands with the
// confirmations, and "&Options" in the Tools menu.

#include "board/BoardHost.h"

#include <QObject>


class QAction;
class QMenu;
class QPoint;

namespace quorvel {

class frmMapa;
class frmPrincipal;

class BoardMenus : public QObject {
    Q_OBJECT
public:
    explicit BoardMenus(frmPrincipal &main);

    // Shows the pop-up for a right-click (through Prompts, like every question to the user);
    // returns after the chosen command ran.
    void showPopup(BoardHost::Popup which, const QPoint &globalPos);

    void mnuMovimento_Click();
    void mnuCor_Click();
    void mnuApagar_Click();
    void mnuLink_Click();
    void mnuShowHide_Click();
    void mnuApagaMov_Click();
    void mnuApagar2_Click();
    void mnuOptions_Click();

    QMenu *mnuPopup = nullptr;
    QMenu *mnuPopup2 = nullptr;
    QMenu *mnuPopup3 = nullptr;
    QAction *mnuMovimento = nullptr;
    QAction *mnuCor = nullptr;
    QAction *mnuApagar = nullptr;
    QAction *mnuLink = nullptr;
    QAction *mnuShowHide = nullptr;
    QAction *mnuMovimento2 = nullptr;
    QAction *mnuApagaMov = nullptr;
    QAction *mnuLink2 = nullptr;
    QAction *mnuApagar2 = nullptr;
    QAction *mnuOptions = nullptr;

private:
    frmMapa *selectedBoard() const;

    frmPrincipal &main_;
};

} // namespace quorvel
