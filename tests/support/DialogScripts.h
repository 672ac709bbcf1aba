#pragma once
// Scripted answers to the board's modal dialogs, for tests that install ScriptedPrompts.
#include "board/frmTexto.h"

#include <QPlainTextEdit>
#include <QPushButton>

#include <functional>

namespace quorvel {

// Closes the dialog as its close box does.
inline std::function<int(QDialog &)> closeBox()
{
    return [](QDialog &) { return int(QDialog::Rejected); };
}

// "Insert Text": types the text and presses OK.
inline std::function<int(QDialog &)> textOk(const QString &text)
{
    return [text](QDialog &d) {
        auto &t = static_cast<frmTexto &>(d);
        t.txtTexto->setPlainText(text);
        t.cmdOK->click();
        return d.result();
    };
}

} // namespace quorvel
