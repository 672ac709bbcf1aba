#include "board/frmLink.h"
#include "board/frmTexto.h"

#include "language/SetLanguageInForm.h"
#include "platform/ShellOpen.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvel {

frmLink::frmLink(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLink"));
    setWindowTitle(QStringLiteral("Link"));
    auto *layout = new QVBoxLayout(this);
    auto *frame = new QGroupBox(QStringLiteral("Link to site, image or file in the web:"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto *row = new QHBoxLayout(frame);
    txtLink = new QLineEdit(frame);
    txtLink->setObjectName(QStringLiteral("txtLink"));
    txtLink->setMinimumWidth(300);
    cmdGO = new QPushButton(QStringLiteral("GO"), frame);
    cmdGO->setObjectName(QStringLiteral("cmdGO"));
    row->addWidget(txtLink);
    row->addWidget(cmdGO);
    layout->addWidget(frame);
    layout->addLayout(okCancelRow(this, cmdOK, cmdCancelar));
    cmdOK->setDefault(true);
    connect(cmdGO, &QPushButton::clicked, this, &frmLink::cmdGO_Click);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancelar, &QPushButton::clicked, this, &QDialog::reject);
    translateWindow(this);
}

void frmLink::cmdGO_Click()
{
    if (!txtLink->text().isEmpty())
        openLink(this, txtLink->text());
}

} // namespace quorvel
