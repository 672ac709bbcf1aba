#include "StartedWindow.h"
#include "TestFolders.h"
#include "StratSamples.h"
#include "board/frmMapa.h"
#include "document/StratFile.h"
#include "ScriptedPrompts.h"
#include "platform/Settings.h"
#include "export/RecordingPanel.h"
#include "export/VideoFiles.h"
#include "export/VideoRecorder.h"
#include "playback/PlaybackController.h"
#include "shell/CommandPoller.h"
#include "shell/SingleInstance.h"
#include "shell/StartUp.h"
#include "shell/frmPrincipal.h"

#include <QGraphicsView>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QScrollBar>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

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
    void initTestCase() { home_ = useStagedTestFolders(); }
    void elevenBoardsThenRefusal();
    void namedFileOpensOrIsSaid_data();
    void namedFileOpensOrIsSaid();
    void firstRunOffersTheExample_data();
    void firstRunOffersTheExample();
    void switchIsNotAFile_data();
    void switchIsNotAFile();
    void saveMenusActOnTheActiveBoard();
    void windowMenuKeepsBoardsApart();
    void windowMenuListsEveryBoard();
    void secondStartKeepsTheWindowState_data();
    void secondStartKeepsTheWindowState();
    void boardAreaScrollsToABoardThatDoesNotFit();
    void backgroundIsAPicture();
    void convertMenu();
    void exportMenus();
    void closingWithABoardFocused();
    void closingDuringAVideoSave_data();
    void closingDuringAVideoSave();

private:
    QDir home_; // the program folder
};

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
    w.openNamedFile(writeStrat(dir, QStringLiteral("a.qvl")));
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

void TestMainWindow::namedFileOpensOrIsSaid_data()
{
    QTest::addColumn<QByteArray>("name"); // in the file system's bytes; "gone.qvl" is not made
    QTest::addColumn<QString>("said");    // "": opened
    QTest::newRow("plain") << QByteArray("plan.qvl") << "";
    QTest::newRow("blanks") << QByteArray(" my plan .qvl") << "";
    QTest::newRow("quotes") << QByteArray("say \"go\".qvl") << "";
    QTest::newRow("Latin-1 byte") << QByteArray("caf\xe9.qvl") << "not UTF-8";
    QTest::newRow("missing") << QByteArray("gone.qvl") << "No file has this name.";
    QTest::newRow("folder") << QByteArray("folder") << "It is a folder, not a file.";
    QTest::newRow("pipe") << QByteArray("pipe") << "It is a pipe, a socket or a device, not a regular file.";
    QTest::newRow("device") << QByteArray("null") << "It is a pipe, a socket or a device, not a regular file.";
}

// One argument from the command line or the desktop, the same handed over by a second start,
// then chosen in Open.
void TestMainWindow::namedFileOpensOrIsSaid()
{
    QFETCH(QByteArray, name);
    QFETCH(QString, said);
    QTemporaryDir dir;
    QByteArray file = QFile::encodeName(dir.path()) + '/' + name;
    QFile example(QUORVEL_PROGRAM_DIR "/Strats/Examples/example.qvl"), copy;
    const int fd = name == "gone.qvl" || !name.endsWith(".qvl") ? -1 : ::open(file.constData(), O_CREAT | O_WRONLY, 0600);
    QVERIFY(fd < 0 || (example.open(QIODevice::ReadOnly) && copy.open(fd, QIODevice::WriteOnly, QFile::AutoCloseHandle)
                       && copy.write(example.readAll()) == example.size()));
    copy.close();
    QVERIFY(name != "folder" || ::mkdir(file.constData(), 0700) == 0);
    QVERIFY(name != "pipe" || ::mkfifo(file.constData(), 0600) == 0);
    QVERIFY(name != "null" || ::symlink("/dev/null", file.constData()) == 0);
    auto remove = qScopeGuard([&] { ::unlink(file.constData()); }); // a name QTemporaryDir cannot
    char program[] = "quorvel";
    char *argv[] = {program, file.data(), nullptr};
    const StartupOptions options = parseArguments(2, argv);
    qputenv("XDG_RUNTIME_DIR", qgetenv("XDG_CONFIG_HOME"));
    SingleInstance first, second;
    QVERIFY(first.isFirst() && claimInstance(second, options) == InstanceClaim::HandedOver);

    ScriptedPrompts prompts;
    frmPrincipal w;
    w.MDIForm_Load(options.commandLine, options.stratPath);
    CommandPoller poller;
    connect(&poller, &CommandPoller::openFile, &w, &frmPrincipal::openNamedFile);
    for (int tick = 0; tick <= HandOver::kMaxHeldTicks; ++tick) // the queue is held a while
        poller.tmrCmd_Timer();
    const QString path = QFile::decodeName(file);
    prompts.addFile(path);
    w.findChild<QAction *>(QStringLiteral("mnuAbrir"))->trigger();
    QCOMPARE(w.iNumMapas(), said.isEmpty() ? 3 : 0);
    for (int slot = 1; slot <= w.iNumMapas(); ++slot)
        QCOMPARE(w.board(slot)->sArquivo(), path);
    QCOMPARE(prompts.messages.size(), said.isEmpty() ? 0 : 3);
    for (const QString &text : prompts.messageTexts())
        QVERIFY2(text.contains(path) && text.contains(said), qPrintable(text));
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
    loadAsStarted(w);
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
    loadAsStarted(w2);
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
    loadAsStarted(w, line);
    QDir::setCurrent(before);
    QCOMPARE(w.iNumMapas(), 0);
    QVERIFY(prompts.messages.isEmpty());
}

