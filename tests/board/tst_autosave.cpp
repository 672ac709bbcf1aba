// The five-minute backup of a board: countdown, file name, content, failures, and boards that
// share a title.
#include "TestHost.h"
#include "board/AutoSave.h"
#include "board/ProgramState.h"
#include "board/frmMapa.h"
#include "document/AutoSaveName.h"
#include "document/StratFile.h"
#include "ScriptedPrompts.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QTemporaryDir>
#include <QtTest>

using namespace quorvel;

namespace {


struct Board {
    ProgramState state;
    TestHost host;
    frmMapa board{state, host};
    explicit Board(const QString &title, std::int16_t slot = 1)
    {
        state.fillPalette();
        board.Form_Load();
        board.setImI(slot);
        board.document().setTitle(title);
        board.document().setOverview(QStringLiteral("Harbor.jpg"));
    }
    QString panel(int n)
    {
        return board.findChild<QLabel *>(QStringLiteral("StatusBar1Panel%1").arg(n))->text();
    }
    BoardAutoSave &autoSave() { return board.autoSave(); }
    void minutes(int n)
    {
        for (int i = 0; i < n; ++i)
            autoSave().AutoSaveTimer_Timer();
    }
};

} // namespace

class TestAutoSave : public QObject {
    Q_OBJECT
private slots:
    void init();
    void countdownAndBackups();
    void fileNames_data();
    void fileNames();
    void backupKeepsEverySection();
    void emptyBoardBackup();
    void sameTitleTwoBoards();
    void reusedBoardCountsFromFive();
    void failedBackupIsNotReportedAsSaved();
    void backupOfAnotherRunIsKept();
    void aBoardLeavesNoBackupsBehind();

private:
    std::unique_ptr<QTemporaryDir> home_;
};

void TestAutoSave::init()
{
    // A program folder of our own, so backups land in a fresh AutoSaves folder.
    home_ = std::make_unique<QTemporaryDir>();
    QFile::link(QStringLiteral(QUORVEL_PROGRAM_DIR "/Overviews"), home_->filePath(QStringLiteral("Overviews")));
    QFile::link(QStringLiteral(QUORVEL_PROGRAM_DIR "/Bin"), home_->filePath(QStringLiteral("Bin")));
    qputenv("QUORVEL_HOME", home_->path().toUtf8());
}

void TestAutoSave::countdownAndBackups()
{
    Board b(QStringLiteral("Opening"));
    QCOMPARE(b.panel(3), QStringLiteral("Auto Saved: Not Yet."));
    QCOMPARE(b.panel(4), QStringLiteral("Auto Save in 5 minutes."));
    QCOMPARE(b.autoSave().AutoSaveTimer->interval(), 60000);
    QVERIFY(b.autoSave().AutoSaveTimer->isActive());

    const QString file = home_->filePath(QStringLiteral("AutoSaves/AutoSave_Opening.qvl"));
    QStringList countdown;
    for (int minute = 1; minute <= 6; ++minute) {
        b.minutes(1);
        countdown << b.panel(4).section(u' ', 3, 3);
        QCOMPARE(QFileInfo::exists(file), minute >= 5);
    }
    QCOMPARE(countdown, (QStringList{"4", "3", "2", "1", "0", "4"}));
    QCOMPARE(b.panel(3), QStringLiteral("Auto Saved: AutoSave_Opening.qvl (1x)"));
    b.minutes(9);
    QCOMPARE(b.panel(3), QStringLiteral("Auto Saved: AutoSave_Opening.qvl (3x)"));
    QVERIFY(b.board.sArquivo().isEmpty()); // a backup is not the strat's file
}

void TestAutoSave::fileNames_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QString>("name");
    QTest::newRow("blanks at both ends") << "  B rush  " << "AutoSave_B rush.qvl";
    QTest::newRow("empty") << "" << "AutoSave_.qvl";
    QTest::newRow("folders") << "../../etc/passwd" << "AutoSave__.__._etc_passwd.qvl";
    QTest::newRow("backslashes and drive") << "C:\\Windows\\x" << "AutoSave_C__Windows_x.qvl";
    QTest::newRow("dots only") << ".." << "AutoSave__..qvl";
    QTest::newRow("reserved characters") << "a*b?c\"d<e>f|g" << "AutoSave_a_b_c_d_e_f_g.qvl";
    QTest::newRow("accents stay") << QStringLiteral("Tática") << QStringLiteral("AutoSave_Tática.qvl");
}

