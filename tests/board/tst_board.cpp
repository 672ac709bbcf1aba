#include "TestFolders.h"
#include "TestHost.h"
#include "common/DebugLog.h"
#include "StratSamples.h"
#include "board/BoardScene.h"
#include "board/ProgramState.h"
#include "board/frmMapa.h"
#include "document/StratFile.h"
#include "ScriptedPrompts.h"
#include "playback/IconPicture.h"
#include "playback/PlaybackController.h"

#include <QGraphicsLineItem>
#include <QLabel>
#include <QGraphicsPixmapItem>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QGraphicsView>
#include <QSlider>
#include <QTemporaryDir>
#include <QtTest>

using namespace quorvel;
using samples::movement;

namespace {

// The "-d" switch for one test.
struct DebugOn {
    DebugOn() { setDebugEnabled(true); }
    ~DebugOn() { setDebugEnabled(false); }
};

// A main window stand-in: real pictures, a Windows menu kept as a list, a scripted overview
// choice.

struct Board {
    ProgramState state;
    TestHost host;
    frmMapa board{state, host};
    explicit Board(int slot = 1)
    {
        state.fillPalette();
        board.Form_Load();
        board.setImI(static_cast<std::int16_t>(slot));
    }
    // The title as the board's title label shows it.
    QString title() const { return board.findChild<QLabel *>(QStringLiteral("lblTitulo"))->text(); }
};

QString writeTemp(QTemporaryDir &dir, const QString &name, const StratDocument &doc)
{
    const QString path = dir.filePath(name);
    if (!writeStratFile(path, doc))
        qFatal("cannot write %s", qPrintable(path));
    return path;
}


StratDocument baseStrat()
{
    StratDocument d;
    d.sOverview = QStringLiteral("Harbor.jpg");
    d.sNomeTatica = QStringLiteral("Opening");
    makeSavePlaceholders(d);
    return d;
}

// What the scene shows, element by element, in twips.
struct SceneItems {
    QList<QPair<int, QPointF>> objects, markers;
    QList<QPair<QString, QPointF>> texts;
    QList<QRectF> points;
    QList<QLineF> lines;
    bool operator==(const SceneItems &) const = default;
};

SceneItems itemsOf(const BoardScene &scene)
{
    SceneItems s;
    for (std::size_t i = 1; i < scene.imgObj.size(); ++i)
        if (scene.imgObj[i])
            s.objects.append({int(i), scene.imgObj[i]->pos()});
    for (std::size_t i = 1; i < scene.lblTexto.size(); ++i)
        if (scene.lblTexto[i])
            s.texts.append({scene.lblTexto[i]->text(), scene.lblTexto[i]->pos()});
    for (std::size_t i = 1; i < scene.imgMarker.size(); ++i)
        if (scene.imgMarker[i])
            s.markers.append({int(i), scene.imgMarker[i]->pos()});
    for (std::size_t n = 1; n < scene.picM.size(); ++n)
        if (scene.picM[n])
            s.points.append(scene.picM[n]->sceneBoundingRect());
    for (std::size_t n = 1; n < scene.linha.size(); ++n)
        if (scene.linha[n])
            s.lines.append(scene.linha[n]->line());
    return s;
}

} // namespace

class TestBoard : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void opensPlaceholdersAndDeletedEntries();
    void pathPointOffsets_data();
    void pathPointOffsets();
    void skippedAndOrphanSteps();
    void stepsPastTheLastPointNumberPlay();
    void missingOverviewWithCancel();
    void overviewNameCannotClimbOut();
    void unloadableReplacementIsRefused();
    void damagedFileClosesTheBoard();
    void emptyPathClosesQuietly();
    void savingAnEmptyBoard();
    void saveAsSuffixRules_data();
    void saveAsSuffixRules();
    void failedSaveKeepsFileAndName_data();
    void failedSaveKeepsFileAndName();
    void saveCloseAndReopenShowsTheSameScene();
    void closedBoardForgetsItsStrat();
    void longTextsShowWhatTheBoardCanHold();
    void procuraMovimento();
    void firstTimeSliderClickSeeks();
};

