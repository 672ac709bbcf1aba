#include "export/RecordingPanel.h"
#include "platform/Named.h"


#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

namespace quorvel {

namespace {

// Positions in twips, as the panel's design gives them; 15 twips make a pixel.
QRect twips(int left, int top, int width, int height)
{
    return QRect(left / 15, top / 15, width / 15, height / 15);
}

} // namespace

RecordingPanel::RecordingPanel(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("picREC"));
    setAutoFillBackground(true);
    QPalette pal = palette();
    pal.setColor(QPalette::Window, QColor(0xE0, 0xE0, 0xE0));
    setPalette(pal);
    setFixedHeight(615 / 15);

    lblVideoExport = named<QLabel>("lblVideoExport", this);
    lblVideoExport->setGeometry(twips(0, 0, 12600, 255));
    cmdRec = named<QPushButton>("cmdRec", this);
    cmdRec->setGeometry(twips(120, 240, 1350, 300));
    cmdSave = named<QPushButton>("cmdSave", QStringLiteral("SAVE"), this);
    cmdSave->setGeometry(twips(1440, 240, 1350, 300));
    cmdCancel = named<QPushButton>("cmdCancel", QStringLiteral("CANCEL"), this);
    cmdCancel->setGeometry(twips(2760, 240, 1350, 300));
    chkSound = named<QCheckBox>("chkSound", QStringLiteral("Record Sound?"), this);
    chkSound->setGeometry(twips(4200, 240, 2295, 255));
    picP = named<QProgressBar>("picP", this);
    picP->setGeometry(twips(6600, 240, 6000, 300));
    picP->setRange(0, 100);
    picP->setValue(0);
    picP->setTextVisible(false);
    lblPercent = named<QLabel>("lblPercent", picP);
    lblPercent->setGeometry(0, 0, picP->width(), picP->height());
    lblPercent->setAlignment(Qt::AlignCenter);
    QFont bold = lblPercent->font();
    bold.setBold(true);
    lblPercent->setFont(bold);
    lblPercent->setAttribute(Qt::WA_TransparentForMouseEvents);
}

void RecordingPanel::SetStatus(int percent, const QString &text)
{
    picP->setValue(std::clamp(percent, 0, 100));
    lblPercent->setText(text);
}

} // namespace quorvel
