#include "board/frmTexto.h"

#include "language/SetLanguageInForm.h"
#include "platform/Named.h"
#include "platform/Prompts.h"

#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvel {

frmTexto::frmTexto(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmTexto"));
    setWindowTitle(QStringLiteral("Insert Text"));
    auto *layout = new QVBoxLayout(this);
    txtTexto = named<QPlainTextEdit>("txtTexto", this);
    txtTexto->setFixedSize(3615 / 15, 1215 / 15);
    txtTexto->setTabChangesFocus(true);
    layout->addWidget(txtTexto);
    layout->addLayout(okCancelRow(this, cmdOK, cmdCancelar));
    layout->setSizeConstraint(QLayout::SetFixedSize);
    connect(cmdOK, &QPushButton::clicked, this, [this] {
        sTextoRet_ = txtTexto->toPlainText();
        accept();
    });
    connect(cmdCancelar, &QPushButton::clicked, this, [this] {
        sTextoRet_.clear();
        reject();
    });
    translateWindow(this);
}

QHBoxLayout *okCancelRow(QWidget *dialog, QPushButton *&ok, QPushButton *&cancel)
{
    auto *row = new QHBoxLayout;
    ok = named<QPushButton>("cmdOK", QStringLiteral("OK"), dialog);
    cancel = named<QPushButton>("cmdCancelar", QStringLiteral("Cancel"), dialog);
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

QString askText(QWidget *owner, const QString &text)
{
    frmTexto dialog(owner);
    dialog.txtTexto->setPlainText(text);
    dialog.txtTexto->selectAll();
    return Prompts::current().exec(dialog) == QDialog::Accepted ? dialog.text() : QString();
}

} // namespace quorvel
