#include "shell/WindowList.h"
#include "platform/Named.h"


#include <QAction>
#include <QMenu>
#include <QWidget>

namespace quorvel {

WindowList::WindowList(QMenu *mnuWindow, QObject *parent)
    : QObject(parent ? parent : mnuWindow),
      menu_(mnuWindow)
{
    cascade_ = findOrCreate("mnuWindowCascade", tr("Cascade"));
    tile_ = findOrCreate("mnuWindowTile", tr("Tile"));
    arrange_ = findOrCreate("mnuWindowArrange", tr("Arrange Icons"));
    separator_ = findOrCreate("mnuWindowSeperator", QString());
    separator_->setSeparator(true);

    tile_->setVisible(false);
    arrange_->setVisible(false);
    SetMenuDefaults();

    connect(cascade_, &QAction::triggered, this, &WindowList::cascade);
    connect(tile_, &QAction::triggered, this, &WindowList::tile);
    connect(arrange_, &QAction::triggered, this, &WindowList::arrange);
}

QAction *WindowList::findOrCreate(const char *name, const QString &text)
{
    const QString objectName = QString::fromLatin1(name);
    for (QAction *action : menu_->actions()) {
        if (action->objectName() == objectName)
            return action;
    }
    auto *action = new QAction(text, menu_);
    action->setObjectName(objectName);
    menu_->addAction(action);
    return action;
}

qsizetype WindowList::indexOf(const QWidget *board) const
{
    if (!board)
        return -1;
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        if (entries_.at(i).board == board)
            return i;
    }
    return -1;
}

void WindowList::SetMenuDefaults()
{
    cascade_->setEnabled(false);
    tile_->setEnabled(false);
    arrange_->setEnabled(false);
    separator_->setVisible(false);
    for (const Entry &e : entries_)
        e.action->setVisible(false);
}

bool WindowList::WindowListContains(QWidget *board) const { return indexOf(board) >= 0; }

QAction *WindowList::entry(QWidget *board) const
{
    const qsizetype i = indexOf(board);
    return i < 0 ? nullptr : entries_.at(i).action;
}

QList<QAction *> WindowList::entries() const
{
    QList<QAction *> actions;
    for (const Entry &e : entries_)
        actions.append(e.action);
    return actions;
}

namespace {
// A window title without the placeholder that marks unsaved changes.
QString plainTitle(QString title)
{
    return title.remove(QStringLiteral("[*]"));
}
} // namespace

void WindowList::WindowListAdd(QWidget *board)
{
    if (!board || WindowListContains(board))
        return;
    auto *action = named<QAction>("mnuWindowList", plainTitle(board->windowTitle()), menu_);
    action->setProperty("index", ++highestIndex_);
    action->setCheckable(true);
    menu_->addAction(action);
    entries_.append({board, action});

    QPointer<QWidget> guarded(board);
    connect(action, &QAction::triggered, this, [this, guarded] {
        if (guarded)
            emit activate(guarded);
    });
    connect(board, &QWidget::windowTitleChanged, action, [action](const QString &title) { action->setText(plainTitle(title)); });
    // A board destroyed without saying goodbye must not leave an entry pointing nowhere.
    connect(board, &QObject::destroyed, this, [this, action] {
        for (qsizetype i = 0; i < entries_.size(); ++i) {
            if (entries_.at(i).action == action) {
                removeAt(i);
                return;
            }
        }
    });

    separator_->setVisible(true);
    updateCommands();
}

void WindowList::WindowListCheck(QWidget *board, const QString &action)
{
    QAction *a = entry(board);
    if (!a)
        return;
    if (action == QLatin1String("add"))
        a->setChecked(true);
    else if (action == QLatin1String("remove"))
        a->setChecked(false);
}

void WindowList::listBoards(const QList<QWidget *> &boards, QWidget *active)
{
    for (qsizetype i = entries_.size(); i-- > 0;)
        if (!boards.contains(entries_.at(i).board.data()))
            removeAt(i);
    for (QWidget *board : boards)
        WindowListAdd(board);
    for (const Entry &e : entries_)
        e.action->setChecked(e.board == active);
}

void WindowList::WindowListRemove(QWidget *board)
{
    const qsizetype i = indexOf(board);
    if (i >= 0)
        removeAt(i);
}

void WindowList::removeAt(qsizetype i)
{
    const Entry e = entries_.takeAt(i);
    if (e.board)
        disconnect(e.board, nullptr, this, nullptr);
    menu_->removeAction(e.action);
    e.action->deleteLater();
    updateCommands(); // the separator stays visible
}

void WindowList::updateCommands()
{
    const bool any = !entries_.isEmpty();
    cascade_->setEnabled(any);
    tile_->setEnabled(any);
    arrange_->setEnabled(any);
}

} // namespace quorvel
