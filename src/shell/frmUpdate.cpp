#include "shell/frmUpdate.h"

#include "board/frmLink.h"
#include "language/SetLanguageInForm.h"
#include "platform/Named.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace quorvel {

namespace {
const QString kCurrentVersion = QStringLiteral("/currentversion.txt");
const QString kWhere = QStringLiteral("/where.txt");
const QString kVersions = QStringLiteral("/versions.txt");
const QString kForum = QStringLiteral("/viewforum.php?f=9");
} // namespace

frmUpdate::frmUpdate(QWidget *parent, const UpdateSource &source) : QDialog(parent)
{
    setObjectName(QStringLiteral("frmUpdate"));
    setWindowTitle(QStringLiteral("Version Check"));

    auto *versions = named<QGroupBox>("Frame1", QStringLiteral("Versions"), this);
    auto *label1 = named<QLabel>("Label1", QStringLiteral("Your Version:"), versions);
    auto *label2 = named<QLabel>("Label2", QStringLiteral("Server Version:"), versions);
    Text1 = named<QLineEdit>("Text1", versions);
    Text1->setReadOnly(true);
    Text2 = named<QLineEdit>("Text2", versions);
    Text2->setReadOnly(true);
    auto *grid = new QGridLayout(versions);
    grid->addWidget(label1, 0, 0);
    grid->addWidget(Text1, 0, 1);
    grid->addWidget(label2, 1, 0);
    grid->addWidget(Text2, 1, 1);

    auto *statusFrame = named<QGroupBox>("Frame2", QStringLiteral("Status"), this);
    Label3 = named<ClickLabel>("Label3", statusFrame);
    Label3->setWordWrap(true);
    Label3->setMinimumHeight(36);
    (new QVBoxLayout(statusFrame))->addWidget(Label3);

    List1 = named<QListWidget>("List1", this);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(versions);
    layout->addWidget(statusFrame);
    layout->addWidget(List1, 1);
    resize(360, 380);

    translateWindow(this);
    Text1->setText(localVersionText());

    Inet1 = named<UpdateClient>("Inet1", source, this);
    connect(Inet1, &UpdateClient::fetched, this, &frmUpdate::fetched);
    connect(Label3, &ClickLabel::clicked, this, &frmUpdate::Label3_Click);
    if (!source.enabled()) {
        setStatus(Status::NoServer);
        return;
    }
    setStatus(Status::Checking);
    pending_ = 2;
    Inet1->fetch(kCurrentVersion);
    Inet1->fetch(kVersions);
}

void frmUpdate::fetched(const QString &path, bool ok, const QString &body)
{
    if (path == kCurrentVersion) {
        Text2->setText(ok ? body.trimmed().left(32) : QString());
        if (!ok || !isVersionText(body)) {
            setStatus(Status::Failed);
        } else if (isNewerVersion(localVersionText(), body)) {
            // The status waits for the download address so that a click has somewhere to go.
            ++pending_;
            Inet1->fetch(kWhere);
        } else {
            setStatus(Status::Current);
        }
    } else if (path == kWhere) {
        const QUrl url(body.trimmed());
        where_ = ok && isWebAddress(url) ? url : QUrl();
        Label3->setToolTip(where_.toString());
        setStatus(Status::Newer);
    } else if (path == kVersions) {
        if (ok)
            List1->addItems(splitHistory(body));
    }
    oneDone();
}

void frmUpdate::oneDone()
{
    if (--pending_ == 0)
        emit checkFinished();
}

void frmUpdate::setStatus(Status status)
{
    status_ = status;
    const bool link = status == Status::Newer;
    Label3->setCursor(link ? Qt::PointingHandCursor : Qt::ArrowCursor);
    QFont font = Label3->font();
    font.setUnderline(link);
    Label3->setFont(font);
    switch (status) {
    case Status::Checking: Label3->setText(checkingText()); break;
    case Status::Newer: Label3->setText(downloadText()); break;
    case Status::Current: Label3->setText(currentText()); break;
    case Status::Failed: Label3->setText(couldNotCheckText()); break;
    case Status::NoServer: Label3->setText(noServerText()); break;
    }
}

QUrl frmUpdate::downloadAddress() const
{
    if (status_ != Status::Newer)
        return QUrl();
    if (!where_.isEmpty())
        return where_;
    return UpdateSource{Inet1->source().server}.address(kForum);
}

void frmUpdate::Label3_Click()
{
    const QUrl url = downloadAddress();
    if (isWebAddress(url))
        shellOpener()(url);
}

} // namespace quorvel
