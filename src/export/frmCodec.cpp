#include "export/frmCodec.h"

#include "language/SetLanguageInForm.h"
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

frmCodec::frmCodec(const QList<VideoEncoderInfo> &encoders, QWidget *parent)
    : QDialog(parent), encoders_(encoders)
{
    setObjectName(QStringLiteral("frmCodec"));
    setWindowTitle(QStringLiteral("Video Compression"));
    auto *layout = new QVBoxLayout(this);
    auto *grid = new QGridLayout;
    auto *lblCompressor = new QLabel(QStringLiteral("Compressor:"), this);
    lblCompressor->setObjectName(QStringLiteral("lblCompressor"));
    cboCompressor = new QComboBox(this);
    cboCompressor->setObjectName(QStringLiteral("cboCompressor"));
    for (const VideoEncoderInfo &e : encoders_)
        cboCompressor->addItem(e.description, e.name);
    grid->addWidget(lblCompressor, 0, 0);
    grid->addWidget(cboCompressor, 0, 1, 1, 2);

    auto *lblQuality = new QLabel(QStringLiteral("Compression Quality:"), this);
    lblQuality->setObjectName(QStringLiteral("lblQuality"));
    sldQuality = new QSlider(Qt::Horizontal, this);
    sldQuality->setObjectName(QStringLiteral("sldQuality"));
    sldQuality->setRange(0, 100);
    sldQuality->setValue(VideoCodecChoice().quality);
    lblQualityValue = new QLabel(this);
    lblQualityValue->setObjectName(QStringLiteral("lblQualityValue"));
    lblQualityValue->setMinimumWidth(30);
    grid->addWidget(lblQuality, 1, 0);
    grid->addWidget(sldQuality, 1, 1);
    grid->addWidget(lblQualityValue, 1, 2);

    chkKeyFrame = new QCheckBox(QStringLiteral("Key Frame Every"), this);
    chkKeyFrame->setObjectName(QStringLiteral("chkKeyFrame"));
    txtKeyFrame = new QSpinBox(this);
    txtKeyFrame->setObjectName(QStringLiteral("txtKeyFrame"));
    txtKeyFrame->setRange(1, 1000);
    txtKeyFrame->setValue(8);
    auto *lblFrames = new QLabel(QStringLiteral("frames"), this);
    lblFrames->setObjectName(QStringLiteral("lblFrames"));
    grid->addWidget(chkKeyFrame, 2, 0);
    grid->addWidget(txtKeyFrame, 2, 1);
    grid->addWidget(lblFrames, 2, 2);
    layout->addLayout(grid);

    auto *buttons = new QHBoxLayout;
    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setDefault(true);
    cmdCancel = new QPushButton(QStringLiteral("Cancel"), this);
    cmdCancel->setObjectName(QStringLiteral("cmdCancel"));
    buttons->addStretch();
    buttons->addWidget(cmdOK);
    buttons->addWidget(cmdCancel);
    layout->addLayout(buttons);

    connect(sldQuality, &QSlider::valueChanged, this,
            [this](int v) { lblQualityValue->setText(QString::number(v)); });
    connect(chkKeyFrame, &QCheckBox::toggled, txtKeyFrame, &QSpinBox::setEnabled);
    connect(cboCompressor, &QComboBox::currentIndexChanged, this, &frmCodec::compressorChanged);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancel, &QPushButton::clicked, this, &QDialog::reject);
    lblQualityValue->setText(QString::number(sldQuality->value()));
    txtKeyFrame->setEnabled(false);
    cmdOK->setEnabled(!encoders_.isEmpty());
    compressorChanged();
    translateWindow(this);
}

void frmCodec::compressorChanged()
{
    const int i = cboCompressor->currentIndex();
    const bool valid = i >= 0 && i < encoders_.size();
    sldQuality->setEnabled(valid && encoders_.at(i).usesQuality);
    chkKeyFrame->setEnabled(valid && encoders_.at(i).usesKeyFrames);
    txtKeyFrame->setEnabled(chkKeyFrame->isEnabled() && chkKeyFrame->isChecked());
}

VideoCodecChoice frmCodec::choice() const
{
    VideoCodecChoice c;
    c.encoder = cboCompressor->currentData().toString();
    c.quality = sldQuality->value();
    c.keyFrameEvery = chkKeyFrame->isEnabled() && chkKeyFrame->isChecked() ? txtKeyFrame->value() : 0;
    return c;
}

std::optional<VideoCodecChoice> chooseVideoCodec(QWidget *owner)
{
    frmCodec dialog(aviVideoEncoders(), owner);
    if (Prompts::current().exec(dialog) != QDialog::Accepted || dialog.cboCompressor->currentIndex() < 0)
        return std::nullopt;
    return dialog.choice();
}

} // namespace quorvel
