#include "shell/frmNovo.h"

#include "common/ProgramFolder.h"
#include "language/SetLanguageInForm.h"
#include "language/clsLanguagePack.h"
#include "platform/Named.h"
#include "platform/Prompts.h"
#include "shell/ButtonRow.h"

#include <QDir>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace quorvel {

QString overviewFolder() { return programFolder() + QStringLiteral("/Overviews"); }

QStringList listOverviews(const QString &pattern)
{
    QDir folder(overviewFolder());
    if (!folder.exists())
        return {};
    QStringList names = folder.entryList({pattern}, QDir::Files, QDir::Name | QDir::IgnoreCase);
    names.removeIf([](const QString &name) { return name.size() > kOverviewNameLength; });
    return names;
}

QString overviewPath(const QString &name)
{
    if (name.isEmpty() || name == QLatin1String(".") || name == QLatin1String("..")
        || name.contains(u'/') || name.contains(u'\\') || name.contains(QChar(0)))
        return QString();
    return overviewFolder() + u'/' + name;
}

OverviewChoice::OverviewChoice(QWidget *parent, const QString &formName, const QString &caption)
    : QDialog(parent)
{
    setObjectName(formName);
    setWindowTitle(caption);

    auto *frame1 = named<QGroupBox>("Frame1", tr("Select an overview"), this);
    lstOverview_ = named<QListWidget>("lstOverview", frame1);
    (new QVBoxLayout(frame1))->addWidget(lstOverview_);

    auto *frame2 = named<QGroupBox>("Frame2", tr("Preview"), this);
    imgOverview_ = named<QLabel>("imgOverview", frame2);
    imgOverview_->setFixedSize(200, 200);
    imgOverview_->setScaledContents(true);
    imgOverview_->setFrameShape(QFrame::Box);
    (new QVBoxLayout(frame2))->addWidget(imgOverview_);

    auto *frame3 = named<QGroupBox>("Frame3", tr("Game"), this);
    option0_ = new QRadioButton(tr("Classic edition"), frame3);
    option1_ = new QRadioButton(tr("New edition"), frame3);
    for (int i = 0; i < 2; ++i) {
        QRadioButton *option = i == 0 ? option0_ : option1_;
        option->setObjectName(QStringLiteral("Option1"));
        option->setProperty(kControlIndexProperty, i);
        connect(option, &QRadioButton::clicked, this, &OverviewChoice::relist);
    }
    option0_->setChecked(true);
    auto *frame3Layout = new QHBoxLayout(frame3);
    frame3Layout->addWidget(option0_);
    frame3Layout->addWidget(option1_);

    cmdOK_ = named<QPushButton>("cmdOK", tr("OK"), this);
    cmdOK_->setDefault(true);
    cmdOK_->setAutoDefault(true);
    cmdCancel_ = named<QPushButton>("cmdCancelar", tr("Cancel"), this);
    cmdCancel_->setAutoDefault(false);

    auto *top = new QHBoxLayout;
    top->addWidget(frame1);
    top->addWidget(frame2);
    QHBoxLayout *buttons = buttonRow({cmdOK_, cmdCancel_});
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(frame3);
    layout->addLayout(buttons);

    // A mouse press makes the row current before it selects it; the picture follows the
    // selection, which both the mouse and the arrow keys end with.
    connect(lstOverview_, &QListWidget::itemSelectionChanged, this, &OverviewChoice::lstOverview_Click);
    connect(lstOverview_, &QListWidget::itemDoubleClicked, this, [this] { cmdOK_Click(); });
    // Virtual calls go through lambdas: the derived form exists by the time a button is pressed.
    connect(cmdOK_, &QPushButton::clicked, this, [this] { cmdOK_Click(); });
    connect(cmdCancel_, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });

    translateWindow(this);
    relist();
}

QString OverviewChoice::selectedName() const
{
    const QListWidgetItem *item = lstOverview_->currentItem();
    return item && item->isSelected() ? item->text() : QString();
}

void OverviewChoice::relist()
{
    lstOverview_->blockSignals(true);
    lstOverview_->clear();
    lstOverview_->blockSignals(false);
    imgOverview_->clear();
    picture_ = QPixmap();
    lstOverview_->addItems(listOverviews(option0_->isChecked() ? QStringLiteral("*.src")
                                                               : QStringLiteral("*.jpg")));
}

void OverviewChoice::lstOverview_Click()
{
    const QString path = overviewPath(selectedName());
    picture_ = path.isEmpty() ? QPixmap() : QPixmap(path);
    if (picture_.isNull())
        imgOverview_->clear();
    else
        imgOverview_->setPixmap(picture_);
}

bool OverviewChoice::selectionUsable()
{
    const QString name = selectedName();
    if (name.isEmpty()) {
        showMessage(this, tr("You did not select an overview."));
        return false;
    }
    if (picture_.isNull()) {
        showMessage(this, tr("The overview %1 is not a picture that can be shown.").arg(name),
                    QString(), MessageIcon::Critical);
        return false;
    }
    return true;
}

frmNovo::frmNovo(QWidget *parent, bool mapDefault, std::function<int()> NovoMapa)
    : OverviewChoice(parent, QStringLiteral("frmNovo"), tr("New Strat")), NovoMapa_(std::move(NovoMapa))
{
    if (mapDefault) {
        option1(1)->setChecked(true);
        relist();
    }
}

void frmNovo::cmdOK_Click()
{
    if (!selectionUsable())
        return;
    const int slot = NovoMapa_ ? NovoMapa_() : -1;
    if (slot < 0) {
        showMessage(this, keyedText("s0009", QStringLiteral("Too many strats open at the same time.")),
                    QString(), MessageIcon::Critical);
        return;
    }
    NewStrat strat;
    strat.slot = slot;
    strat.overview = selectedName();
    strat.overviewPath = overviewPath(strat.overview);
    strat.picture = picture();
    strat.title = keyedText("s0008", QStringLiteral("Strat")) + QString::number(slot);
    strat.caption = strat.title.leftJustified(32, u' ', true);
    emit setUpBoard(strat);
    accept();
}

void frmNovo::cmdCancel_Click() { reject(); }

frmNovo2::frmNovo2(QWidget *parent)
    : OverviewChoice(parent, QStringLiteral("frmNovo2"), tr("Update Strat Picture"))
{
}

void frmNovo2::cmdOK_Click()
{
    if (!selectionUsable())
        return;
    sOverviewRet_ = selectedName();
    accept();
}

void frmNovo2::cmdCancel_Click()
{
    sOverviewRet_.clear();
    reject();
}

QString frmNovo2::chooseOverview(QWidget *owner)
{
    frmNovo2 dialog(owner);
    Prompts::current().exec(dialog);
    return dialog.sOverviewRet();
}

} // namespace quorvel
