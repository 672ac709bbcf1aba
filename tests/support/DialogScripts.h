#pragma once
// Scripted answers to the board's modal dialogs, for tests that install ScriptedPrompts.
#include "board/frmTexto.h"

#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

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

// Replaces what the box holds by typing text key by key, as a keyboard of the text's language
// sends it (QTest::keyClicks keeps to Latin-1).
inline void retype(QWidget *box, const QString &text)
{
    QTest::keyClick(box, Qt::Key_A, Qt::ControlModifier);
    for (const QChar c : text)
        QTest::sendKeyEvent(QTest::Click, box, Qt::Key(c.toUpper().unicode()), QString(c), Qt::NoModifier);
}

} // namespace quorvel
