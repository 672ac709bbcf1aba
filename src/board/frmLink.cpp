#include "board/frmLink.h"
#include "board/frmTexto.h"

#include "language/SetLanguageInForm.h"
#include "platform/Named.h"
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
    auto *frame = named<QGroupBox>("Frame1", QStringLiteral("Link to site, image or file in the web:"), this);
    auto *row = new QHBoxLayout(frame);
    txtLink = named<QLineEdit>("txtLink", frame);
    txtLink->setMinimumWidth(300);
    cmdGO = named<QPushButton>("cmdGO", QStringLiteral("GO"), frame);
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