void TestBoard::initTestCase()
{
    qputenv("QUORVEL_HOME", testProgramFolder());
}

void TestBoard::opensPlaceholdersAndDeletedEntries()
{
    QTemporaryDir dir;
    StratDocument d = baseStrat();
    // Three texts, the second deleted; the marker and movement placeholders; one deleted object.
    d.iTxt = 3;
    d.tTextos = {{}, {100, 200, QStringLiteral("one")}, deletedText(), {300, 400, QStringLiteral("three")}};
    d.iObj = 2;
    d.tObjetos = {{}, {DeletedObject, 0, 0}, {3, 1500, 1600}};
    ScriptedPrompts prompts;
    Board b;
    b.board.AbreTatica(writeTemp(dir, QStringLiteral("a.qvl"), d));

    const BoardModel &m = b.board.model();
    QCOMPARE(m.doc.iTxt, 3);
    QCOMPARE(m.textShown, (std::vector<bool>{false, true, false, true}));
    QCOMPARE(m.doc.iMkr, 0);             // the marker placeholder alone means no markers
    QVERIFY(m.doc.tMarkers.empty());
    QCOMPARE(m.doc.iMovs, 0);            // the movement placeholder means no movements
    QCOMPARE(m.doc.iCores, 0);
    QCOMPARE(m.objectShown, (std::vector<bool>{false, false, true}));
    const SceneItems items = itemsOf(*b.board.scene());
    QCOMPARE(items.texts.size(), 2);
    QCOMPARE(items.texts[1].first, QStringLiteral("three"));
    QCOMPARE(items.objects.size(), 1);
    QCOMPARE(items.objects[0].second, QPointF(1500, 1600));
    QCOMPARE(b.title(), QStringLiteral("Opening").leftJustified(32, u' '));
    QCOMPARE(b.host.windowList.size(), 1);
    QVERIFY(prompts.messages.isEmpty());
}

void TestBoard::pathPointOffsets_data()
{
    QTest::addColumn<int>("tipo");
    QTest::addColumn<int>("pointOffset");
    QTest::addColumn<int>("lineOffset");
    QTest::addColumn<int>("facingAfter");
    QTest::newRow("flash grenade") << 11 << 25 << 75 << 0;
    QTest::newRow("bomb") << 13 << 25 << 75 << 0;
    QTest::newRow("player") << 2 << 125 << 175 << 6;
}

void TestBoard::pathPointOffsets()
{
    QFETCH(int, tipo);
    QFETCH(int, pointOffset);
    QFETCH(int, lineOffset);
    QFETCH(int, facingAfter);
    QTemporaryDir dir;
    StratDocument d = baseStrat();
    d.iObj = 1;
    d.tObjetos = {{}, {std::int16_t(tipo), 500, 700}};
    d.iMovs = 1;
    d.iCores = 1;
    d.lCorMov = {0, 0x0000FF};
    d.tMovimentos = {{}, movement(1, {{0, 1000, 2000, 8, 0, 6}, {5, 1400, 2600, 3, 0, 9}})};
    ScriptedPrompts prompts;
    Board b;
    b.board.AbreTatica(writeTemp(dir, QStringLiteral("p.qvl"), d));
    const BoardModel &m = b.board.model();
    QCOMPARE(m.iPontos, 2);
    QCOMPARE(m.points[1].Left, 1000.0f + pointOffset);
    QCOMPARE(m.points[1].Top, 2000.0f + pointOffset);
    // First line from the object's icon, second from the previous point's centre.
    QCOMPARE(QLineF(m.points[1].X1, m.points[1].Y1, m.points[1].X2, m.points[1].Y2),
             QLineF(500 + lineOffset, 700 + lineOffset, 1000 + lineOffset, 2000 + lineOffset));
    QCOMPARE(QPointF(m.points[2].X1, m.points[2].Y1), QPointF(1000 + pointOffset + 50, 2000 + pointOffset + 50));
    QCOMPARE(m.doc.tMovimentos[1].Passos.at(1).sDir, facingAfter);
    QCOMPARE(m.doc.tMovimentos[1].Passos.at(2).sDir, 0); // facing 9 means none
    QCOMPARE(m.playback.findMovimento(1)->itM(), 2);
    QCOMPARE(m.playback.findMovimento(1)->iObj, 1);

    const SceneItems items = itemsOf(*b.board.scene());
    QCOMPARE(items.points.size(), 2);
    QCOMPARE(items.points[0].topLeft(), QPointF(1000 + pointOffset, 2000 + pointOffset));
    QCOMPARE(items.lines[0], QLineF(500 + lineOffset, 700 + lineOffset, 1000 + lineOffset, 2000 + lineOffset));
}

