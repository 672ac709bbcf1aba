#include "board/BoardLinks.h"

#include "platform/Named.h"
#include "platform/ShellOpen.h"
#include "playback/PlaybackController.h"

#include <QLabel>
#include <QMouseEvent>

namespace quorvel {

const QString BoardLinks::kHomePage = QStringLiteral("https://quorvel.org/");

BoardLinks::BoardLinks(QWidget *parent, const PlaybackController &controller, const QList<QLabel *> &panels)
    : QObject(parent), controller_(controller), panels_(panels)
{
    lblSite_ = named<QLabel>("lblSite", kHomePage, parent);
    lblSite_->setCursor(Qt::PointingHandCursor);
    lblSite_->setStyleSheet(QStringLiteral("color: #9cc8ff; text-decoration: underline;"));
    lblSite_->installEventFilter(this);
    for (QLabel *panel : panels_)
        panel->installEventFilter(this);
}

bool BoardLinks::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() != QEvent::MouseButtonPress || static_cast<QMouseEvent *>(event)->button() != Qt::LeftButton)
        return false;
    auto *label = qobject_cast<QLabel *>(watched);
    if (!label)
        return false;
    // The label's caption is its address (a language pack may give another).
    if (label == lblSite_ && !controller_.recording())
        openLink(label->window(), label->text());
    else if (panels_.contains(label) && label->text().startsWith(QLatin1String("http")))
        openLink(label->window(), label->text());
    return false;
}

} // namespace quorvel