void TestAutoSave::fileNames()
{
    QFETCH(QString, title);
    QFETCH(QString, name);
    QCOMPARE(autoSaveFileName(title), name);
    Board b(title);
    b.autoSave().AutoSave(b.board.document().title().trimmed());
    const QString written = b.autoSave().lastFile();
    QCOMPARE(QFileInfo(written).fileName(), name);
    QCOMPARE(QFileInfo(written).absolutePath(), QFileInfo(home_->filePath(QStringLiteral("AutoSaves"))).absoluteFilePath());
    QVERIFY(QFileInfo(written).isFile());
}

void TestAutoSave::backupKeepsEverySection()
{
    Board b(QStringLiteral("Markers"));
    BoardDocument &board = b.board.document();
    board.placeObject(3, {675, 775});
    board.placeMarker({380, 675}, QStringLiteral("plant here"));
    board.placeMarker({580, 875}, QStringLiteral("smoke"));
    const StratDocument &doc = board.model().doc;
    QVERIFY(b.autoSave().AutoSave(QStringLiteral("Markers")));

    StratDocument back;
    QVERIFY(readStratFile(b.autoSave().lastFile(), back).ok);
    QCOMPARE(back.iMkr, 2);
    QCOMPARE(back.tMarkers, doc.tMarkers);
    QCOMPARE(back.tObjetos, doc.tObjetos);
    QCOMPARE(back.sOverview.trimmed(), QStringLiteral("Harbor.jpg"));
    QCOMPARE(back.sNomeTatica.trimmed(), QStringLiteral("Markers"));
}

void TestAutoSave::emptyBoardBackup()
{
    Board b(QStringLiteral("Empty"));
    QVERIFY(b.autoSave().AutoSave(QStringLiteral("Empty")));
    const StratDocument &doc = b.board.model().doc;
    QCOMPARE(doc.iTxt, 1);
    QCOMPARE(doc.iMovs, 1);
    QCOMPARE(doc.iCores, 1);
    QCOMPARE(doc.iMkr, 0);
    // Sections 1 to 7 (165 bytes) and an empty marker section (a count and record 0).
    QCOMPARE(QFileInfo(b.autoSave().lastFile()).size(), 165 + 12);
    StratDocument back;
    QVERIFY(readStratFile(b.autoSave().lastFile(), back).ok);
    QCOMPARE(back.iMkr, 0);
}

void TestAutoSave::sameTitleTwoBoards()
{
    Board one(QStringLiteral("Default"), 1);
    Board two(QStringLiteral("Default"), 2);
    one.board.document().placeObject(1, {1000, 1000});
    two.board.document().placeObject(2, {2000, 2000});
    QVERIFY(one.autoSave().AutoSave(QStringLiteral("Default")));
    QVERIFY(two.autoSave().AutoSave(QStringLiteral("Default")));
    QVERIFY(one.autoSave().AutoSave(QStringLiteral("Default"))); // each keeps its own file
    QCOMPARE(QFileInfo(one.autoSave().lastFile()).fileName(), QStringLiteral("AutoSave_Default.qvl"));
    QCOMPARE(QFileInfo(two.autoSave().lastFile()).fileName(), QStringLiteral("AutoSave_Default (2).qvl"));
    StratDocument a, c;
    QVERIFY(readStratFile(one.autoSave().lastFile(), a).ok);
    QVERIFY(readStratFile(two.autoSave().lastFile(), c).ok);
    QCOMPARE(a.tObjetos[1].Tipo, 1);
    QCOMPARE(c.tObjetos[1].Tipo, 2);

    // Once the first board closes, its name is free again.
    one.board.closeBoard(frmMapa::CloseReason::User);
    Board three(QStringLiteral("Default"), 3);
    QVERIFY(three.autoSave().AutoSave(QStringLiteral("Default")));
    QCOMPARE(QFileInfo(three.autoSave().lastFile()).fileName(), QStringLiteral("AutoSave_Default.qvl"));
}