void TestBoard::skippedAndOrphanSteps()
{
    QTemporaryDir dir;
    StratDocument d = baseStrat();
    d.iObj = 2;
    d.tObjetos = {{}, {DeletedObject, 0, 0}, {4, 300, 300}};
    d.iMovs = 2;
    d.iCores = 2;
    d.lCorMov = {0, 0xFF, 0xFF00};
    // Slot 1 walks the deleted object: no points, no steps. Slot 2 has a step at (0, 0).
    d.tMovimentos = {{},
                     movement(0, {{0, 800, 800, 8, 0, 0}}),
                     movement(2, {{0, 0, 0, 8, 0, 0}, {0, 900, 1000, 8, 0, 0}, {0, 1200, 1000, 8, 1, 2}})};
    ScriptedPrompts prompts;
    Board b;
    b.board.AbreTatica(writeTemp(dir, QStringLiteral("s.qvl"), d));
    const BoardModel &m = b.board.model();
    QCOMPARE(m.iPontos, 2); // point numbers continue without a gap
    QCOMPARE(m.iPassoPonto, (std::vector<std::int16_t>{0, 2, 3}));
    QCOMPARE(m.points[1].slot, 2);
    // The line of the first built point starts at the object, not at the skipped step.
    QCOMPARE(QPointF(m.points[1].X1, m.points[1].Y1), QPointF(300 + 175, 300 + 175));
    QCOMPARE(m.playback.findMovimento(2)->itM(), 2);
    QVERIFY(!m.playback.findMovimento(1) || m.playback.findMovimento(1)->itM() == 0);
}

// Point numbers end at 32,767: a flash grenade's path after a path that uses them all gets no
// points, yet its steps play (with their facing corrected) and the board says so once.
void TestBoard::stepsPastTheLastPointNumberPlay()
{
    QTemporaryDir dir;
    StratDocument d = baseStrat();
    d.iObj = 2;
    d.tObjetos = {{}, {2, 100, 100}, {FlashGrenade, 5000, 4000}};
    d.iMovs = 2;
    d.iCores = 2;
    d.lCorMov = {0, 0xFF, 0xFF00};
    constexpr int kLast = 32767;
    d.tMovimentos = {{}, movement(1, {}), movement(2, {{0, 5100, 4000, 20, 0, 5}, {0, 6000, 4000, 20, 0, 5}})};
    tpMovimento &full = d.tMovimentos[1];
    full.itM = kLast;
    full.Passos = StepArray<tpPasso>::zeroTo(kLast);
    for (int p = 1; p <= kLast; ++p)
        full.Passos.at(p) = {0, 200 + p % 2 * 100, 200, 1000, 0, 0};
    ScriptedPrompts prompts;
    Board b;
    b.board.AbreTatica(writeTemp(dir, QStringLiteral("full.qvl"), d));
    const BoardModel &m = b.board.model();
    QCOMPARE(m.iPontos, kLast);
    QCOMPARE(b.board.scene()->picM.size(), std::size_t(kLast) + 1);
    QCOMPARE(m.playback.findMovimento(2)->itM(), 2);
    QCOMPARE(m.doc.tMovimentos[2].Passos.at(2).sDir, 0);
    const QStringList said = prompts.messageTexts().filter(QStringLiteral("path steps"));
    QCOMPARE(said.size(), 1);
    QVERIFY2(said[0].contains(QLocale().toString(kLast)) && said[0].contains(u"other 2 play "), qPrintable(said[0]));
    // Add Movement from the object's menu and a click, then the bomb tool's click: refused, and why.
    b.host.onPopup = [&](BoardHost::Popup) { b.state.tool.addMovement(b.board.imI()); };
    QWidget *view = b.board.view()->viewport();
    const QPoint object = b.board.view()->mapFromScene(150, 150), bare = b.board.view()->mapFromScene(3000, 3000);
    QTest::mouseClick(view, Qt::RightButton, {}, object);
    QTest::mouseClick(view, Qt::LeftButton, {}, bare);
    b.state.tool.choose(ArmedTool::Object);
    b.state.iTipoObj = Bomb;
    QTest::mouseClick(view, Qt::LeftButton, {}, bare);
    QCOMPARE(prompts.messageTexts().filter(QStringLiteral(" path points, the most it can draw, so ")).size(), 2);
    QCOMPARE(m.doc.iObj, 2);

    b.board.controller().seek(3);
    QCOMPARE(b.board.scene()->imgObj[2]->pos(), QPointF(6000, 4000));
    d.tMovimentos[2] = movement(2, {{0, 5100, 4000, 20, 0, 5}});
    Board one;
    one.board.AbreTatica(writeTemp(dir, QStringLiteral("one.qvl"), d));
    QVERIFY(prompts.messageTexts().last().contains(u"; the other one plays without"));
}

