// The Windows menu keeps one entry per board window, whatever the boards' titles.

#include "shell/WindowList.h"

#include <QAction>
#include <QMenu>
#include <QWidget>
#include <QtTest>

#include <memory>
#include <vector>

using namespace quorvel;

class TestWindowList : public QObject {
    Q_OBJECT
private slots:
    void entriesFollowTheBoards_data();
    void entriesFollowTheBoards();
    void boardsWithOneTitleStayApart();
    void entryFollowsItsBoard();
};

namespace {
QStringList visibleTexts(const WindowList &list)
{
    QStringList texts;
    for (QAction *a : list.entries())
        texts.append(a->text() + (a->isChecked() ? "*" : ""));
    return texts;
}
} // namespace

// Operations on boards 0..3: "+n" open (activate protocol), "-n" close, "cn" check, "un" uncheck,
// "xn" an unknown action.
void TestWindowList::entriesFollowTheBoards_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QList<int>>("indexes");
    QTest::addColumn<bool>("commandsEnabled");
    QTest::addColumn<bool>("separatorVisible");
    QTest::newRow("nothing") << QStringList{} << QStringList{} << QList<int>{} << false << false;
    QTest::newRow("close second, open fourth")
        << QStringList{"+0", "u0", "+1", "u1", "+2", "-1", "u2", "+3"}
        << QStringList{"B0", "B2", "B3*"} << QList<int>{1, 3, 4} << true << true;
    QTest::newRow("close the last") << QStringList{"+0", "-0"} << QStringList{} << QList<int>{} << false << true;
    QTest::newRow("unknown action") << QStringList{"+0", "x0"} << QStringList{"B0*"} << QList<int>{1} << true << true;
    QTest::newRow("open twice") << QStringList{"+0", "u0", "+0"} << QStringList{"B0*"} << QList<int>{1} << true << true;
}

void TestWindowList::entriesFollowTheBoards()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, entries);
    QFETCH(QList<int>, indexes);
    QFETCH(bool, commandsEnabled);
    QFETCH(bool, separatorVisible);

    QMenu menu("&Windows");
    WindowList list(&menu);
    std::vector<std::unique_ptr<QWidget>> boards;
    for (int i = 0; i < 4; ++i) {
        boards.push_back(std::make_unique<QWidget>());
        boards.back()->setWindowTitle(QStringLiteral("B%1").arg(i));
    }
    for (const QString &step : steps) {
        QWidget *b = boards.at(step.mid(1).toInt()).get();
        switch (step.at(0).toLatin1()) {
        case '+':
            if (!list.WindowListContains(b))
                list.WindowListAdd(b);
            list.WindowListCheck(b, "add");
            break;
        case '-': list.WindowListRemove(b); break;
        case 'c': list.WindowListCheck(b, "add"); break;
        case 'u': list.WindowListCheck(b, "remove"); break;
        default: list.WindowListCheck(b, "toggle"); break;
        }
    }
    QCOMPARE(visibleTexts(list), entries);
    QList<int> seen;
    for (QAction *a : list.entries()) {
        QCOMPARE(a->objectName(), QStringLiteral("mnuWindowList"));
        seen.append(a->property("index").toInt());
    }
    QCOMPARE(seen, indexes);
    QCOMPARE(list.mnuWindowCascade()->isEnabled(), commandsEnabled);
    QVERIFY(list.mnuWindowCascade()->isVisible());
    QVERIFY(!list.mnuWindowTile()->isVisible());
    QVERIFY(!list.mnuWindowArrange()->isVisible());
    QCOMPARE(list.mnuWindowSeperator()->isVisible(), separatorVisible);
}

void TestWindowList::boardsWithOneTitleStayApart()
{
    QMenu menu;
    WindowList list(&menu);
    QWidget a, b;
    a.setWindowTitle("Strat1");
    b.setWindowTitle("Strat1");
    QWidget *activated = nullptr;
    QObject::connect(&list, &WindowList::activate, [&](QWidget *w) { activated = w; });

    list.WindowListAdd(&a);
    QVERIFY(!list.WindowListContains(&b));
    list.WindowListAdd(&b);
    QCOMPARE(list.entries().size(), 2);

    list.WindowListCheck(&b, "add");
    QVERIFY(!list.entry(&a)->isChecked());
    QVERIFY(list.entry(&b)->isChecked());

    list.entry(&b)->trigger();
    QCOMPARE(activated, &b);

    list.WindowListRemove(&b);
    QVERIFY(list.WindowListContains(&a));
    QVERIFY(!list.WindowListContains(&b));
}

void TestWindowList::entryFollowsItsBoard()
{
    QMenu menu;
    WindowList list(&menu);
    auto board = std::make_unique<QWidget>();
    board->setWindowTitle("Strat2");
    list.WindowListAdd(board.get());
    board->setWindowTitle("Mid rush");
    QVERIFY(list.WindowListContains(board.get()));
    QCOMPARE(list.entries().size(), 1);
    QCOMPARE(list.entries().first()->text(), QStringLiteral("Mid rush"));

    board.reset(); // a board gone without its goodbye leaves no entry behind
    QVERIFY(list.entries().isEmpty());
    QVERIFY(!list.mnuWindowCascade()->isEnabled());
}

QTEST_MAIN(TestWindowList)
#include "tst_windowlist.moc"
