// The main window's export commands: Export as Image, Export as Video and the recording panel
// that sits across the top of the main window, above the boards.
#include "platform/Named.h"
#include "shell/frmPrincipal.h"

#include "board/frmMapa.h"
#include "export/JpegExport.h"
#include "export/RecordingPanel.h"
#include "export/VideoRecorder.h"

#include <QAction>
#include <QMdiArea>
#include <QMenu>
#include <QVBoxLayout>

namespace quorvel {

void frmPrincipal::buildExport(QMenu *mnuTatica)
{
    mnuTatica->addSeparator()->setObjectName(QStringLiteral("sep02"));
    QAction *mnuExportar = mnuTatica->addAction(QStringLiteral("Export as Image"));
    mnuExportar->setObjectName(QStringLiteral("mnuExportar"));
    mnuExportar->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    connect(mnuExportar, &QAction::triggered, this, &frmPrincipal::mnuExportar_Click);
    QAction *mnuVideo = mnuTatica->addAction(QStringLiteral("Export as Video"));
    mnuVideo->setObjectName(QStringLiteral("mnuVideo"));
    connect(mnuVideo, &QAction::triggered, this, &frmPrincipal::mnuVideo_Click);

    // The panel above the MDI area.
    auto *central = named<QWidget>("picCentral", this);
    auto *layout = new QVBoxLayout(central);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    QWidget *area = takeCentralWidget();
    recorder_ = new VideoRecorder(central);
    layout->addWidget(recorder_->panel());
    layout->addWidget(area, 1);
    setCentralWidget(central);
    // Export as Video stays disabled while the panel is open.
    connect(recorder_, &VideoRecorder::stateChanged, mnuVideo,
            [mnuVideo](VideoRecorder::State s) { mnuVideo->setEnabled(s == VideoRecorder::State::Closed); });
}

void frmPrincipal::mnuExportar_Click()
{
    frmMapa *b = activeBoard();
    if (!b)
        return;
    // The picture leaves out the close mark, the playback buttons and the elapsed time.
    QList<QWidget *> hidden;
    for (const char *name : {"lblFechar", "picGO", "picPause", "picSlow", "picReverse", "lblSegs"})
        if (auto *w = b->findChild<QWidget *>(QLatin1String(name)))
            hidden.append(w);
    Exporta(b, hidden, this);
}

void frmPrincipal::mnuVideo_Click()
{
    if (frmMapa *b = activeBoard())
        recorder_->open(b);
}

} // namespace quorvel
