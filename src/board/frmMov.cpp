#include "board/frmMov.h"

#include "board/BoardHost.h"
#include "common/Rounding.h"
#include "language/SetLanguageInForm.h"
#include "platform/Named.h"
#include "platform/Prompts.h"
#include "platform/SelectAllOnFocus.h"
#include "playback/IconPicture.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTimer>
#include <QVBoxLayout>

#include <cmath>
#include <limits>
#include <optional>

namespace quorvel {

std::optional<std::int64_t> plainNumber(const QString &text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[+-]?(\\d+(\\.\\d*)?|\\.\\d+)\\s*$"));
    if (!number.match(text).hasMatch())
        return std::nullopt;
    bool ok = false;
    const double v = text.trimmed().toDouble(&ok);
    if (!ok || !std::isfinite(v))
        return std::nullopt;
    const std::optional<std::int32_t> r = toInt32(v);
    if (!r)
        return std::nullopt;
    return *r;
}

namespace {

QRadioButton *option(QWidget *parent, const char *name, int index, const QString &caption)
{
    auto *o = new QRadioButton(caption, parent);
    o->setObjectName(QLatin1String(name));
    o->setProperty(kControlIndexProperty, index);
    o->setAutoExclusive(false); // groups are kept by select(), so a disabled option can be set too
    return o;
}

QLabel *caption(QWidget *parent, const char *name, const QString &text)
{
    auto *l = new QLabel(text, parent);
    l->setObjectName(QLatin1String(name));
    return l;
}

} // namespace

frmMov::frmMov(std::int16_t roundTimer, const BoardHost *host, QWidget *parent)
    : frmMov(roundTimer, host, parent, false)
{
}

frmMov::frmMov(std::int16_t roundTimer, const BoardHost *host, QWidget *parent, bool edit)
    : QDialog(parent), iRoundTimer_(roundTimer), host_(host)
{
    build(edit);
}

void frmMov::select(QRadioButton *chosen)
{
    if (!chosen)
        return;
    const QString name = chosen->objectName();
    for (QRadioButton *o : chosen->parentWidget()->findChildren<QRadioButton *>(name, Qt::FindDirectChildrenOnly))
        o->setChecked(o == chosen);
}

void frmMov::build(bool edit)
{
    setObjectName(edit ? QStringLiteral("frmMovEdit") : QStringLiteral("frmMov"));
    setWindowTitle(QStringLiteral("Movement"));
    auto *layout = new QVBoxLayout(this);

    auto *start = new QGridLayout;
    txtIni = named<QLineEdit>("txtIni", QStringLiteral("0"), this);
    txtSeconds = named<QLineEdit>("txtSeconds", QStringLiteral("0"), this);
    txtSeconds->setToolTip(QStringLiteral("Valid Values are 0 to 105"));
    start->addWidget(caption(this, "lblIni", QStringLiteral("Start (frame):")), 0, 0);
    start->addWidget(txtIni, 0, 1);
    start->addWidget(caption(this, "lblWait", edit ? QStringLiteral("Wait for:") : QStringLiteral("Wait")), 1, 0);
    start->addWidget(txtSeconds, 1, 1);
    start->addWidget(caption(this, "lblSeconds", edit ? QStringLiteral("seconds") : QStringLiteral("Seconds")), 1, 2);
    selectAllOnFocus(txtIni);
    selectAllOnFocus(txtSeconds);
    if (edit) {
        txtMoveWhen_ = new QLineEdit(QStringLiteral("0"), this);
        selectAllOnFocus(txtMoveWhen_);
        txtMoveWhen_->setObjectName(QStringLiteral("txtMoveWhen"));
        txtMoveWhen_->setToolTip(QStringLiteral("Valid Values are 0 to 105"));
        start->addWidget(caption(this, "lblMoveWhen", QStringLiteral("Move when")), 2, 0);
        start->addWidget(txtMoveWhen_, 2, 1);
        start->addWidget(caption(this, "lblSecondsLeft", QStringLiteral("seconds left")), 2, 2);
        iTempo_ = named<QLineEdit>("iTempo", QStringLiteral("0"), this);
        iTempo_->hide();
    }
    layout->addLayout(start);

    auto *velocity = new QWidget(this);
    auto *vg = new QGridLayout(velocity);
    vg->setContentsMargins(0, 0, 0, 0);
    vg->addWidget(caption(velocity, "lblVelocity", QStringLiteral("Velocity:")), 0, 0, 1, 2);
    optVel[0] = option(velocity, "optVel", 0, QStringLiteral("Running"));
    optVel[1] = option(velocity, "optVel", 1, QStringLiteral("Walk"));
    optVel[2] = option(velocity, "optVel", 2, QStringLiteral("Grenade"));
    vg->addWidget(optVel[0], 1, 0);
    vg->addWidget(optVel[1], 1, 1);
    vg->addWidget(optVel[2], 2, 0);
    optVel[0]->setChecked(true);
    layout->addWidget(velocity);

    auto *level = new QWidget(this);
    auto *lv = new QVBoxLayout(level);
    lv->setContentsMargins(0, 0, 0, 0);
    lv->addWidget(caption(level, "lblPosition", QStringLiteral("Position:")));
    optLvl[0] = option(level, "optLvl", 0, QStringLiteral("Ground Level"));
    optLvl[1] = option(level, "optLvl", 1, QStringLiteral("Below Ground Level"));
    optLvl[2] = option(level, "optLvl", 2, QStringLiteral("Above Ground Level"));
    for (QRadioButton *o : optLvl)
        lv->addWidget(o);
    optLvl[0]->setChecked(true);
    layout->addWidget(level);

    Frame4 = named<QGroupBox>("Frame4", this);
    auto *fg = new QGridLayout(Frame4);
    fg->addWidget(caption(Frame4, "lblFacing", QStringLiteral("Facing:")), 0, 0, 1, 3);
    // The compass rose: 8 north, 1 north-east, clockwise, 0 (none) in the middle.
    static constexpr int rose[9][2] = {{2, 1}, {1, 2}, {2, 2}, {3, 2}, {3, 1}, {3, 0}, {2, 0}, {1, 0}, {1, 1}};
    for (int i = 0; i <= 8; ++i) {
        optDirection[std::size_t(i)] = option(Frame4, "optDirection", i, QString());
        fg->addWidget(optDirection[std::size_t(i)], rose[i][0], rose[i][1]);
        connect(optDirection[std::size_t(i)], &QRadioButton::clicked, this,
                [this, i] { select(optDirection[std::size_t(i)]); });
    }
    picDirection = named<QLabel>("picDirection", Frame4);
    picDirection->setFixedSize(390 / 15, 390 / 15);
    picDirection->setAlignment(Qt::AlignCenter);
    fg->addWidget(picDirection, 1, 3, 3, 1);
    layout->addWidget(Frame4);

    for (auto *group : {&optVel, &optLvl})
        for (QRadioButton *o : *group)
            connect(o, &QRadioButton::clicked, this, [o] { select(o); });
    for (QRadioButton *o : optDirection)
        connect(o, &QRadioButton::toggled, this, [this, o](bool on) {
            if (on)
                optDirection_Click(o->property(kControlIndexProperty).toInt());
        });

    auto *buttons = new QHBoxLayout;
    cmdOK = named<QPushButton>("cmdOK", QStringLiteral("OK"), this);
    cmdOK->setDefault(true);
    buttons->addWidget(cmdOK);
    if (edit) {
        cmdCancel_ = named<QPushButton>("cmdCancel", QStringLiteral("Cancel"), this);
        buttons->addWidget(cmdCancel_);
        connect(cmdCancel_, &QPushButton::clicked, this, &QDialog::reject);
    }
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(cmdOK, &QPushButton::clicked, this, &frmMov::cmdOK_Click);
    connect(txtSeconds, &QLineEdit::textChanged, this, [this] { secondsChanged(txtSeconds, false); });
    if (txtMoveWhen_)
        connect(txtMoveWhen_, &QLineEdit::textChanged, this, [this] { secondsChanged(txtMoveWhen_, true); });
    translateWindow(this);
}

void frmMov::showValidation()
{
    Prompts::current().message(this,
                               QStringLiteral("Valid values are 0 to %1 seconds.").arg(iRoundTimer_),
                               QStringLiteral("Quorvel"), MessageIcon::None, MessageButtons::Ok);
}

void frmMov::secondsChanged(QLineEdit *box, bool movesWhenLeft)
{
    const auto reset = [&] {
        txtIni->setText(QStringLiteral("0"));
        box->setText(QStringLiteral("0"));
    };
    const QString text = box->text();
    if (text.isEmpty()) {
        reset();
        return;
    }
    const std::optional<std::int64_t> v = plainNumber(text);
    if (!v) {
        showValidation();
        reset();
        return;
    }
    if (*v < std::numeric_limits<std::int16_t>::min() || *v > std::numeric_limits<std::int16_t>::max()) {
        reset();
        showValidation();
        return;
    }
    if (*v < 0 || *v > iRoundTimer_) {
        showValidation();
        reset();
        return;
    }
    std::int64_t frames = *v * 63;
    if (movesWhenLeft) {
        const std::int64_t t = iTempo_ ? plainNumber(iTempo_->text()).value_or(0) : 0;
        frames = (std::int64_t(iRoundTimer_) - t - *v) * 63;
    }
    txtIni->setText(QString::number(static_cast<std::int32_t>(frames)));
}

void frmMov::cmdOK_Click()
{
    std::optional<std::int64_t> start = plainNumber(txtIni->text());
    if (!start) {
        txtIni->setText(QStringLiteral("0"));
        start = 0;
    }
    step_.iIni = static_cast<std::int32_t>(*start);
    step_.sVel = optVel[0]->isChecked() ? 8.0f : optVel[1]->isChecked() ? 3.0f : 20.0f;
    step_.sLvl = optLvl[0]->isChecked() ? std::int16_t(0) : optLvl[1]->isChecked() ? std::int16_t(-1) : std::int16_t(1);
    step_.sDir = 0;
    for (int k = 0; k <= 8; ++k) {
        if (optDirection[std::size_t(k)]->isChecked()) {
            step_.sDir = static_cast<std::int16_t>(k);
            break;
        }
    }
    accept();
}

void frmMov::optDirection_Click(int index)
{
    if (index < 0 || index > 8 || !host_)
        return;
    const std::optional<IconPicture> plain = plainPicture(imgIndex);
    IconPicture picture;
    picture.size = IconSize::Normal;
    picture.facing = static_cast<std::int16_t>(index);
    picture.element = imgIndex;
    if (index == 0 && plain)
        picture = *plain;
    picDirection->setPixmap(host_->iconPicture(picture));
}

frmMovEdit::frmMovEdit(std::int16_t roundTimer, const BoardHost *host, QWidget *parent)
    : frmMov(roundTimer, host, parent, true)
{
    txtMoveWhen = txtMoveWhen_;
    iTempo = iTempo_;
    cmdCancel = cmdCancel_;
}

} // namespace quorvel
