#include "shell/frmOptions.h"

#include "language/SetLanguageInForm.h"
#include "platform/Named.h"
#include "platform/Prompts.h"
#include "platform/SelectAllOnFocus.h"
#include "shell/ButtonRow.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvel {


frmOptions::frmOptions(QWidget *parent, ProgramSettings *settings, SettingsStore *store)
    : QDialog(parent),
      settings_(settings ? settings : &programSettings()),
      store_(store ? store : &settingsStore())
{
    setObjectName(QStringLiteral("frmOptions"));
    setWindowTitle(tr("Options"));

    chkAutoCheck = named<QCheckBox>("chkAutoCheck", tr("Automatically check for updates when Quorvel starts."), this);
    chkMapDefault = named<QCheckBox>("chkMapDefault", tr("Use the new edition's maps as the default overviews."), this);
    chkShowAnimations =
        named<QCheckBox>("chkShowAnimations", tr("Show HE/Flash/Smoke animations during playback."), this);
    chkRecordSound = named<QCheckBox>("chkRecordSound", tr("Record sound when exporting to video."), this);

    txtRoundTimer = named<QLineEdit>("txtRoundTimer", QStringLiteral("105"), this);
    txtRoundTimer->setMaximumWidth(60);
    selectAllOnFocus(txtRoundTimer);
    auto *label = named<QLabel>("Label1", tr("Round Timer (in seconds)"), this);

    cmdOK = named<QPushButton>("cmdOK", tr("OK"), this);
    cmdOK->setDefault(true);
    cmdCancel = named<QPushButton>("cmdCancel", tr("Cancel"), this);

    auto *timerRow = new QHBoxLayout;
    timerRow->addWidget(txtRoundTimer);
    timerRow->addWidget(label);
    timerRow->addStretch();
    QHBoxLayout *buttons = buttonRow({cmdOK, cmdCancel});
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(chkAutoCheck);
    layout->addWidget(chkMapDefault);
    layout->addWidget(chkShowAnimations);
    layout->addWidget(chkRecordSound);
    layout->addLayout(timerRow);
    layout->addLayout(buttons);

    translateWindow(this);

    chkAutoCheck->setChecked(settings_->bAutoCheck);
    chkMapDefault->setChecked(settings_->bMapDefault);
    chkShowAnimations->setChecked(settings_->bShowAnimations);
    chkRecordSound->setChecked(settings_->bRecordSound);
    txtRoundTimer->setText(QString::number(settings_->iRoundTimer));

    connect(txtRoundTimer, &QLineEdit::textChanged, this, &frmOptions::txtRoundTimer_Change);
    connect(cmdOK, &QPushButton::clicked, this, &frmOptions::cmdOK_Click);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
}

void frmOptions::txtRoundTimer_Change()
{
    if (checking_)
        return;
    checking_ = true;
    const QString text = txtRoundTimer->text();
    if (!text.isEmpty() && !parseRoundTimer(text))
        showMessage(this, tr("Valid values are 0 to 999 seconds."), QStringLiteral("Quorvel"));
    if (text.isEmpty() || !parseRoundTimer(text)) {
        txtRoundTimer->setText(QString::number(kDefaultRoundTimer));
        txtRoundTimer->selectAll();
    }
    checking_ = false;
}

void frmOptions::cmdOK_Click()
{
    ProgramSettings changed = *settings_;
    changed.bAutoCheck = chkAutoCheck->isChecked();
    changed.bMapDefault = chkMapDefault->isChecked();
    changed.bShowAnimations = chkShowAnimations->isChecked();
    changed.bRecordSound = chkRecordSound->isChecked();
    // The box only ever holds an accepted value; the default guards an edit that slipped by.
    changed.iRoundTimer = parseRoundTimer(txtRoundTimer->text()).value_or(kDefaultRoundTimer);
    *settings_ = changed;
    writeOptions(*store_, changed);
    emit recordSoundChanged(changed.bRecordSound);
    accept();
}

} // namespace quorvel