void TestMainWindow::saveMenusActOnTheActiveBoard()
{
    ScriptedPrompts prompts;
    frmPrincipal w;
    // With no board open, Save and Save As do nothing.
    w.findChild<QAction *>(QStringLiteral("mnuSalvar"))->trigger();
    w.findChild<QAction *>(QStringLiteral("mnuSalvarComo"))->trigger();
    QVERIFY(prompts.fileDialogs.isEmpty());

    QTemporaryDir dir;
    w.openNamedFile(writeStrat(dir, QStringLiteral("s.qvl")));
    w.mdiArea()->setActiveSubWindow(w.mdiArea()->subWindowList().first());
    QVERIFY(w.activeBoard());
    const QString copy = dir.filePath(QStringLiteral("copy"));
    prompts.addFile(copy);
    w.findChild<QAction *>(QStringLiteral("mnuSalvarComo"))->trigger();
    QCOMPARE(w.activeBoard()->sArquivo(), copy + QStringLiteral(".qvl"));
    StratDocument back;
    QVERIFY(readStratFile(copy + QStringLiteral(".qvl"), back));
    QCOMPARE(back.iObj, samples::realisticStrat().iObj);
    // Save writes to the board's file without asking.
    w.findChild<QAction *>(QStringLiteral("mnuSalvar"))->trigger();
    QCOMPARE(prompts.fileDialogs.size(), 1);
}

void TestMainWindow::windowMenuKeepsBoardsApart()
{
    ScriptedPrompts prompts;
    frmPrincipal w;
    QTemporaryDir dir;
    const QString path = writeStrat(dir, QStringLiteral("same.qvl"));
    w.openNamedFile(path);
    w.openNamedFile(path); // two boards with one title
    QCOMPARE(windowEntries(w).size(), 2);
    w.board(1)->closeBoard(frmMapa::CloseReason::User);
    QCOMPARE(windowEntries(w).size(), 1);
}

// Boards made by Strat > New are in the Windows menu as soon as it opens, the active one ticked.
void TestMainWindow::windowMenuListsEveryBoard()
{
    ScriptedPrompts prompts;
    frmPrincipal w;
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.NovoMapa();
    w.NovoMapa();
    w.mdiArea()->setActiveSubWindow(w.mdiArea()->subWindowList().first());
    QMenuBar *bar = w.menuBar();
    QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(w.windowMenu()->menuAction()).center());
    QStringList entries;
    for (QAction *a : w.windowMenu()->actions())
        if (a->objectName() == QLatin1String("mnuWindowList") && a->isVisible())
            entries << a->text() + (a->isChecked() ? QStringLiteral(" *") : QString());
    QTest::keyClick(w.windowMenu(), Qt::Key_Escape);
    QCOMPARE(entries, (QStringList{"Strat1 *", "Strat2"}));
}

