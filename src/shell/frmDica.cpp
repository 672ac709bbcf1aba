#include "shell/frmDica.h"

#include "common/CodePage.h"
#include "common/ProgramFolder.h"
#include "language/SetLanguageInForm.h"
#include "language/clsLanguagePack.h"
#include "platform/Named.h"
#include "platform/Settings.h"

#include <QCheckBox>
#include <QFile>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QRandomGenerator>
#include <QVBoxLayout>

namespace quorvel {

namespace {
// A tips file is a page of short lines; a larger file is not one.
constexpr qint64 kMaxTipsFile = 4 * 1024 * 1024;
// A tip is a sentence or two; past this the box shows the start of it.
constexpr qsizetype kMaxTipShown = 1000;
} // namespace

QString tipForDisplay(const QString &tip)
{
    return tip.size() <= kMaxTipShown ? tip : tip.left(kMaxTipShown) + QStringLiteral("...");
}

QString tipsFileName()
{
    const QString fromPack = keyedText("s0000", QString());
    const bool plain = !fromPack.isEmpty() && fromPack != QLatin1String(".") && fromPack != QLatin1String("..")
                       && !fromPack.contains(QLatin1Char('/')) && !fromPack.contains(QLatin1Char('\\'))
                       && !fromPack.contains(QLatin1Char(':')) && !fromPack.contains(QChar(0));
    return plain ? fromPack : QStringLiteral("tips.dat");
}

CodePage::Id tipsCodePage()
{
    const QString pack = LanguagePack().sCurrentFile();
    return pack.isEmpty() ? CodePage::Windows1252 : codePageForLanguage(QFileInfo(pack).completeBaseName());
}

std::optional<QStringList> readTips(const QString &path, CodePage::Id codePage)
{
    if (path.isEmpty() || !QFileInfo(path).isFile())
        return std::nullopt;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > kMaxTipsFile)
        return std::nullopt;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    const CodePage &cp = CodePage::get(codePage);
    QStringList tips;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes[i];
        if (c != '\r' && c != '\n')
            continue;
        tips << cp.decode(QByteArrayView(bytes).sliced(start, i - start));
        if (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        tips << cp.decode(QByteArrayView(bytes).sliced(start));
    return tips;
}

frmDica::frmDica(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmDica"));
    setWindowTitle(QStringLiteral("Tip of the Day!"));

    auto *picture = named<QLabel>("Picture1", this);
    picture->setPixmap(QPixmap(programFolder() + QStringLiteral("/Bin/quorvel.png")));
    picture->setAlignment(Qt::AlignTop);
    auto *label1 = named<QLabel>("Label1", QStringLiteral("Did you know..."), this);
    QFont bold = label1->font();
    bold.setBold(true);
    bold.setPointSizeF(bold.pointSizeF() * 1.3);
    label1->setFont(bold);
    lblTipText = named<QLabel>("lblTipText", this);
    // Tips are text: markup in a tips file is shown, never laid out (nested tables take the
    // box minutes, pictures are loaded).
    lblTipText->setTextFormat(Qt::PlainText);
    lblTipText->setWordWrap(true);
    lblTipText->setAlignment(Qt::AlignTop | Qt::AlignLeft);
    lblTipText->setMinimumSize(320, 110);
    // A word longer than the line (no blank to break at) is clipped, not a box wider than the screen.
    lblTipText->setMaximumWidth(480);
    chkLoadTipsAtStartup = named<QCheckBox>("chkLoadTipsAtStartup", QStringLiteral("&Show tips on startup"), this);
    cmdNextTip = named<QPushButton>("cmdNextTip", QStringLiteral("&Next Tip"), this);
    cmdNextTip->setAutoDefault(false);
    cmdOK = named<QPushButton>("cmdOK", QStringLiteral("OK"), this);
    cmdOK->setDefault(true); // Enter; Escape closes the dialog too

    auto *text = new QVBoxLayout;
    text->addWidget(label1);
    text->addWidget(lblTipText, 1);
    auto *top = new QHBoxLayout;
    top->addWidget(picture);
    top->addLayout(text, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(chkLoadTipsAtStartup);
    bottom->addStretch();
    bottom->addWidget(cmdNextTip);
    bottom->addWidget(cmdOK);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(bottom);

    translateWindow(this);
    chkLoadTipsAtStartup->setChecked(programSettings().bDicas);

    const QString name = tipsFileName();
    if (const auto tips = readTips(programFolder() + QStringLiteral("/Bin/") + name, tipsCodePage())) {
        tips_ = *tips;
        ShowRandomTip();
    } else {
        lblTipText->setText(keyedText("s0001", QStringLiteral("The file was not found: ")) + name);
    }

    connect(cmdNextTip, &QPushButton::clicked, this, &frmDica::ShowRandomTip);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    // clicked, not toggled: only the user's click writes the setting.
    connect(chkLoadTipsAtStartup, &QCheckBox::clicked, this, &frmDica::chkLoadTipsAtStartup_Click);
}

void frmDica::ShowRandomTip()
{
    if (tips_.isEmpty())
        return;
    const auto n = QRandomGenerator::global()->bounded(int(tips_.size()));
    lblTipText->setText(tipForDisplay(tips_[n]));
}

void frmDica::chkLoadTipsAtStartup_Click(bool checked)
{
    programSettings().bDicas = checked;
    writeDicas(settingsStore(), checked);
}

} // namespace quorvel
