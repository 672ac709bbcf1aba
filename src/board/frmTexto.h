#pragma once
// "Insert Text": the small dialog in which board texts, marker infos and new texts are typed.
// OK hands the text back in sTextoRet; Cancel and the close box leave it empty.

#include <QDialog>

class QPlainTextEdit;
class QPushButton;

namespace quorvel {

class frmTexto : public QDialog {
    Q_OBJECT
public:
    explicit frmTexto(QString &sTextoRet, QWidget *parent = nullptr);

    QPlainTextEdit *txtTexto;
    QPushButton *cmdOK;
    QPushButton *cmdCancelar;

private:
    QString &sTextoRet_;
};

// Shows frmTexto with text through Prompts: the confirmed text, or "" when nothing was
// confirmed. sTextoRet is emptied before the dialog shows.
QString askText(QWidget *owner, QString &sTextoRet, const QString &text);

} // namespace quorvel
