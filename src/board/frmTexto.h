#pragma once
// "Insert Text": the small dialog in which board texts, marker infos and new texts are typed.
// text() is the text OK confirmed, as the strat file keeps it; after Cancel and the close box
// it is empty.

#include <QDialog>

class QPlainTextEdit;
class QHBoxLayout;
class QPushButton;

namespace quorvel {

// The OK and Cancel row of the small dialogs (objectNames cmdOK and cmdCancelar).
QHBoxLayout *okCancelRow(QWidget *dialog, QPushButton *&ok, QPushButton *&cancel);

class frmTexto : public QDialog {
    Q_OBJECT
public:
    explicit frmTexto(QWidget *parent = nullptr);

    QPlainTextEdit *txtTexto = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancelar = nullptr;

    const QString &text() const { return sTextoRet_; }

private:
    QString sTextoRet_;
};

// Whether text may go into the strat: true when the file holds every character of it, or when
// the user, told which characters the file saves as '?', keeps it so; false to change it.
bool keepTextForFile(QWidget *owner, const QString &text);

// Shows frmTexto with text through Prompts: the confirmed text, or "" when nothing was
// confirmed.
QString askText(QWidget *owner, const QString &text);

} // namespace quorvel
