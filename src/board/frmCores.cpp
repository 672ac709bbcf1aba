#include "board/frmCores.h"

#include "board/ProgramState.h"
#include "language/SetLanguageInForm.h"
#include "platform/Named.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>

namespace quorvel {

class ColourSwatch : public QLabel {
    Q_OBJECT
public:
    ColourSwatch(int index, QWidget *parent) : QLabel(parent), index_(index)
    {
        setObjectName(QStringLiteral("picCor"));
        setProperty(kControlIndexProperty, index);
        setFrameShape(QFrame::Box);
        setCursor(Qt::PointingHandCursor);
    }
    std::int32_t colour = 0;
    void setColour(std::int32_t stored)
    {
        colour = stored;
        const QColor c = pathColourDrawn(stored);
        setStyleSheet(QStringLiteral("background: rgb(%1,%2,%3); border: 1px solid black;").arg(c.red()).arg(c.green()).arg(c.blue()));
    }

protected:
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton)
            emit clicked(index_);
    }

signals:
    void clicked(int index);

private:
    int index_;
};

namespace {
constexpr int kSwatches[20][3] = {
    {255, 255, 255}, {10, 10, 10},    {0, 0, 127},     {0, 127, 0},     {255, 0, 0},
    {127, 0, 0},     {127, 0, 127},   {255, 127, 0},   {255, 255, 0},   {0, 255, 0},
    {0, 148, 144},   {0, 255, 255},   {0, 0, 255},     {255, 0, 255},   {92, 92, 92},
    {210, 210, 210}, {200, 255, 200}, {255, 200, 255}, {200, 200, 255}, {255, 255, 200},
};
} // namespace

frmCores::frmCores(std::int32_t lCor, QWidget *parent) : QDialog(parent), lCor_(lCor)
{
    setObjectName(QStringLiteral("frmCores"));
    setWindowTitle(QStringLiteral("Select a Color"));
    auto *label1 = named<QLabel>("Label1", QStringLiteral("Choose a color for object movements:"), this);
    label1->setGeometry(8, 12, 240, 18);
    for (int i = 0; i < 20; ++i) {
        auto *swatch = new ColourSwatch(i, this);
        swatch->setGeometry((120 + (i % 10) * 360) / 15, (i < 10 ? 600 : 960) / 15, 17, 17);
        swatch->setColour(storedColour(kSwatches[i][0], kSwatches[i][1], kSwatches[i][2]));
        connect(swatch, &ColourSwatch::clicked, this, &frmCores::picCor_Click);
        picCor[std::size_t(i)] = swatch;
    }
    auto *label2 = named<QLabel>("Label2", QStringLiteral("Selected color:"), this);
    label2->setGeometry(8, 1440 / 15, 96, 18);
    picCor[20] = new ColourSwatch(20, this);
    picCor[20]->setGeometry(1560 / 15, 1440 / 15, 17, 17);
    picCor[20]->setColour(lCor);
    connect(picCor[20], &ColourSwatch::clicked, this, &frmCores::picCor_Click);
    cmdOK = named<QPushButton>("cmdOK", QStringLiteral("OK"), this);
    cmdOK->setGeometry(170, 92, 70, 24);
    cmdOK->setDefault(true);
    connect(cmdOK, &QPushButton::clicked, this, [this] {
        lCor_ = picCor[20]->colour;
        accept();
    });
    setFixedSize(252, 124);
    translateWindow(this);
}

std::int32_t frmCores::swatchColour(int index) const
{
    return index >= 0 && index <= 20 ? picCor[std::size_t(index)]->colour : 0;
}

void frmCores::picCor_Click(int index)
{
    if (index >= 0 && index < 20)
        picCor[20]->setColour(picCor[std::size_t(index)]->colour);
}

} // namespace quorvel

#include "frmCores.moc"