void TestBoard::missingOverviewWithCancel()
{
    QTemporaryDir dir;
    StratDocument d = baseStrat();
    d.sOverview = QStringLiteral("Nowhere.jpg");
    ScriptedPrompts prompts;
    Board b;
    const DebugOn debugOn;
    b.host.overviewAnswer.clear();
    b.board.AbreTatica(writeTemp(dir, QStringLiteral("m.qvl"), d));
    QCOMPARE(prompts.messageTexts(),
             (QStringList{QStringLiteral("Nowhere.jpg could not be found. Please select a new overview image."),
                          QStringLiteral("Cannot open the strat file without a map overview.")}));
    QCOMPARE(b.host.overviewAsked, 1);
    QCOMPARE(b.host.closedCount, 1);
    QCOMPARE(b.board.imI(), 0);
    QCOMPARE(b.host.debugLines, (QStringList{"Message 12", "Message 13", "Message 14", "Message 15", "Message 16", "Message 17"}));

    // With a replacement chosen, the board opens on it and remembers it: a change the close
    // asks to save, and the saved file keeps it.
    Board ok;
    ok.host.overviewAnswer = QStringLiteral("Citadel.jpg");
    const QString path = writeTemp(dir, QStringLiteral("m2.qvl"), d);
    ok.board.AbreTatica(path);
    QVERIFY(ok.board.scene()->hasOverview());
    QCOMPARE(ok.board.document().overview(), QStringLiteral("Citadel.jpg"));
    QCOMPARE(ok.host.closedCount, 0);
    QVERIFY(ok.board.isWindowModified());
    prompts.addAnswer(MessageAnswer::Yes);
    QVERIFY(ok.board.maybeSave());
    QCOMPARE(prompts.messageTexts().last(), QStringLiteral("Save changes to Opening?"));
    StratDocument back;
    QVERIFY(readStratFile(path, back).ok);
    QCOMPARE(back.sOverview.trimmed(), QStringLiteral("Citadel.jpg"));
}

void TestBoard::overviewNameCannotClimbOut()
{
    QTemporaryDir dir;
    StratDocument d = baseStrat();
    d.sOverview = QStringLiteral("../Bin/Icons/picMarker.png").left(16);
    ScriptedPrompts prompts;
    Board b;
    b.host.overviewAnswer.clear();
    b.board.AbreTatica(writeTemp(dir, QStringLiteral("c.qvl"), d));
    QCOMPARE(b.host.overviewAsked, 1);
    QVERIFY(!b.board.scene()->hasOverview());
}

