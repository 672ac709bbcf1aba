#pragma once
// The codec choice of a video save: the AVI-capable video encoders of the linked libavcodec,
// Motion JPEG preselected, with the quality, key-frame and data-rate settings, each offered
// only where it changes the encoder's output. Only encoders that write a recording's video are
// offered: the dialog opens with those the trial has found so far and adds the others as the
// trial finds them. It asks; the caller writes.

#include "export/AviWriter.h"

#include <QDialog>

#include <optional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSlider;
class QSpinBox;

namespace quorvel {

class EncoderTrial;

class frmCodec : public QDialog {
    Q_OBJECT
public:
    explicit frmCodec(EncoderTrial &trial, QWidget *parent = nullptr);

    VideoCodecChoice choice() const;

    QComboBox *cboCompressor = nullptr;
    QSlider *sldQuality = nullptr;
    QLabel *lblQualityValue = nullptr;
    QCheckBox *chkKeyFrame = nullptr;
    QSpinBox *txtKeyFrame = nullptr;
    QCheckBox *chkDataRate = nullptr;
    QSpinBox *txtDataRate = nullptr; // kbit/s
    QPushButton *cmdOK = nullptr;
    QPushButton *cmdCancel = nullptr;
    QLabel *lblTrial = nullptr; // shown while the list is being made

private:
    void compressorChanged();
    void followTrial();
    EncoderTrial &trial_;
    QList<VideoEncoderInfo> encoders_;
};

// Shows the dialog through Prompts; nullopt when the user cancelled or no encoder exists.
std::optional<VideoCodecChoice> chooseVideoCodec(QWidget *owner);

} // namespace quorvel
