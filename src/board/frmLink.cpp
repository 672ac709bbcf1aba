#include "board/frmLink.h"
#include "board/frmTexto.h"

#include "language/SetLanguageInForm.h"
#include "platform/Prompts.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace quorvel {

std::function<bool(const QUrl &)> &shellOpener()
{
    static std::function<bool(const QUrl &)> opener = [](const QUrl &url) { return QDesktopServices::openUrl(url); };
    return opener;
}

namespace {

bool looksExecutable(const QFileInfo &info)
{
    static const QStringList programSuffixes = {
        QStringLiteral("exe"), QStringLiteral("com"), QStringLiteral("bat"), QStringLiteral("cmd"),
        QStringLiteral("scr"), QStringLiteral("pif"), QStringLiteral("vbs"), QStringLiteral("js"),
        QStringLiteral("jar"), QStringLiteral("msi"), QStringLiteral("sh"),  QStringLiteral("desktop"),
        QStringLiteral("lnk"), QStringLiteral("ps1"), QStringLiteral("appimage"), QStringLiteral("run"),
    };
    return info.isExecutable() || programSuffixes.contains(info.suffix().toLower());
}

} // namespace

LinkTarget classifyLink(const QString &raw)
{
    const QString text = raw.trimmed();
    if (text.isEmpty())
        return {};
    const QUrl url = QUrl::fromUserInput(text);
    if (!url.isValid())
        return {};
    const QString scheme = url.scheme().toLower();
    if (scheme == QLatin1String("http") || scheme == QLatin1String("https") || scheme == QLatin1String("mailto"))
        return {LinkSafety::Open, url};
    if (url.isLocalFile()) {
        const QFileInfo info(url.toLocalFile());
        if (info.isFile() && !looksExecutable(info))
            return {LinkSafety::Open, url};
    }
    return {LinkSafety::Ask, url};
}

void openLink(QWidget *owner, const QString &text)
{
    const LinkTarget target = classifyLink(text);
    if (target.safety == LinkSafety::Nothing)
        return;
    if (target.safety == LinkSafety::Ask
        && !askYesNo(owner,
                     QStringLiteral("This link does not lead to a web page or a document:\n%1\n\nOpen it anyway?")
                         .arg(text.trimmed()),
                     QStringLiteral("Link"), MessageIcon::Warning))
        return;
    shellOpener()(target.url);
}

frmLink::frmLink(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmLink"));
    setWindowTitle(QStringLiteral("Link"));
    auto *layout = new QVBoxLayout(this);
    auto *frame = new QGroupBox(QStringLiteral("Link to site, image or file in the web:"), this);
    frame->setObjectName(QStringLiteral("Frame1"));
    auto *row = new QHBoxLayout(frame);
    txtLink = new QLineEdit(frame);
    txtLink->setObjectName(QStringLiteral("txtLink"));
    txtLink->setMinimumWidth(300);
    cmdGO = new QPushButton(QStringLiteral("GO"), frame);
    cmdGO->setObjectName(QStringLiteral("cmdGO"));
    row->addWidget(txtLink);
    row->addWidget(cmdGO);
    layout->addWidget(frame);
    layout->addLayout(okCancelRow(this, cmdOK, cmdCancelar));
    cmdOK->setDefault(true);
    connect(cmdGO, &QPushButton::clicked, this, &frmLink::cmdGO_Click);
    connect(cmdOK, &QPushButton::clicked, this, &QDialog::accept);
    connect(cmdCancelar, &QPushButton::clicked, this, &QDialog::reject);
    translateWindow(this);
}

void frmLink::cmdGO_Click()
{
    if (!txtLink->text().isEmpty())
        openLink(this, txtLink->text());
}

} // namespace quorvel