void TestBoard::unloadableReplacementIsRefused()
{
    QTemporaryDir dir;
    StratDocument d = baseStrat();
    d.sOverview = QStringLiteral("Nowhere.jpg");
    ScriptedPrompts prompts;
    struct FlakyHost : TestHost {
        QString chooseOverview() override
        {
            ++overviewAsked;
            return overviewAsked == 1 ? QStringLiteral("Broken.jpg") : QString();
        }
    };
    ProgramState state;
    FlakyHost host;
    frmMapa board(state, host);
    board.Form_Load();
    board.setImI(1);
    board.AbreTatica(writeTemp(dir, QStringLiteral("u.qvl"), d));
    QCOMPARE(host.overviewAsked, 2); // asked again instead of opening on a blank board
    QCOMPARE(board.imI(), 0);
}

void TestBoard::damagedFileClosesTheBoard()
{
    QTemporaryDir dir;
    QFile f(dir.filePath(QStringLiteral("bad.qvl")));
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray(60, '\xff'));
    f.close();
    ScriptedPrompts prompts;
    Board b;
    const DebugOn debugOn;
    b.board.AbreTatica(f.fileName());
    QCOMPARE(prompts.messageTexts(), QStringList{QStringLiteral("An error has occured.")});
    const QString details = prompts.messages.first().details; // which file, and what was wrong
    QVERIFY2(details.startsWith(QStringLiteral("bad.qvl: ")) && details.contains(QStringLiteral("at byte")),
             qPrintable(details));
    QCOMPARE(b.host.debugLines, (QStringList{"Message 18", "Message 19"}));
    QCOMPARE(b.board.imI(), 0);
    QCOMPARE(b.host.closedCount, 1);
}

void TestBoard::emptyPathClosesQuietly()
{
    ScriptedPrompts prompts;
    Board b;
    b.board.AbreTatica(QString());
    QVERIFY(prompts.messages.isEmpty());
    QCOMPARE(b.host.closedCount, 1);
}

void TestBoard::savingAnEmptyBoard()
{
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    Board b;
    b.board.document().setOverview(QStringLiteral("Harbor.jpg"));
    b.board.document().setTitle(QStringLiteral("Empty"));
    const QString path = dir.filePath(QStringLiteral("empty.qvl"));
    prompts.addFile(path);
    QVERIFY(b.board.SalvaTatica());
    QCOMPARE(b.board.sArquivo(), path);
    QCOMPARE(QFileInfo(path).size(), 188);
    const BoardModel &m = b.board.model();
    QCOMPARE(m.doc.iTxt, 1);
    QCOMPARE(m.doc.iMkr, 1);
    QCOMPARE(m.doc.iMovs, 1);
    QCOMPARE(m.doc.iCores, 1);
    // Saving again writes to the same file without a dialog, and the same 188 bytes.
    QVERIFY(b.board.SalvaTatica());
    QCOMPARE(prompts.fileDialogs.size(), 1);
    QCOMPARE(QFileInfo(path).size(), 188);
    QCOMPARE(prompts.fileDialogs[0].request.title, QStringLiteral("Save Strat"));
}

void TestBoard::saveAsSuffixRules_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("written");
    QTest::newRow("no extension") << "plan" << "plan.qvl";
    QTest::newRow("capitals kept") << "plan.QVL" << "plan.QVL";
    QTest::newRow("other extension") << "plan.txt" << "plan.txt.qvl";
}

void TestBoard::saveAsSuffixRules()
{
    QFETCH(QString, typed);
    QFETCH(QString, written);
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    Board b;
    b.board.setSArquivo(dir.filePath(QStringLiteral("old.qvl")));
    prompts.addFile(dir.filePath(typed));
    QVERIFY(b.board.SalvaTatica(true)); // Save As asks even with a name
    QCOMPARE(b.board.sArquivo(), dir.filePath(written));
    QVERIFY(QFileInfo::exists(dir.filePath(written)));
}

void TestBoard::failedSaveKeepsFileAndName_data()
{
    QTest::addColumn<QString>("target"); // "": the board's own file, in a folder made read-only
    QTest::addColumn<QString>("reason");
    QTest::newRow("missing folder") << "missing/other.qvl" << "No such file or directory";
    QTest::newRow("read-only folder") << "" << "Permission denied";
}

