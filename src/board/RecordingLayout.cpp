// The board's two heights: the normal layout, and the recording layout in which the captured
// pictures show the title, the round timer and the overview only.
#include "board/frmMapa.h"
#include "platform/Named.h"

#include <QGraphicsView>
#include <QLabel>
#include <QSlider>
#include <QStatusBar>

namespace quorvel {

void frmMapa::setRecordingLayout(bool recording)
{
    QWidget *strip = view_->findChild<QWidget *>(QStringLiteral("picTopo"));
    auto *picHide = findChild<QWidget *>(QStringLiteral("picHide"));
    if (!picHide && strip) {
        // In front of the strip's buttons, which stand in front of the strip.
        picHide = named<QWidget>("picHide", view_);
        // The strip is drawn by a style sheet, which a palette would not override.
        picHide->setAttribute(Qt::WA_StyledBackground);
        picHide->setStyleSheet(QStringLiteral("#picHide { background: black; }"));
        picHide->hide();
    }
    if (picHide && strip) {
        // From 6360 twips to the right edge, in front of the counters and the buttons.
        picHide->setGeometry(6360 / 15, 0, strip->width() - 6360 / 15, strip->height());
        picHide->raise();
        picHide->setVisible(recording);
    }
    QWidget *bottom = findChild<QWidget *>(QStringLiteral("picBaixo"));
    QList<QWidget *> hidden{Slider1_, Slider2_, lblMinTime_, lblMaxTime_, StatusBar1_, bottom};
    for (int i = 3; i <= 7; ++i) // the speed marks go with their slider
        hidden.append(findChild<QLabel *>(QStringLiteral("Label%1").arg(i)));
    for (QWidget *w : hidden)
        if (w)
            w->setVisible(!recording);
    if (recording) {
        if (!property("normalHeight").isValid())
            setProperty("normalHeight", height());
        setFixedSize(width(), view_->height());
    } else if (property("normalHeight").isValid()) {
        setFixedSize(width(), property("normalHeight").toInt());
        setProperty("normalHeight", QVariant());
    }
    // The sub-window follows the board's new size.
    if (QWidget *outer = parentWidget())
        outer->adjustSize();
    // The strip's widgets come back while the board and its sub-window are still short, and
    // growing them does not draw the strip: the whole board is drawn again once grown.
    if (!recording)
        update();
}

} // namespace quorvel
