// The board's document without a window: the scene that mirrors it stays what a rebuild from
// the model gives after any run of edits, and the unsaved-changes flag follows the edits.
#include "TestHost.h"
#include "board/BoardDocument.h"
#include "board/BoardScene.h"
#include "board/ProgramState.h"
#include "board/frmMapa.h"
#include "platform/ScriptedPrompts.h"

#include <QGraphicsLineItem>
#include <QGraphicsPixmapItem>
#include <QGraphicsRectItem>
#include <QGraphicsSimpleTextItem>
#include <QRandomGenerator>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace quorvel;

namespace {

struct Rig {
    ProgramState state;
    TestHost host;
    BoardDocument doc;
    BoardScene scene;
    Rig()
    {
        state.fillPalette();
        doc.setPalette(state.lCores);
        scene.attach(doc, host);
    }
};

template <typename Item, typename Same>
void compareItems(const std::vector<Item *> &live, const std::vector<Item *> &rebuilt, const char *what, Same same)
{
    for (std::size_t i = 1; i < std::max(live.size(), rebuilt.size()); ++i) {
        Item *a = i < live.size() ? live[i] : nullptr;
        Item *b = i < rebuilt.size() ? rebuilt[i] : nullptr;
        QVERIFY2(bool(a) == bool(b), qPrintable(QStringLiteral("%1 %2 loaded").arg(QLatin1String(what)).arg(i)));
        if (a) {
            QCOMPARE(a->pos(), b->pos());
            QCOMPARE(a->isVisible(), b->isVisible());
            same(a, b);
        }
    }
}

void compareScenes(const BoardScene &live, const BoardScene &rebuilt)
{
    compareItems(live.imgObj, rebuilt.imgObj, "object", [](auto *a, auto *b) {
        QCOMPARE(a->pixmap().cacheKey(), b->pixmap().cacheKey());
    });
    compareItems(live.lblTexto, rebuilt.lblTexto, "text", [](auto *a, auto *b) { QCOMPARE(a->text(), b->text()); });
    compareItems(live.imgMarker, rebuilt.imgMarker, "marker", [](auto *a, auto *b) {
        QCOMPARE(a->toolTip(), b->toolTip());
    });
    compareItems(live.picM, rebuilt.picM, "point", [](auto *a, auto *b) {
        QCOMPARE(a->brush().color(), b->brush().color());
    });
    compareItems(live.linha, rebuilt.linha, "line", [](auto *a, auto *b) { QCOMPARE(a->line(), b->line()); });
}

} // namespace

class TestDocument : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qputenv("QUORVEL_HOME", QUORVEL_PROGRAM_DIR); }
    void sceneMirrorsEveryEdit();
    void modifiedFollowsEdits_data();
    void modifiedFollowsEdits();
    void windowTitleMarksUnsavedChanges();
};

