#include "export/frmCodec.h"

#include "export/EncoderTrial.h"
#include "language/SetLanguageInForm.h"
#include "platform/Named.h"
#include "platform/Prompts.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QSpinBox>
#include <QVBoxLayout>

namespace quorvel {

frmCodec::frmCodec(EncoderTrial &trial, QWidget *parent) : QDialog(parent), trial_(trial)
{
    setObjectName(QStringLiteral("frmCodec"));
    setWindowTitle(QStringLiteral("Video Compression"));
    auto *layout = new QVBoxLayout(this);
    auto *grid = new QGridLayout;
    auto *lblCompressor = named<QLabel>("lblCompressor", QStringLiteral("Compressor:"), this);
    cboCompressor = named<QComboBox>("cboCompressor", this);
    grid->addWidget(lblCompressor, 0, 0);
    grid->addWidget(cboCompressor, 0, 1, 1, 2);
    lblTrial = named<QLabel>("lblTrial", QStringLiteral("Looking for more encoders..."), this);
    grid->addWidget(lblTrial, 4, 0, 1, 3);

    auto *lblQuality = named<QLabel>("lblQuality", QStringLiteral("Compression Quality:"), this);
    sldQuality = named<QSlider>("sldQuality", Qt::Horizontal, this);
    sldQuality->setRange(0, 100);
    sldQuality->setValue(VideoCodecChoice().quality);
    lblQualityValue = named<QLabel>("lblQualityValue", this);
    lblQualityValue->setMinimumWidth(30);
    grid->addWidget(lblQuality, 1, 0);
    grid->addWidget(sldQuality, 1, 1);
    grid->addWidget(lblQualityValue, 1, 2);

    chkKeyFrame = named<QCheckBox>("chkKeyFrame", QStringLiteral("Key Frame Every"), this);
    txtKeyFrame = named<QSpinBox>("txtKeyFrame", this);
    txtKeyFrame->setRange(1, 1000);
    txtKeyFrame->setValue(8);
    auto *lblFrames = named<QLabel>("lblFrames", QStringLiteral("frames"), this);
    grid->addWidget(chkKeyFrame, 2, 0);
    grid->addWidget(txtKeyFrame, 2, 1);
    grid->addWidget(lblFrames, 2, 2);

    chkDataRate = named<QCheckBox>("chkDataRate", QStringLiteral("Data Rate"), this);
    txtDataRate = named<QSpinBox>("txtDataRate", this);
    txtDataRate->setRange(kLowestDataRate, kHighestDataRate);
    txtDataRate->setSingleStep(100);
    txtDataRate->setValue(2000);
    auto *lblKbps = named<QLabel>("lblKbps", QStringLiteral("kbit/sec"), this);
    grid->addWidget(chkDataRate, 3, 0);
    grid->addWidget(txtDataRate, 3, 1);
    grid->addWidget(lblKbps, 3, 2);
    layout->addLayout(grid);

    auto *buttons = new QHBoxLayout;
    cmdOK = named<QPushButton>("cmdOK", QStringLiteral("OK"), this);
    cmdOK->setDefault(true);
    cmdCancel = named<QPushButton>("cmdCancel", QStringLiteral("Cancel"), this);
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    connect(sldQuality, &QSlider::valueChanged, this,
            [this](int v) { lblQualityValue->setText(QString::number(v)); });
    connect(chkKeyFrame, &QCheckBox::toggled, txtKeyFrame, &QSpinBox::setEnabled);
    connect(chkDataRate, &QCheckBox::toggled, this, &frmCodec::compressorChanged);
    connect(cboCompressor, &QComboBox::currentIndexChanged, this, &frmCodec::compressorChanged);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    lblQualityValue->setText(QString::number(sldQuality->value()));
    txtKeyFrame->setEnabled(false);
    // Queued: the trial reports from its own thread.
    connect(&trial_, &EncoderTrial::tried, this, &frmCodec::followTrial, Qt::QueuedConnection);
    connect(&trial_, &EncoderTrial::ended, this, &frmCodec::followTrial, Qt::QueuedConnection);
    trial_.start();
    followTrial();
    compressorChanged();
    translateWindow(this);
}

void frmCodec::followTrial()
{
    // The trial only adds, in the list's order: the choice made so far stays.
    const QList<VideoEncoderInfo> usable = trial_.usable();
    for (qsizetype i = encoders_.size(); i < usable.size(); ++i) {
        encoders_.append(usable.at(i));
        cboCompressor->addItem(usable.at(i).description, usable.at(i).name);
    }
    lblTrial->setVisible(!trial_.hasEnded());
    cmdOK->setEnabled(cboCompressor->currentIndex() >= 0);
}

void frmCodec::compressorChanged()
{
    const int i = cboCompressor->currentIndex();
    const bool valid = i >= 0 && i < encoders_.size();
    sldQuality->setEnabled(valid && encoders_.at(i).usesQuality);
    chkKeyFrame->setEnabled(valid && encoders_.at(i).usesKeyFrames);
    txtKeyFrame->setEnabled(chkKeyFrame->isEnabled() && chkKeyFrame->isChecked());
    chkDataRate->setEnabled(valid && encoders_.at(i).usesDataRate);
    if (valid)
        txtDataRate->setMinimum(encoders_.at(i).minDataRate);
    const bool byRate = chkDataRate->isEnabled() && chkDataRate->isChecked();
    txtDataRate->setEnabled(byRate);
    // A data rate rules the quality.
    sldQuality->setEnabled(valid && encoders_.at(i).usesQuality && !byRate);
}

VideoCodecChoice frmCodec::choice() const
{
    VideoCodecChoice c;
    c.encoder = cboCompressor->currentData().toString();
    c.quality = sldQuality->value();
    c.keyFrameEvery = chkKeyFrame->isEnabled() && chkKeyFrame->isChecked() ? txtKeyFrame->value() : 0;
    c.bitRate = chkDataRate->isEnabled() && chkDataRate->isChecked() ? txtDataRate->value() : 0;
    return c;
}

std::optional<VideoCodecChoice> chooseVideoCodec(QWidget *owner)
{
    frmCodec dialog(EncoderTrial::program(), owner);
    if (Prompts::current().exec(dialog) != QDialog::Accepted || dialog.cboCompressor->currentIndex() < 0)
        return std::nullopt;
    return dialog.choice();
}

} // namespace quorvel
