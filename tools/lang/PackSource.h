#pragma once
// The committed text source of a language pack, UTF-8:
//
//   # a comment
//   [strings]
//   s0021 = "Abrir estrategia"
//   [form frmPrincipal]
//   @caption = "Quorvel"
//   mnuAbrir = "&Abrir"               a control's caption
//   imgMove.tooltip = "Mover ventana" its tooltip
//   picObj(3) = "..."                 a control-array element
//   tabOptions.TabCaption(1) = "..."  a tab
//
// Texts stand in double quotes with the escapes \" \\ \n and \t. A control's caption and
// tooltip lines make one control entry, in the order the control first appears.

#include "language/clsLanguagePack.h"

#include <QString>

namespace quorvel {

// Parses source into a pack. On error returns false and sets *error to "line N: why".
bool parsePackSource(const QString &source, LanguagePackData &out, QString *error);

} // namespace quorvel
