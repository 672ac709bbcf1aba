#include "board/frmTexto.h"

#include "language/SetLanguageInForm.h"
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
    txtTexto = new QPlainTextEdit(this);
    txtTexto->setObjectName(QStringLiteral("txtTexto"));
    txtTexto->setFixedSize(3615 / 15, 1215 / 15);
    txtTexto->setTabChangesFocus(true);
    layout->addWidget(txtTexto);
    auto *row = new QHBoxLayout;
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdCancelar = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancelar->setObjectName(QStringLiteral("cmdCancelar"));
    row->addStretch();
    row->addWidget(cmdOK);
    row->addWidget(cmdCancelar);
    layout->addLayout(row);
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

QString askText(QWidget *owner, const QString &text)
{
    frmTexto dialog(owner);
    dialog.txtTexto->setPlainText(text);
    dialog.txtTexto->selectAll();
    return Prompts::current().exec(dialog) == QDialog::Accepted ? dialog.text() : QString();
}

} // namespace quorvel