void TestAutoSave::reusedBoardCountsFromFive()
{
    Board b(QStringLiteral("Reuse"));
    b.minutes(3);
    QCOMPARE(b.panel(4), QStringLiteral("Auto Save in 2 minutes."));
    b.board.closeBoard(frmMapa::CloseReason::User);
    b.minutes(1); // a closed board makes no backup and counts nothing
    QVERIFY(!b.autoSave().AutoSaveTimer->isActive());

    b.board.Form_Load();
    b.board.setImI(1);
    QCOMPARE(b.panel(4), QStringLiteral("Auto Save in 5 minutes."));
    b.minutes(1);
    QCOMPARE(b.panel(4), QStringLiteral("Auto Save in 4 minutes."));
}

void TestAutoSave::failedBackupIsNotReportedAsSaved()
{
    // The AutoSaves folder cannot be made: a file of that name is in the way.
    QFile blocker(home_->filePath(QStringLiteral("AutoSaves")));
    QVERIFY(blocker.open(QIODevice::WriteOnly));
    blocker.close();
    Board b(QStringLiteral("Blocked"));
    b.minutes(5);
    QVERIFY(!b.panel(3).startsWith(QStringLiteral("Auto Saved: AutoSave")));
    QVERIFY(b.panel(3).contains(QStringLiteral("AutoSave_Blocked.qvl")));
    QCOMPARE(b.autoSave().xSaves, 0);
    QCOMPARE(b.panel(4), QStringLiteral("Auto Save in 0 minutes."));
    b.minutes(1);
    QCOMPARE(b.panel(4), QStringLiteral("Auto Save in 4 minutes.")); // the cycle goes on
}

void TestAutoSave::backupOfAnotherRunIsKept()
{
    // A run that crashed left the backup of its own "Strat1"; this run's "Strat1" is another strat.
    QVERIFY(QDir(home_->path()).mkdir(QStringLiteral("AutoSaves")));
    QFile left(home_->filePath(QStringLiteral("AutoSaves/AutoSave_Strat1.qvl")));
    QVERIFY(left.open(QIODevice::WriteOnly) && left.write(QByteArray(8192, 'q')) == 8192);
    left.close();
    Board b(QStringLiteral("Strat1"));
    QVERIFY(b.autoSave().AutoSave(QStringLiteral("Strat1")));
    QVERIFY(b.autoSave().AutoSave(QStringLiteral("Strat1"))); // its own backup it may replace
    QCOMPARE(QFileInfo(b.autoSave().lastFile()).fileName(), QStringLiteral("AutoSave_Strat1 (2).qvl"));
    QCOMPARE(left.size(), 8192);

    // A later board of this run takes a name this run wrote, once it is free, but not the old one.
    b.board.closeBoard(frmMapa::CloseReason::User);
    QCOMPARE(left.size(), 8192); // closing removes only this run's backup
    Board next(QStringLiteral("Strat1"), 2);
    QVERIFY(next.autoSave().AutoSave(QStringLiteral("Strat1")));
    QCOMPARE(QFileInfo(next.autoSave().lastFile()).fileName(), QStringLiteral("AutoSave_Strat1 (2).qvl"));
}

void TestAutoSave::aBoardLeavesNoBackupsBehind()
{
    const QDir folder(home_->filePath(QStringLiteral("AutoSaves")));
    for (int run = 1; run <= 3; ++run) {
        Board b(QStringLiteral("Opening"));
        QVERIFY(b.autoSave().AutoSave(QStringLiteral("Opening")));
        // A new title: the backup under the old one goes once the new one is written.
        b.board.document().setTitle(QStringLiteral("Mid rush"));
        b.minutes(5);
        QCOMPARE(folder.entryList(QDir::Files), QStringList{QStringLiteral("AutoSave_Mid rush.qvl")});
        b.board.closeBoard(frmMapa::CloseReason::User);
        QCOMPARE(folder.entryList(QDir::Files), QStringList());
    }
}

QTEST_MAIN(TestAutoSave)
#include "tst_autosave.moc"
