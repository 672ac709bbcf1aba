#pragma once
// The open boards in the main window's "&Windows" menu: one entry per board, the active
// board's entry checked. Entries belong to their window, not to its caption: two boards with
// one title keep two entries, and an entry follows its board's title when it changes.
//
// The menu holds, in order: mnuWindowCascade, mnuWindowTile and mnuWindowArrange (these two
// never shown), the separator mnuWindowSeperator, then the entries (objectName
// "mnuWindowList", property "index" 1, 2, ...; an index is never reused). Actions already in
// the menu under those names are used, missing ones are created.

#include <QList>
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>

class QAction;
class QMenu;
class QWidget;

namespace quorvel {

class WindowList : public QObject {
    Q_OBJECT
public:
    // Sets the menu's items as the main window's load leaves them: Cascade disabled, Tile and
    // Arrange hidden and disabled, the separator hidden.
    explicit WindowList(QMenu *mnuWindow, QObject *parent = nullptr);

    // The state the main window's load starts from (the constructor applies it too): Cascade,
    // Tile and Arrange disabled, the separator and every entry hidden.
    void SetMenuDefaults();

    bool WindowListContains(QWidget *board) const;
    void WindowListAdd(QWidget *board);
    // "add" checks the board's entry, "remove" unchecks it; any other action does nothing.
    void WindowListCheck(QWidget *board, const QString &action);
    void WindowListRemove(QWidget *board);

    // The menu as the open boards make it: an entry for each board of `boards` (in the order
    // given, after the entries that stay), none for a board not among them, and only the
    // active board's entry checked. Run as the menu opens, so that no board is missed
    // whatever way it was made.
    void listBoards(const QList<QWidget *> &boards, QWidget *active);

    // The board's entry, or nullptr.
    QAction *entry(QWidget *board) const;
    // The entries in menu order.
    QList<QAction *> entries() const;

    QAction *mnuWindowCascade() const { return cascade_; }
    QAction *mnuWindowTile() const { return tile_; }
    QAction *mnuWindowArrange() const { return arrange_; }
    QAction *mnuWindowSeperator() const { return separator_; }

signals:
    // Clicking an entry: give its board the focus.
    void activate(QWidget *board);
    // mnuWindowCascade, mnuWindowTile, mnuWindowArrange.
    void cascade();
    void tile();
    void arrange();

private:
    struct Entry {
        QPointer<QWidget> board;
        QAction *action = nullptr;
    };
    QAction *findOrCreate(const char *name, const QString &text);
    qsizetype indexOf(const QWidget *board) const;
    void removeAt(qsizetype i);
    void updateCommands();

    QMenu *menu_ = nullptr;
    QAction *cascade_ = nullptr;
    QAction *tile_ = nullptr;
    QAction *arrange_ = nullptr;
    QAction *separator_ = nullptr;
    QList<Entry> entries_;
    int highestIndex_ = 0;
};

} // namespace quorvel