void TestMainWindow::secondStartKeepsTheWindowState_data()
{
    QTest::addColumn<bool>("maximised");
    QTest::addColumn<bool>("minimised");
    QTest::newRow("maximised") << true << false;
    QTest::newRow("minimised from maximised") << true << true;
    QTest::newRow("minimised") << false << true;
}

// A second start hands a file over: the window comes back as it was before it was minimised.
void TestMainWindow::secondStartKeepsTheWindowState()
{
    QFETCH(bool, maximised);
    QFETCH(bool, minimised);
    ScriptedPrompts prompts;
    frmPrincipal w;
    maximised ? w.showMaximized() : w.showNormal();
    if (minimised)
        w.showMinimized();
    QTemporaryDir dir;
    settingsStore().SaveSetting(QStringLiteral("Comando"), writeStrat(dir, QStringLiteral("handed.qvl")));
    w.findChild<CommandPoller *>()->tmrCmd_Timer();
    QCOMPARE(w.iNumMapas(), 1);
    QVERIFY(!w.isMinimized());
    QCOMPARE(w.isMaximized(), maximised);
}

// A board taller and wider than the board area: the area scrolls until its status bar shows.
void TestMainWindow::boardAreaScrollsToABoardThatDoesNotFit()
{
    ScriptedPrompts prompts;
    frmPrincipal w;
    w.resize(600, 450);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    w.NovoMapa();
    QMdiArea *area = w.mdiArea();
    QScrollBar *bar = area->verticalScrollBar();
    QCoreApplication::sendPostedEvents(); // the area lays out its scroll bars on its next layout pass
    QVERIFY(bar->isVisible());
    QVERIFY(area->horizontalScrollBar()->isVisible());
    auto *status = w.board(1)->findChild<QStatusBar *>(QStringLiteral("StatusBar1"));
    auto statusShown = [&] {
        const int bottom = status->mapTo(area->viewport(), QPoint(0, status->height())).y();
        return bottom <= area->viewport()->height();
    };
    QVERIFY(!statusShown());
    // Clicks in the bar's groove below the handle page down.
    for (int i = 0; i < 10 && bar->value() < bar->maximum(); ++i)
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() - bar->width() - 3));
    QVERIFY(statusShown());
}

// The area behind the boards shows the tiled picture, not a flat colour.
void TestMainWindow::backgroundIsAPicture()
{
    frmPrincipal w;
    w.resize(800, 600);
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    const QImage shown = w.mdiArea()->viewport()->grab().toImage();
    QSet<QRgb> colours;
    for (int y = 0; y < shown.height(); y += 7)
        for (int x = 0; x < shown.width(); x += 7)
            colours.insert(shown.pixel(x, y));
    QVERIFY2(colours.size() > 20, qPrintable(QString::number(colours.size())));
}

// Tools > Convert Old .qvl asks for the old file, then for the new name, and closes its board.
void TestMainWindow::convertMenu()
{
    ScriptedPrompts prompts;
    frmPrincipal w;
    QTemporaryDir dir;
    StratDocument old = samples::realisticStrat();
    old.iMkr = 0;
    old.tMarkers = {{}};
    const QString oldPath = dir.filePath(QStringLiteral("old.qvl"));
    QFile f(oldPath);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write(samples::oldFormatBytes(old)) > 0);
    f.close();
    const QString target = dir.filePath(QStringLiteral("new.qvl"));
    prompts.addFile(oldPath);
    prompts.addFile(target);
    w.findChild<QAction *>(QStringLiteral("mnuConvert"))->trigger();
    QCOMPARE(prompts.unscriptedCount(), 0);
    QVERIFY(QFileInfo(target).isFile());
    QCOMPARE(prompts.messageTexts(), QStringList{"Your old .qvl has been converted to the updated format."});
    QCOMPARE(w.board(1)->imI(), 0);
}

