#pragma once
// Window translation: a window's caption and its controls' captions, tab captions and
// tooltips from the pack's record for the window's objectName().
//
// Controls are found among the window's children (widgets, actions, menus) by objectName().
// An element of a control array carries the array's name as objectName() and its index in
// the property kControlIndexProperty.

#include "language/clsLanguagePack.h"

class QWidget;

namespace quorvel {

inline constexpr char kControlIndexProperty[] = "index";

// Applies the pack's record for frmForm. A window no record names keeps its own texts; an
// entry naming a control the window lacks, or a property the control has not, changes
// nothing and the entries after it still apply.
void SetLanguageInForm(QWidget *frmForm, const clsLanguagePack &pack = LanguagePack());

// What each window's load does: translate when a pack is loaded.
void translateWindow(QWidget *frmForm);

} // namespace quorvel
