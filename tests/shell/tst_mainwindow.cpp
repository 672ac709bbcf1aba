#include "TestFolders.h"
#include "StratSamples.h"
#include "board/frmMapa.h"
#include "document/StratFile.h"
#include "platform/ScriptedPrompts.h"
#include "platform/Settings.h"
#include "shell/frmPrincipal.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>

using namespace quorvel;

namespace {
const QString kTooMany = QStringLiteral("Too many strats open at the same time.");

QString writeStrat(QTemporaryDir &dir, const QString &name)
{
    const QString path = dir.filePath(name);
    StratDocument doc = samples::realisticStrat();
    if (!writeStratFile(path, doc))
        qFatal("cannot write");
    return path;
}

QStringList windowEntries(frmPrincipal &w)
{
    QStringList titles;
    for (QAction *a : w.windowMenu()->actions())
        if (a->isVisible() && !a->isSeparator() && a->objectName() == QLatin1String("mnuWindowList"))
            titles << a->text();
    return titles;
}
} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void elevenBoardsThenRefusal();
    void openingCleansThePath();
    void firstRunOffersTheExample_data();
    void firstRunOffersTheExample();
    void switchIsNotAFile_data();
    void switchIsNotAFile();
    void saveMenusActOnTheActiveBoard();
    void windowMenuKeepsBoardsApart();

private:
    QTemporaryDir config_;
};

void TestMainWindow::initTestCase()
{
    useTestFolders(QUORVEL_PROGRAM_DIR, config_);
}

void TestMainWindow::elevenBoardsThenRefusal()
{
    ScriptedPrompts prompts;
    frmPrincipal w;
    for (int k = 1; k <= 11; ++k)
        QCOMPARE(w.NovoMapa(), k);
    QCOMPARE(w.board(3)->document().title(), QStringLiteral("Strat3"));
    QCOMPARE(w.NovoMapa(), -1);
    QCOMPARE(w.iNumMapas(), 11);

    // A file asked for with every slot taken: the message, and nothing opens.
    QTemporaryDir dir;
    w.AbreArquivo(writeStrat(dir, QStringLiteral("a.qvl")));
    QCOMPARE(prompts.messageTexts(), QStringList{kTooMany});
    QCOMPARE(prompts.messages[0].icon, MessageIcon::Critical);

    // Closing boards 2 and 5 frees their slots; the lowest is reused, titled without a number.
    w.board(5)->closeBoard(frmMapa::CloseReason::User);
    w.board(2)->closeBoard(frmMapa::CloseReason::User);
    QCOMPARE(w.NovoMapa(), 2);
    QCOMPARE(w.board(2)->document().title(), QStringLiteral("Strat"));
    QVERIFY(w.board(2)->sArquivo().isEmpty());
    QCOMPARE(w.NovoMapa(), 5);
    QCOMPARE(w.NovoMapa(), -1);
    QCOMPARE(w.iNumMapas(), 11);
}

void TestMainWindow::openingCleansThePath()
{
    ScriptedPrompts prompts;
    frmPrincipal w;
    QTemporaryDir dir;
    const QString path = writeStrat(dir, QStringLiteral("quoted.qvl"));
    w.AbreArquivo(QStringLiteral("  \"") + path + QStringLiteral("\"  "));
    QCOMPARE(w.iNumMapas(), 1);
    QCOMPARE(w.board(1)->sArquivo(), path);
    // A folder or a missing file: nothing taken, nothing said.
    w.AbreArquivo(dir.path());
    w.AbreArquivo(dir.filePath(QStringLiteral("missing.qvl")));
    QCOMPARE(w.iNumMapas(), 1);
    QVERIFY(prompts.messages.isEmpty());
}

void TestMainWindow::firstRunOffersTheExample_data()
{
    QTest::addColumn<bool>("accept");
    QTest::newRow("yes") << true;
    QTest::newRow("no") << false;
}

void TestMainWindow::firstRunOffersTheExample()
{
    QFETCH(bool, accept);
    settingsStore().SaveSetting(QStringLiteral("Vez"), QStringLiteral("0"));
    ScriptedPrompts prompts;
    prompts.addAnswer(accept ? MessageAnswer::Yes : MessageAnswer::No);
    frmPrincipal w;
    w.MDIForm_Load(QString());
    QCOMPARE(prompts.messages.size(), 1);
    QCOMPARE(prompts.messages[0].title, QStringLiteral("Welcome"));
    QCOMPARE(settingsStore().GetSetting(QStringLiteral("Vez"), QStringLiteral("0")), QStringLiteral("1"));
    QCOMPARE(w.iNumMapas(), accept ? 1 : 0);
    if (accept) {
        QCOMPARE(w.board(1)->imI(), 1);
        QVERIFY(w.board(1)->sArquivo().endsWith(QLatin1String("Strats/Examples/example.qvl")));
        QVERIFY(w.board(1)->model().doc.iObj > 0);
    }
    // The question never comes again.
    ScriptedPrompts again;
    frmPrincipal w2;
    w2.MDIForm_Load(QString());
    QVERIFY(again.messages.isEmpty());
}

void TestMainWindow::switchIsNotAFile_data()
{
    QTest::addColumn<QString>("line");
    QTest::newRow("language") << "-Spanish";
    QTest::newRow("debug") << "-d";
}

// A strat file named like the switch sits in the working folder: it is still not opened.
void TestMainWindow::switchIsNotAFile()
{
    QFETCH(QString, line);
    QTemporaryDir dir;
    writeStrat(dir, line);
    const QString before = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    QVERIFY(QFileInfo(line).isFile());
    ScriptedPrompts prompts;
    frmPrincipal w;
    w.MDIForm_Load(line);
    QDir::setCurrent(before);
    QCOMPARE(w.iNumMapas(), 0);
    QVERIFY(prompts.messages.isEmpty());
}

void TestMainWindow::saveMenusActOnTheActiveBoard()
{
    ScriptedPrompts prompts;
    frmPrincipal w;
    // With no board open, Save and Save As do nothing.
    w.mnuSalvar_Click();
    w.mnuSalvarComo_Click();
    QVERIFY(prompts.fileDialogs.isEmpty());

    QTemporaryDir dir;
    w.AbreArquivo(writeStrat(dir, QStringLiteral("s.qvl")));
    w.mdiArea()->setActiveSubWindow(w.mdiArea()->subWindowList().first());
    QVERIFY(w.activeBoard());
    const QString copy = dir.filePath(QStringLiteral("copy"));
    prompts.addFile(copy);
    w.mnuSalvarComo_Click();
    QCOMPARE(w.activeBoard()->sArquivo(), copy + QStringLiteral(".qvl"));
    StratDocument back;
    QVERIFY(readStratFile(copy + QStringLiteral(".qvl"), back));
    QCOMPARE(back.iObj, samples::realisticStrat().iObj);
    // Save writes to the board's file without asking.
    w.mnuSalvar_Click();
    QCOMPARE(prompts.fileDialogs.size(), 1);
}

void TestMainWindow::windowMenuKeepsBoardsApart()
{
    ScriptedPrompts prompts;
    frmPrincipal w;
    QTemporaryDir dir;
    const QString path = writeStrat(dir, QStringLiteral("same.qvl"));
    w.AbreArquivo(path);
    w.AbreArquivo(path); // two boards with one title
    QCOMPARE(windowEntries(w).size(), 2);
    w.board(1)->closeBoard(frmMapa::CloseReason::User);
    QCOMPARE(windowEntries(w).size(), 1);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