// Export as Image and Export as Video act on the active board; the video panel stops its
// playback and keeps the entry disabled while it is open.
void TestMainWindow::exportMenus()
{
    ScriptedPrompts prompts;
    frmPrincipal w;
    loadAsStarted(w);
    auto *exportar = w.findChild<QAction *>(QStringLiteral("mnuExportar"));
    auto *video = w.findChild<QAction *>(QStringLiteral("mnuVideo"));
    QCOMPARE(exportar->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_E));
    exportar->trigger();
    video->trigger();
    QCOMPARE(w.recorder()->state(), VideoRecorder::State::Closed);
    QCOMPARE(prompts.fileDialogs.size(), 0);

    w.openNamedFile(home_.filePath(QStringLiteral("Strats/Examples/example.qvl")));
    QVERIFY(w.activeBoard());
    w.activeBoard()->controller().togglePlay();
    video->trigger();
    QVERIFY(!w.activeBoard()->controller().running());
    QCOMPARE(w.recorder()->state(), VideoRecorder::State::Ready);
    QVERIFY(w.recorder()->panel()->isVisible());
    QVERIFY(!video->isEnabled());
    QTest::mouseClick(w.recorder()->panel()->cmdCancel, Qt::LeftButton);
    QVERIFY(!w.recorder()->panel()->isVisible());
    QVERIFY(video->isEnabled());
}

// The exit may delete the main window before the window system takes the focus away: the
// board's view loses it while the boards are torn down, and its focus handler must still find
// the armed tool it resets (the sanitizer build checks). Held in a shown frame, the window
// goes without a deactivation first.
void TestMainWindow::closingWithABoardFocused()
{
    ScriptedPrompts prompts;
    QWidget frame;
    auto *w = new frmPrincipal(&frame);
    w->setWindowFlags(Qt::Widget);
    frame.resize(w->size());
    frame.show();
    QVERIFY(QTest::qWaitForWindowActive(&frame));
    QCOMPARE(w->NovoMapa(), 1);
    QGraphicsView *view = w->board(1)->view();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, view->viewport()->rect().center());
    QVERIFY(view->hasFocus());
    delete w;
    QVERIFY(frame.children().isEmpty());
}

void TestMainWindow::closingDuringAVideoSave_data()
{
    QTest::addColumn<bool>("goOn");
    QTest::newRow("the save goes on") << false;
    QTest::newRow("closed anyway") << true;
}

void TestMainWindow::closingDuringAVideoSave()
{
    QFETCH(bool, goOn);
    ScriptedPrompts prompts;
    frmPrincipal w;
    loadAsStarted(w);
    w.show();
    w.openNamedFile(home_.filePath(QStringLiteral("Strats/Examples/example.qvl")));
    w.findChild<QAction *>(QStringLiteral("mnuVideo"))->trigger();
    RecordingPanel *panel = w.recorder()->panel();
    if (panel->chkSound->isChecked())
        QTest::mouseClick(panel->chkSound, Qt::LeftButton);
    QTest::mouseClick(panel->cmdRec, Qt::LeftButton);
    for (int i = 0; i < 40; ++i)
        w.activeBoard()->controller().tick();
    QTest::mouseClick(panel->cmdRec, Qt::LeftButton); // STOP
    QTemporaryDir out;
    const QString clip = out.filePath(QStringLiteral("clip.mp4"));
    prompts.addFile(clip);
    prompts.addDialog([](QDialog &d) { // OK once the encoder trial has listed one, as a user waits
        auto *list = d.findChild<QComboBox *>(QStringLiteral("cboCompressor"));
        const bool listed = QTest::qWaitFor([list] { return list && list->count() > 0; }, 60000);
        return int(listed ? QDialog::Accepted : QDialog::Rejected);
    });
    QTest::mouseClick(panel->cmdSave, Qt::LeftButton);
    QCOMPARE(w.recorder()->state(), VideoRecorder::State::Saving);

    prompts.addAnswer(goOn ? MessageAnswer::Yes : MessageAnswer::No);
    QCOMPARE(w.close(), goOn);
    QCOMPARE(prompts.messageTexts(), QStringList{QStringLiteral("A video is being saved. If you close the program now, "
                                                                "the save is stopped and the recording is lost. Close anyway?")});
    const QDir work(videoWorkFolder());
    if (goOn) {
        // Stopped on the spot: nothing of the save or of the recording is left behind.
        QCOMPARE(w.recorder()->state(), VideoRecorder::State::Closed);
        QCOMPARE(work.entryList(QDir::Files), QStringList());
    } else {
        QTRY_COMPARE_WITH_TIMEOUT(w.recorder()->state(), VideoRecorder::State::Closed, 60000);
    }
    QCOMPARE(QFile::exists(clip), !goOn);
}

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