void TestBoard::failedSaveKeepsFileAndName()
{
    QFETCH(QString, target);
    QFETCH(QString, reason);
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    Board b;
    const QString folder = dir.filePath(QStringLiteral("f")), path = folder + QStringLiteral("/keep.qvl");
    QVERIFY(QDir().mkdir(folder));
    prompts.addFile(path);
    QVERIFY(b.board.SalvaTatica());
    const QByteArray before = [&] { QFile f(path); f.open(QIODevice::ReadOnly); return f.readAll(); }();
    QFile::setPermissions(folder, QFile::ReadOwner | QFile::ExeOwner);
    auto unlock = qScopeGuard([&] { QFile::setPermissions(folder, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner); });
    if (target.isEmpty() && QFileInfo(folder).isWritable())
        QSKIP("a read-only folder stops no write of root's");

    // Said with the file and the reason; the old file and the name are kept.
    if (!target.isEmpty())
        prompts.addFile(dir.filePath(target));
    QVERIFY(!b.board.SalvaTatica(!target.isEmpty()));
    const QString said = prompts.messageTexts().last();
    QVERIFY2(said.startsWith(QStringLiteral("There was an error writing the file.\n\n")) && said.contains(reason)
                 && said.contains(QDir::toNativeSeparators(target.isEmpty() ? path : dir.filePath(target))),
             qPrintable(said));
    QCOMPARE(b.board.sArquivo(), path);
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);

    // Cancel changes nothing.
    prompts.addFile(QString());
    QVERIFY(!b.board.SalvaTatica(true));
    QCOMPARE(b.board.sArquivo(), path);
}

void TestBoard::saveCloseAndReopenShowsTheSameScene()
{
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    Board first;
    first.board.AbreTatica(writeTemp(dir, QStringLiteral("r.qvl"), samples::realisticStrat()));
    QCOMPARE(first.board.imI(), 1);
    const SceneItems before = itemsOf(*first.board.scene());
    QVERIFY(!before.objects.isEmpty());
    QVERIFY(!before.texts.isEmpty());
    QVERIFY(!before.markers.isEmpty());
    QVERIFY(!before.points.isEmpty());

    const QString saved = dir.filePath(QStringLiteral("again.qvl"));
    prompts.addFile(saved);
    QVERIFY(first.board.SalvaTatica(true));
    const QString title = first.board.document().title();
    first.board.closeBoard(frmMapa::CloseReason::User);
    QVERIFY(first.host.windowList.isEmpty());

    Board second;
    second.board.AbreTatica(saved);
    QCOMPARE(itemsOf(*second.board.scene()), before);
    QCOMPARE(second.title(), title);
}

void TestBoard::closedBoardForgetsItsStrat()
{
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    Board b;
    b.board.AbreTatica(writeTemp(dir, QStringLiteral("f.qvl"), samples::realisticStrat()));
    b.board.closeBoard(frmMapa::CloseReason::User);
    const BoardModel &m = b.board.model();
    QCOMPARE(m.doc.iObj, 0);
    QCOMPARE(m.iPontos, 0);
    QCOMPARE(m.doc.iMovs, 0);
    QVERIFY(m.sArquivo.isEmpty());
    QCOMPARE(itemsOf(*b.board.scene()), SceneItems{});
    // All at once, but only the elements: the overview's item and the editor's shapes stay.
    QCOMPARE(b.board.scene()->items().size(), Board(2).board.scene()->items().size());

    // Taken again for a new strat: empty, with its new slot.
    b.board.Form_Load();
    b.board.setImI(3);
    QCOMPARE(b.board.imI(), 3);
    QVERIFY(b.board.sArquivo().isEmpty());
}

