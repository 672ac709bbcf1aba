#pragma once
// "Options": four switches and the round timer. Each showing starts from the program-wide
// switches; OK stores all five values and changes the switches, Cancel changes nothing.

#include "platform/Settings.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QLineEdit;
class QPushButton;

namespace quorvel {

class frmOptions : public QDialog {
    Q_OBJECT
public:
    // settings: the switches to show and, on OK, to change; store: where OK writes.
    explicit frmOptions(QWidget *parent = nullptr, ProgramSettings *settings = nullptr,
                        SettingsStore *store = nullptr);

    QCheckBox *chkAutoCheck = nullptr;
    QCheckBox *chkMapDefault = nullptr;
    QCheckBox *chkShowAnimations = nullptr;
    QCheckBox *chkRecordSound = nullptr;
    QLineEdit *txtRoundTimer = nullptr;
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;

signals:
    // OK was pressed with this "RecordSound" value: the recording panel's chkSound takes it.
    void recordSoundChanged(bool on);

private:
    void txtRoundTimer_Change();
    void cmdOK_Click();

    ProgramSettings *settings_ = nullptr;
    SettingsStore *store_ = nullptr;
    bool checking_ = false;
};

} // namespace quorvel