void TestDocument::sceneMirrorsEveryEdit()
{
    // Random edits, indexes in and out of range; after each the live scene equals one rebuilt
    // from the model. A saved strat is what a rebuild shows, so the scene never drifts.
    for (quint32 seed = 1; seed <= 20; ++seed) {
        QRandomGenerator rng(seed);
        Rig r;
        auto index = [&](int count) { return std::int16_t(rng.bounded(-1, count + 3)); };
        auto where = [&] { return QPointF(rng.bounded(200, 11000), rng.bounded(300, 8500)); };
        const StratDocument &d = r.doc.model().doc;
        for (int step = 0; step < 60; ++step) {
            switch (rng.bounded(14)) {
            case 0: r.doc.placeObject(std::int16_t(rng.bounded(1, 14)), where()); break;
            case 1: r.doc.placeText(where(), QStringLiteral("t%1").arg(step)); break;
            case 2: r.doc.placeMarker(where(), QStringLiteral("m%1").arg(step)); break;
            case 3: r.doc.moveObject(index(d.iObj), where()); break;
            case 4: r.doc.moveText(index(d.iTxt), where()); r.doc.setMarkerText(index(d.iMkr), QStringLiteral("x")); break;
            case 5: r.doc.ApagaObjeto(index(d.iObj)); break;
            case 6: r.doc.ApagaTexto(index(d.iTxt)); r.doc.ApagaMarker(index(d.iMkr)); break;
            case 7:
            case 8: {
                const std::int16_t o = index(d.iObj);
                if (auto p = r.doc.beginPathPoint(o, where())) {
                    if (rng.bounded(4) == 0)
                        r.doc.dropPathPoint(*p);
                    else
                        r.doc.commitPathPoint(*p, {0, rng.bounded(100, 9000), rng.bounded(100, 8000), 8, 0, 0});
                }
                break;
            }
            case 9: r.doc.SetBomb(index(d.iObj), 189); break;
            case 10: r.doc.movePathPoint(index(r.doc.model().iPontos), where()); break;
            case 11: r.doc.MudaCor(index(d.iObj), std::int32_t(rng.bounded(0x1000000))); break;
            case 12: r.doc.ShowHide(index(d.iObj), rng.bounded(2) == 0); break;
            case 13: {
                const std::int16_t n = index(r.doc.model().iPontos);
                const PathPoint *pt = r.doc.point(n);
                r.doc.ApagaMovimento(n, pt ? pt->slot : n);
                break;
            }
            }
            BoardScene rebuilt;
            rebuilt.rebuild(r.doc.model(), r.host);
            compareScenes(r.scene, rebuilt);
            if (QTest::currentTestFailed())
                qFatal("seed %u, step %d", seed, step);
        }
    }
}

void TestDocument::modifiedFollowsEdits_data()
{
    QTest::addColumn<QString>("edit");
    QTest::addColumn<bool>("modified");
    QTest::addColumn<bool>("lengthChanges");
    for (const char *e : {"move object", "delete object", "path point", "bomb", "move point",
                          "step", "delete movement"})
        QTest::newRow(e) << QString::fromLatin1(e) << true << true;
    for (const char *e : {"place object", "place text", "move text", "delete text", "marker", "colour", "link"})
        QTest::newRow(e) << QString::fromLatin1(e) << true << false;
    for (const char *e : {"show/hide", "hide all paths", "out of range", "path point taken back"})
        QTest::newRow(e) << QString::fromLatin1(e) << false << false;
}

