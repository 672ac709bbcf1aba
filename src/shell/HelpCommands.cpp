#include "shell/HelpCommands.h"

#include "platform/Named.h"
#include "platform/Prompts.h"
#include "shell/frmDica.h"
#include "shell/frmSobre.h"
#include "shell/frmUpdate.h"

#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QSizePolicy>
#include <QToolBar>

namespace quorvel {

HelpCommands::HelpCommands(QMainWindow &main, QToolBar *tools) : QObject(&main), main_(main)
{
    QMenu *mnuAjuda = main.menuBar()->addMenu(QStringLiteral("&Help"));
    mnuAjuda->setObjectName(QStringLiteral("mnuAjuda"));
    auto entry = [this, mnuAjuda](const char *name, const QString &caption, void (HelpCommands::*slot)()) {
        QAction *a = mnuAjuda->addAction(caption);
        a->setObjectName(QLatin1String(name));
        connect(a, &QAction::triggered, this, slot);
        return a;
    };
    mnuCheckForUpdate = entry("mnuCheckForUpdate", QStringLiteral("&Check For Updates"),
                              &HelpCommands::mnuCheckForUpdate_Click);
    mnuDica = entry("mnuDica", QStringLiteral("&Tip of the Day"), &HelpCommands::mnuDica_Click);
    mnuSobre = entry("mnuSobre", QStringLiteral("&About Quorvel..."), &HelpCommands::mnuSobre_Click);

    lblAutoCheck = named<ClickLabel>("lblAutoCheck", &main);
    lblAutoCheck->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    lblAutoCheck->setStyleSheet(QStringLiteral("color: #c01010; font-weight: bold;"));
    lblAutoCheck->setCursor(Qt::PointingHandCursor);
    connect(lblAutoCheck, &ClickLabel::clicked, this, &HelpCommands::lblAutoCheck_Click);
    if (tools) {
        auto *spacer = new QWidget(tools);
        spacer->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Preferred);
        tools->addWidget(spacer);
        tools->addWidget(lblAutoCheck);
    }
}

void HelpCommands::mnuCheckForUpdate_Click()
{
    frmUpdate dialog(&main_);
    Prompts::current().exec(dialog);
}

void HelpCommands::mnuDica_Click()
{
    frmDica dialog(&main_);
    Prompts::current().exec(dialog);
}

void HelpCommands::mnuSobre_Click()
{
    frmSobre dialog(&main_);
    sobre_ = &dialog;
    Prompts::current().exec(dialog);
}

void HelpCommands::closeAboutBox()
{
    if (sobre_)
        sobre_->reject();
}

void HelpCommands::lblAutoCheck_Click()
{
    if (newerVersion_)
        mnuCheckForUpdate_Click();
}

void HelpCommands::startUpCheck(const UpdateSource &source)
{
    if (!source.enabled())
        return;
    delete Inet1;
    Inet1 = named<UpdateClient>("Inet1", source, this);
    connect(Inet1, &UpdateClient::fetched, this, [this](const QString &, bool ok, const QString &body) {
        if (ok && isNewerVersion(localVersionText(), body)) {
            newerVersion_ = true;
            lblAutoCheck->setText(noticeText());
        }
        emit startUpCheckDone();
    });
    Inet1->fetch(QStringLiteral("/currentversion.txt"));
}

} // namespace quorvel
