#include "board/frmTexto.h"

#include "common/CodePage.h"
#include "language/SetLanguageInForm.h"
#include "language/clsLanguagePack.h"
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
        const QString typed = txtTexto->toPlainText();
        if (!keepTextForFile(this, typed))
            return; // the dialog stays open on what was typed
        sTextoRet_ = ansiRoundTrip(typed);
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

bool keepTextForFile(QWidget *owner, const QString &text)
{
    const QStringList lost = notInAnsi(text);
    if (lost.isEmpty())
        return true;
    // Said before anything is lost: the file format has room for Windows-1252 only.
    const QString question =
        keyedText("ansi01", QStringLiteral("A strat file cannot hold these characters; each will be saved as \"?\":\n"
                                           "%1\n\nKeep the text like this? If not, you can change it."))
            .arg(lost.join(u' '));
    return askYesNo(owner, question, QString(), MessageIcon::Warning);
}

QString askText(QWidget *owner, const QString &text)
{
    frmTexto dialog(owner);
    dialog.txtTexto->setPlainText(text);
    dialog.txtTexto->selectAll();
    return Prompts::current().exec(dialog) == QDialog::Accepted ? dialog.text() : QString();
}

} // namespace quorvel