void TestDocument::modifiedFollowsEdits()
{
    QFETCH(QString, edit);
    Rig r;
    // A board with a soldier on a two-step path, a grenade, a text and a marker, just opened.
    StratDocument d;
    d.iObj = 2;
    d.tObjetos = {{}, {1, 1000, 1000}, {11, 3000, 3000}};
    d.iMovs = 1;
    d.tMovimentos = {{}, {}};
    d.tMovimentos[1].iObj = 1;
    d.tMovimentos[1].itM = 2;
    d.tMovimentos[1].Passos = StepArray<tpPasso>::zeroTo(2);
    d.tMovimentos[1].Passos.at(1) = {0, 2000, 1000, 8, 0, 0};
    d.tMovimentos[1].Passos.at(2) = {0, 2000, 2000, 8, 0, 0};
    d.lCorMov = {0, 255};
    d.iCores = 1;
    d.iTxt = 1;
    d.tTextos = {{}, {500, 500, QStringLiteral("A")}};
    d.iMkr = 1;
    d.tMarkers = {{}, {700, 700, QStringLiteral("B")}};
    r.doc.load(d);
    QVERIFY(!r.doc.isModified());
    QSignalSpy modified(&r.doc, &BoardDocument::modifiedChanged);
    QSignalSpy length(&r.doc, &BoardDocument::stratLengthChanged);

    if (edit == u"place object") r.doc.placeObject(2, {4000, 4000});
    else if (edit == u"move object") r.doc.moveObject(1, {1200, 1200});
    else if (edit == u"delete object") r.doc.ApagaObjeto(1);
    else if (edit == u"path point") r.doc.commitPathPoint(*r.doc.beginPathPoint(2, {5000, 5000}), {0, 4925, 4925, 20, 0, 0});
    else if (edit == u"bomb") { r.doc.placeObject(Bomb, {6000, 6000}); r.doc.SetBomb(3, 189); }
    else if (edit == u"move point") r.doc.movePathPoint(1, {2500, 1500});
    else if (edit == u"step") r.doc.editStep(2, 30, 3, 1, 4);
    else if (edit == u"delete movement") r.doc.ApagaMovimento(2, 1);
    else if (edit == u"place text") r.doc.placeText({100, 100}, QStringLiteral("C"));
    else if (edit == u"move text") r.doc.moveText(1, {900, 900});
    else if (edit == u"delete text") r.doc.ApagaTexto(1);
    else if (edit == u"marker") r.doc.setMarkerText(1, QStringLiteral("D"));
    else if (edit == u"colour") r.doc.MudaCor(1, 65280);
    else if (edit == u"link") r.doc.AdicionaLink({1, 0}, QStringLiteral("http://example.org"));
    else if (edit == u"show/hide") r.doc.ShowHide(1, false);
    else if (edit == u"hide all paths") r.doc.showAllPaths(false);
    else if (edit == u"out of range") {
        r.doc.moveObject(7, {1, 1});
        r.doc.ApagaTexto(0);
        r.doc.setMarkerText(2, QStringLiteral("E"));
        r.doc.movePathPoint(9, {1, 1});
        r.doc.editStep(-1, 0, 8, 0, 0);
        r.doc.ApagaMovimento(1, 5);
        r.doc.EditaLink(1, QStringLiteral("x"));
        QVERIFY(!r.doc.beginPathPoint(5, {1, 1}));
        QVERIFY(!r.doc.SetBomb(0, 0));
    } else if (edit == u"path point taken back") {
        const auto before = r.doc.model().doc;
        r.doc.dropPathPoint(*r.doc.beginPathPoint(2, {5000, 5000}));
        QCOMPARE(r.doc.model().doc, before);
        QCOMPARE(r.doc.model().iPontos, std::int16_t(2));
    }
    QTEST(r.doc.isModified(), "modified");
    QCOMPARE(modified.count(), r.doc.isModified() ? 1 : 0);
    QTEST(!length.isEmpty(), "lengthChanges");

    // Opening and closing leave nothing unsaved.
    r.doc.load(d);
    QVERIFY(!r.doc.isModified());
    r.doc.placeText({1, 1}, QStringLiteral("F"));
    r.doc.clear();
    QVERIFY(!r.doc.isModified());
}

void TestDocument::windowTitleMarksUnsavedChanges()
{
    ScriptedPrompts prompts;
    Rig r;
    frmMapa board(r.state, r.host);
    board.Form_Load();
    board.setImI(1);
    board.setTitulo(QStringLiteral("Strat1"));
    QVERIFY(!board.isWindowModified());
    QVERIFY(board.windowTitle().contains(QStringLiteral("[*]")));
    board.document().placeObject(1, {1000, 1000});
    QVERIFY(board.isWindowModified());

    QTemporaryDir dir;
    r.state.sOverview[1] = QStringLiteral("Harbor.jpg");
    board.setSArquivo(dir.filePath(QStringLiteral("s.qvl")));
    QVERIFY(board.SalvaTatica());
    QVERIFY(!board.isWindowModified());
    board.document().placeText({1, 1}, QStringLiteral("A"));
    board.AbreTatica(dir.filePath(QStringLiteral("s.qvl")));
    QVERIFY(!board.isWindowModified());
    QCOMPARE(board.model().doc.iTxt, std::int16_t(0)); // the text placed after saving was not saved
}

QTEST_MAIN(TestDocument)
#include "tst_document.moc"
