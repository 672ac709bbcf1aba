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

    QMenu *mnuPopup;
    QMenu *mnuPopup2;
    QMenu *mnuPopup3;
    QAction *mnuMovimento;
    QAction *mnuCor;
    QAction *mnuApagar;
    QAction *mnuLink;
    QAction *mnuShowHide;
    QAction *mnuMovimento2;
    QAction *mnuApagaMov;
    QAction *mnuLink2;
    QAction *mnuApagar2;
    QAction *mnuOptions;

private:
    frmMapa *selectedBoard() const;

    frmPrincipal &main_;
};

} // namespace quorvel