void TestBoard::longTextsShowWhatTheBoardCanHold()
{
    // No glyph of the board font is narrower than 55 twips nor a line lower than 209: a label
    // shows what fits from its corner to the edges of the 12,015 x 9,000 twip board.
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    StratDocument doc = baseStrat();
    const QString oneLine(65535, u'w');
    QString fill; // lines of 300 narrow letters, more than the board holds
    while (fill.size() < 60000)
        fill += QString(300, u'i') + u'\n';
    doc.iTxt = 40;
    doc.tTextos.assign(41, tpTexto{0, 0, fill});
    doc.tTextos[1] = {0, 0, oneLine};
    doc.tTextos[2] = {11000, 8000, fill};
    doc.tTextos[3] = {12015, 0, oneLine};
    Board b;
    b.board.AbreTatica(writeTemp(dir, QStringLiteral("t.qvl"), doc));
    const auto &labels = b.board.scene()->lblTexto;
    QCOMPARE(labels[1]->text(), oneLine.left(219));
    QCOMPARE(labels[2]->text(), QStringList(5, QString(19, u'i')).join(u'\n')); // 1,015 x 1,000 twips left
    QCOMPARE(labels[3]->text(), QString()); // beyond the right edge
    QCOMPARE(labels[4]->text(), QStringList(44, QString(219, u'i')).join(u'\n'));
    // Past 262,144 characters in all, a label shows the start of its first line.
    QCOMPARE(labels[40]->text(), QString(16, u'i'));
    QCOMPARE(b.board.model().doc.tTextos[1].Texto, oneLine); // the record keeps it all

    b.board.document().moveText(3, QPointF(6000, 0)); // onto the board, with the budget spent
    QCOMPARE(labels[3]->text(), oneLine.left(16));
}

void TestBoard::procuraMovimento()
{
    QTemporaryDir dir;
    ScriptedPrompts prompts;
    Board empty;
    QCOMPARE(empty.board.document().ProcuraMovimento(1), -1);

    StratDocument d = baseStrat();
    d.iObj = 2;
    d.tObjetos = {{}, {1, 100, 100}, {2, 200, 200}};
    d.iMovs = 3;
    d.iCores = 3;
    d.lCorMov = {0, 1, 2, 3};
    d.tMovimentos = {{}, movement(2, {{0, 500, 500, 8, 0, 0}}), movement(1, {{0, 600, 600, 8, 0, 0}}),
                     movement(2, {{0, 700, 700, 8, 0, 0}})};
    Board b;
    b.board.AbreTatica(writeTemp(dir, QStringLiteral("pm.qvl"), d));
    QCOMPARE(b.board.document().ProcuraMovimento(2), 1); // the lower of two slots
    QCOMPARE(b.board.document().ProcuraMovimento(1), 2);
    QCOMPARE(b.board.document().ProcuraMovimento(5), -1);
}

QTEST_MAIN(TestBoard)
void TestBoard::firstTimeSliderClickSeeks()
{
    // A team icon walking for several seconds; each click on the time slider's groove, the
    // first after the board opened included, takes the board to that second.
    QTemporaryDir dir;
    StratDocument d = baseStrat();
    d.iObj = 1;
    d.tObjetos = {tpObjeto{}, tpObjeto{1, 500, 500}};
    d.iMovs = 1;
    d.iCores = 1;
    d.lCorMov = {0, 0};
    d.tMovimentos.assign(2, tpMovimento{});
    d.tMovimentos[1].iObj = 1;
    d.tMovimentos[1].itM = 1;
    d.tMovimentos[1].Passos = StepArray<tpPasso>::zeroTo(1);
    d.tMovimentos[1].Passos.at(1) = tpPasso{0, 9000, 500, 8.0f, 0, 0};
    ScriptedPrompts prompts;
    Board b;
    b.board.AbreTatica(writeTemp(dir, QStringLiteral("walk.qvl"), d));
    b.board.show();
    auto *slider = b.board.findChild<QSlider *>(QStringLiteral("Slider2"));
    QVERIFY(slider->maximum() >= 4);
    const auto clickAt = [&](double at) {
        QTest::mouseClick(slider, Qt::LeftButton, {}, QPoint(int(slider->width() * at), slider->height() / 2));
    };
    for (const double at : {0.75, 0.25}) {
        clickAt(at);
        QVERIFY(slider->value() > 0);
        QCOMPARE(b.board.model().playback.iSegs(), slider->value());
    }
    // A click that leaves the second as it is arms nothing: the clock's next second does not seek.
    QSignalSpy seeks(&b.board.controller(), &PlaybackController::seekingChanged);
    clickAt(0.25);
    b.board.controller().timeSliderChanged(slider->value() + 1);
    QCOMPARE(seeks.count(), 0);
}

#include "tst_board.moc"
