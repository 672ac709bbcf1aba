#pragma once
// The recording panel across the top of the main window (`picREC`): REC/STOP, SAVE, CANCEL,
// "Record Sound?", the instruction label and the progress bar with its percent label. It only
// shows: the VideoRecorder decides what is enabled and what the texts are.

#include <QWidget>

class QCheckBox;
class QLabel;
class QProgressBar;
class QPushButton;

namespace quorvel {

class RecordingPanel : public QWidget {
    Q_OBJECT
public:
    explicit RecordingPanel(QWidget *parent = nullptr);

    QLabel *lblVideoExport = nullptr;
    QPushButton *cmdRec = nullptr;
    QPushButton *cmdSave = nullptr;
    QPushButton *cmdCancel = nullptr;
    QCheckBox *chkSound = nullptr;
    QProgressBar *picP = nullptr;
    QLabel *lblPercent = nullptr;

    // The bar at percent (0..100) with its text ("45%", "Adding Audio", "Done" or "").
    void SetStatus(int percent, const QString &text);
};

} // namespace quorvel
