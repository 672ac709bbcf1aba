#include "shell/BoardMenus.h"

#include "board/BoardEditor.h"
#include "board/ProgramState.h"
#include "board/frmLink.h"
#include "board/frmMapa.h"
#include "language/clsLanguagePack.h"
#include "platform/Named.h"
#include "platform/Prompts.h"
#include "platform/Settings.h"
#include "shell/frmOptions.h"
#include "shell/frmPrincipal.h"

#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

namespace quorvel {

BoardMenus::BoardMenus(frmPrincipal &main) : QObject(&main), main_(main)
{
    auto menu = [&main](const char *name) {
        auto *m = new QMenu(QStringLiteral("Popup"), &main);
        m->setObjectName(QLatin1String(name));
        return m;
    };
    auto entry = [this](QMenu *m, const char *name, const QString &caption, void (BoardMenus::*slot)()) {
        QAction *a = m->addAction(caption);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    mnuPopup = menu("mnuPopup");
    mnuMovimento = entry(mnuPopup, "mnuMovimento", QStringLiteral("Add &Movement"), &BoardMenus::mnuMovimento_Click);
    mnuCor = entry(mnuPopup, "mnuCor", QStringLiteral("&Line Color"), &BoardMenus::mnuCor_Click);
    mnuApagar = entry(mnuPopup, "mnuApagar", QStringLiteral("&Remove Object"), &BoardMenus::mnuApagar_Click);
    mnuLink = entry(mnuPopup, "mnuLink", QStringLiteral("&Link"), &BoardMenus::mnuLink_Click);
    mnuShowHide = entry(mnuPopup, "mnuShowHide", QStringLiteral("&Show/Hide Object Lines"), &BoardMenus::mnuShowHide_Click);

    mnuPopup2 = menu("mnuPopup2");
    mnuMovimento2 = entry(mnuPopup2, "mnuMovimento2", QStringLiteral("Add &Movement"), &BoardMenus::mnuMovimento_Click);
    mnuMovimento2->setVisible(false);
    mnuMovimento2->setEnabled(false);
    mnuApagaMov = entry(mnuPopup2, "mnuApagaMov", QStringLiteral("&Remove Movement"), &BoardMenus::mnuApagaMov_Click);
    mnuLink2 = entry(mnuPopup2, "mnuLink2", QStringLiteral("&Link"), &BoardMenus::mnuLink_Click);

    mnuPopup3 = menu("mnuPopup3");
    mnuApagar2 = entry(mnuPopup3, "mnuApagar2", QStringLiteral("&Remove Object"), &BoardMenus::mnuApagar2_Click);

    QMenu *tools = main.findChild<QMenu *>(QStringLiteral("mnuTools"));
    if (!tools) {
        tools = named<QMenu>("mnuTools", QStringLiteral("&Tools"), &main);
        main.menuBar()->insertMenu(main.windowMenu() ? main.windowMenu()->menuAction() : nullptr, tools);
    }
    mnuOptions = entry(tools, "mnuOptions", QStringLiteral("&Options"), &BoardMenus::mnuOptions_Click);
}

void BoardMenus::showPopup(BoardHost::Popup which, const QPoint &globalPos)
{
    QMenu *menu = mnuPopup;
    switch (which) {
    case BoardHost::Popup::Object:
        // Every entry acts on the object just right-clicked.
        for (QAction *a : {mnuMovimento, mnuCor, mnuLink, mnuShowHide})
            a->setVisible(true);
        break;
    case BoardHost::Popup::Text:
        // Only Remove acts on a text; the others would act on an object clicked earlier.
        for (QAction *a : {mnuMovimento, mnuCor, mnuLink, mnuShowHide})
            a->setVisible(false);
        break;
    case BoardHost::Popup::PathPoint: menu = mnuPopup2; break;
    case BoardHost::Popup::Marker: menu = mnuPopup3; break;
    }
    Prompts::current().popupMenu(*menu, globalPos);
}

namespace {
// The owner of a link: the right-click selection's object or path point.
BoardDocument::LinkOwner linkOwner(const ProgramState &s) { return {s.iObjSel, s.iPontoSel}; }
} // namespace

frmMapa *BoardMenus::selectedBoard() const
{
    return main_.board(main_.state().iMapaSel);
}

void BoardMenus::mnuMovimento_Click()
{
    frmMapa *b = selectedBoard();
    main_.state().tool.addMovement(b ? b->imI() : std::int16_t(0));
}

void BoardMenus::mnuCor_Click()
{
    if (frmMapa *b = main_.activeBoard())
        b->editor().dialogs().MudaCor();
}

void BoardMenus::mnuApagar_Click()
{
    frmMapa *b = main_.activeBoard();
    if (!b)
        return;
    ProgramState &s = main_.state();
    if (s.iTipoSel == 1) {
        if (askYesNo(&main_, keyedText("s0017", QStringLiteral("Are you sure you want do remove this object?")),
                     keyedText("s0018", QStringLiteral("Remove Object")))) {
            b->document().ApagaObjeto(s.iObjSel);
            b->document().ApagaLink(linkOwner(s));
        }
    } else if (s.iTipoSel == 2) {
        if (askYesNo(&main_, keyedText("s0019", QStringLiteral("Are you sure you want to remove this text?")),
                     keyedText("s0020", QStringLiteral("Remove Text"))))
            b->document().ApagaTexto(s.iItemSel);
    }
}

void BoardMenus::mnuLink_Click()
{
    frmMapa *active = main_.activeBoard();
    if (!active)
        return;
    ProgramState &s = main_.state();
    frmLink dialog(&main_);
    dialog.iLinki = 0;
    dialog.iLMov = 0;
    dialog.iLObj = 0;
    // The selection's link, if it has one, is edited; otherwise a new one is added.
    if (const int i = active->document().ProcuraLink(linkOwner(s))) {
        dialog.txtLink->setText(active->document().link(i)->sLink);
        dialog.iLinki = static_cast<std::int16_t>(i);
    }
    if (Prompts::current().exec(dialog) != QDialog::Accepted)
        return;
    const QString link = dialog.txtLink->text();
    frmMapa *b = selectedBoard();
    if (!b || b->imI() == 0)
        return;
    if (dialog.iLinki != 0)
        b->document().EditaLink(dialog.iLinki, link);
    else
        b->document().AdicionaLink(linkOwner(s), link);
}

void BoardMenus::mnuShowHide_Click()
{
    if (frmMapa *b = main_.activeBoard())
        b->document().ShowHide(main_.state().iObjSel, false);
}

void BoardMenus::mnuApagaMov_Click()
{
    frmMapa *b = main_.activeBoard();
    if (!b)
        return;
    if (askYesNo(&main_, keyedText("s0015", QStringLiteral("Are you sure you want to remove this movement?")),
                 keyedText("s0016", QStringLiteral("Remove Movement")))) {
        ProgramState &s = main_.state();
        b->document().ApagaMovimento(s.iPontoSel, s.iItemSel);
        b->document().ApagaLink(linkOwner(s));
    }
}

void BoardMenus::mnuApagar2_Click()
{
    frmMapa *b = main_.activeBoard();
    if (!b)
        return;
    if (askYesNo(&main_, QStringLiteral("Are you sure you want to remove this marker?"), QString()))
        b->document().ApagaMarker(main_.state().iItemSel);
}

void BoardMenus::mnuOptions_Click()
{
    ProgramSettings &settings = programSettings();
    frmOptions dialog(&main_, &settings, &settingsStore());
    if (Prompts::current().exec(dialog) != QDialog::Accepted)
        return;
    ProgramState &s = main_.state();
    s.bShowAnimations = settings.bShowAnimations;
    s.iRoundTimer = settings.iRoundTimer;
    main_.applySettingsToBoards();
}

} // namespace quorvel
