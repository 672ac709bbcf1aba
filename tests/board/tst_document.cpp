// The board's document without a window: the scene that mirrors it stays what a rebuild from
// the model gives after any run of edits, and the unsaved-changes flag follows the edits.
#include "TestFolders.h"
#include "TestHost.h"
#include "board/BoardDocument.h"
#include "board/BoardScene.h"
#include "board/ProgramState.h"
#include "board/frmMapa.h"
#include "common/Rounding.h"
#include "ScriptedPrompts.h"

#include <QGraphicsLineItem>
#include <QGraphicsView>
#include <QPixmapCache>
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
        QCOMPARE(a->data(0), b->data(0)); // the balloon finds its marker by this index
    });
    compareItems(live.picM, rebuilt.picM, "point", [](auto *a, auto *b) {
        QCOMPARE(a->brush().color(), b->brush().color());
    });
    compareItems(live.linha, rebuilt.linha, "line", [](auto *a, auto *b) { QCOMPARE(a->line(), b->line()); });
}

// What a view like the board's shows of the scene.
QImage picture(QGraphicsView &view)
{
    if (view.transform().isIdentity()) {
        view.setRenderHints(QPainter::Antialiasing);
        view.setFixedSize(801, 600);
        view.scale(1.0 / kTwipsPerPixel, 1.0 / kTwipsPerPixel);
        view.setSceneRect(view.scene()->sceneRect());
    }
    return view.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// Equal but for the rounding of antialiased edges that a partial repaint may draw apart.
bool samePicture(const QImage &a, const QImage &b)
{
    if (a == b)
        return true;
    if (a.size() != b.size())
        return false;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            if (std::abs(qRed(p) - qRed(q)) > 8 || std::abs(qGreen(p) - qGreen(q)) > 8 || std::abs(qBlue(p) - qBlue(q)) > 8)
                return false;
        }
    return true;
}

// Objects 1 and 2 with interleaved path points: object 1 has points 1, 3 and 5, object 2
// points 2 and 4.
struct Paths : Rig {
    Paths()
    {
        doc.placeObject(1, {1175, 1175});
        doc.placeObject(2, {6175, 1175});
        for (int i = 0; i < 5; ++i) {
            const QPointF at(1000.0 + 500 * i, 3000);
            const auto pending = doc.beginPathPoint(std::int16_t(i % 2 ? 2 : 1), at);
            doc.commitPathPoint(*pending, {0, wholeTwips(at.x() - 175), wholeTwips(at.y() - 175), 8, 0, 0});
        }
    }
    const StratDocument &d() const { return doc.model().doc; }
    const clsMovimento &player(int slot) { return *doc.model().playback.findMovimento(slot); }
};

} // namespace

class TestDocument : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { qputenv("QUORVEL_HOME", testProgramFolder()); }
    void sceneMirrorsEveryEdit();
    void modifiedFollowsEdits_data();
    void modifiedFollowsEdits();
    void windowTitleMarksUnsavedChanges();
    void deletingAnObjectTakesItsPathAndLinks();
    void deletingATail_data();
    void deletingATail();
    void showHideFollowsTheFirstPoint();
    void links();
};

void TestDocument::sceneMirrorsEveryEdit()
{
    // Random edits, indexes in and out of range; after each the live scene equals one rebuilt
    // from the model. A saved strat is what a rebuild shows, so the scene never drifts.
    // The path layers' caches of all the views here fit, so none is dropped and drawn afresh.
    QPixmapCache::setCacheLimit(1 << 17);
    for (quint32 seed = 1; seed <= 20; ++seed) {
        QRandomGenerator rng(seed);
        Rig r;
        QGraphicsView live(&r.scene);
        auto index = [&](int count) { return std::int16_t(rng.bounded(-1, count + 3)); };
        auto where = [&] { return QPointF(rng.bounded(200, 11000), rng.bounded(300, 8500)); };
        const StratDocument &d = r.doc.model().doc;
        StratDocument earlier;
        for (int step = 0; step < 60; ++step) {
            if (step % 10 == 0)
                earlier = d;
            if (step == 0) {
                // Two paths closer than their pens' reach and a pixel for some seeds: redrawing
                // one redraws the other where its pen reaches in.
                for (const double y : {2000.0, 2000.0 + 20 + 2 * seed}) {
                    const auto p = r.doc.beginPathPoint(std::int16_t(r.doc.placeObject(1, {1000, y})), {8000, y});
                    r.doc.commitPathPoint(*p, {0, 7825, wholeTwips(y - 175), 8, 0, 0});
                }
                picture(live);
                r.doc.MudaCor(1, 0x00FF00);
            } else switch (rng.bounded(16)) {
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
            case 14: r.doc.showAllPaths(rng.bounded(3) != 0); break;
            case 15: rng.bounded(3) ? r.doc.load(earlier) : r.doc.clear(); break;
            }
            BoardScene rebuilt;
            rebuilt.rebuild(r.doc.model(), r.host);
            compareScenes(r.scene, rebuilt);
            // The paths are painted from a cache that each edit redraws where it touched.
            QGraphicsView fresh(&rebuilt);
            QVERIFY(samePicture(picture(live), picture(fresh)));
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
    for (const char *e : {"show/hide", "hide all paths", "out of range", "path point taken back", "same place"})
        QTest::newRow(e) << QString::fromLatin1(e) << false << false;
}

void TestDocument::modifiedFollowsEdits()
{
    QFETCH(QString, edit);
    Paths r;
    r.doc.placeText({500, 500}, QStringLiteral("A"));
    r.doc.placeMarker({700, 700}, QStringLiteral("B"));
    const StratDocument saved = r.d();
    r.doc.setModified(false); // as if just saved
    QSignalSpy modified(&r.doc, &BoardDocument::modifiedChanged);
    QSignalSpy length(&r.doc, &BoardDocument::stratLengthChanged);

    if (edit == u"place object") r.doc.placeObject(2, {4000, 4000});
    else if (edit == u"move object") r.doc.moveObject(1, {1200, 1200});
    else if (edit == u"delete object") r.doc.ApagaObjeto(1);
    else if (edit == u"path point") r.doc.commitPathPoint(*r.doc.beginPathPoint(2, {5000, 5000}), {0, 4825, 4825, 8, 0, 0});
    else if (edit == u"bomb") r.doc.SetBomb(std::int16_t(r.doc.placeObject(Bomb, {6000, 6000})), 189);
    else if (edit == u"move point") r.doc.movePathPoint(1, {2500, 1500});
    else if (edit == u"step") r.doc.editStep(3, 30, 3, 1, 4);
    else if (edit == u"delete movement") r.doc.ApagaMovimento(3, 1);
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
        r.doc.ApagaMovimento(3, 2);
        r.doc.EditaLink(1, QStringLiteral("x"));
        QVERIFY(!r.doc.beginPathPoint(5, {1, 1}));
        QVERIFY(!r.doc.SetBomb(0, 0));
    } else if (edit == u"same place") {
        r.doc.moveObject(1, {1000, 1000});
        r.doc.moveText(1, {500, 500});
        r.doc.setMarkerText(1, QStringLiteral("B"));
        const PathPoint pt = *r.doc.point(3);
        r.doc.movePathPoint(3, {pt.Left, pt.Top});
    } else if (edit == u"path point taken back") {
        r.doc.dropPathPoint(*r.doc.beginPathPoint(2, {5000, 5000}));
        QCOMPARE(r.doc.model().iPontos, std::int16_t(5));
    }
    QTEST(r.doc.isModified(), "modified");
    QCOMPARE(modified.count(), r.doc.isModified() ? 1 : 0);
    QTEST(!length.isEmpty(), "lengthChanges");
    if (!r.doc.isModified())
        QCOMPARE(r.d(), saved);

    // Opening and closing leave nothing unsaved.
    r.doc.load(saved);
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
    board.document().setTitle(QStringLiteral("Strat1"));
    QVERIFY(!board.isWindowModified());
    QVERIFY(board.windowTitle().contains(QStringLiteral("[*]")));
    board.document().placeObject(1, {1000, 1000});
    QVERIFY(board.isWindowModified());

    QTemporaryDir dir;
    board.document().setOverview(QStringLiteral("Harbor.jpg"));
    board.setSArquivo(dir.filePath(QStringLiteral("s.qvl")));
    QVERIFY(board.SalvaTatica());
    QVERIFY(!board.isWindowModified());
    board.document().placeText({1, 1}, QStringLiteral("A"));
    board.AbreTatica(dir.filePath(QStringLiteral("s.qvl")));
    QVERIFY(!board.isWindowModified());
    QCOMPARE(board.model().doc.iTxt, std::int16_t(0)); // the text placed after saving was not saved
}

void TestDocument::deletingAnObjectTakesItsPathAndLinks()
{
    Paths p;
    p.doc.AdicionaLink({1, 0}, QStringLiteral("https://example.org/a"));
    p.doc.AdicionaLink({1, 3}, QStringLiteral("https://example.org/a"));
    p.doc.ApagaObjeto(1);
    QCOMPARE(p.d().tObjetos[1], (tpObjeto{DeletedObject, 0, 0}));
    QCOMPARE(p.d().iObj, 2);
    QCOMPARE(p.scene.imgObj[1], nullptr);
    for (int n : {1, 3, 5})
        QVERIFY(!p.doc.point(n) && !p.scene.picM[n] && !p.scene.linha[n]);
    for (int n : {2, 4})
        QVERIFY(p.doc.point(n) && p.scene.picM[n] && p.scene.linha[n]);
    QCOMPARE(p.d().tMovimentos[1].iObj, 0);
    QCOMPARE(p.d().tMovimentos[1].itM, 0);
    QCOMPARE(p.d().tMovimentos[1].Passos.items.size(), std::size_t(1));
    QCOMPARE(p.player(1).itM(), 0);
    QCOMPARE(p.player(1).iObj, 0);
    QCOMPARE(p.d().tMovimentos[2].itM, 2);
    // Both links went with the object and its point; the records stay counted.
    QCOMPARE(p.d().iLinks, 2);
    QCOMPARE(p.d().tLinks[1], tpLink{});
    QCOMPARE(p.d().tLinks[2], tpLink{});
    // The deleted object gets no new path.
    QVERIFY(!p.doc.beginPathPoint(1, {7000, 7000}));

    // Texts and markers keep their place in the records as deleted entries.
    p.doc.placeText({2000, 2000}, QStringLiteral("t"));
    p.doc.placeMarker({5000, 2000}, QStringLiteral("m"));
    p.doc.ApagaTexto(1);
    p.doc.ApagaMarker(1);
    p.doc.ApagaTexto(7);
    QCOMPARE(p.d().tTextos[1], deletedText());
    QCOMPARE(p.d().tMarkers[1], deletedText());
    QCOMPARE(p.d().iTxt, 1);
    QCOMPARE(p.d().iMkr, 1);
    QCOMPARE(p.scene.lblTexto[1], nullptr);
    QCOMPARE(p.scene.imgMarker[1], nullptr);
}

void TestDocument::deletingATail_data()
{
    QTest::addColumn<int>("fromPoint");
    QTest::addColumn<int>("stepsLeft");
    QTest::newRow("from the second point") << 3 << 1;
    QTest::newRow("from the first point") << 1 << 0;
}

void TestDocument::deletingATail()
{
    QFETCH(int, fromPoint);
    QFETCH(int, stepsLeft);
    Paths p;
    p.doc.ApagaMovimento(4, 2);
    QCOMPARE(p.d().tMovimentos[2].itM, 1);
    p.doc.AdicionaLink({1, 5}, QStringLiteral("https://example.org/p"));
    p.doc.ApagaMovimento(2, 1); // a point of another path: nothing
    QCOMPARE(p.d().tMovimentos[1].itM, 3);

    p.doc.ApagaMovimento(std::int16_t(fromPoint), 1);
    QCOMPARE(p.d().tMovimentos[1].itM, stepsLeft);
    QCOMPARE(p.d().tMovimentos[1].Passos.upperBound(), stepsLeft);
    QCOMPARE(p.player(1).itM(), stepsLeft);
    QCOMPARE(p.d().tMovimentos[1].iObj, 1); // the path stays the object's
    QVERIFY(p.doc.point(2));
    // The removed point's link went with it: a new point in its place starts without one.
    QCOMPARE(p.d().tLinks[1], tpLink{});
    const auto pending = p.doc.beginPathPoint(1, {8000, 8000});
    QVERIFY(p.doc.commitPathPoint(*pending, {0, 7825, 7825, 8, 0, 0}));
    QCOMPARE(p.doc.model().iPassoPonto[std::size_t(pending->n)], stepsLeft + 1);
    QCOMPARE(p.doc.ProcuraLink({1, std::int16_t(pending->n)}), 0);
}

void TestDocument::showHideFollowsTheFirstPoint()
{
    Paths p;
    auto shown = [&](int n) { return p.scene.picM[n]->isVisible() && p.scene.linha[n]->isVisible(); };
    p.doc.ShowHide(1, false);
    QVERIFY(!shown(1) && !shown(3) && shown(2));
    // A point added to the hidden path shows. The first point decides the direction for the
    // whole path, whatever the others show.
    const auto added = p.doc.beginPathPoint(1, {4000, 4000});
    QVERIFY(p.doc.commitPathPoint(*added, {0, 3825, 3825, 8, 0, 0}));
    QVERIFY(shown(added->n));
    p.doc.ShowHide(1, false);
    QVERIFY(shown(1) && shown(3) && shown(added->n) && shown(2));
    p.doc.ShowHide(1, false);
    p.doc.ShowHide(1, true);
    QVERIFY(shown(1) && shown(3));
}

void TestDocument::links()
{
    Paths p;
    QCOMPARE(p.doc.ProcuraLink({1, 0}), 0);
    p.doc.AdicionaLink({1, 0}, QStringLiteral("https://example.org/obj"));
    QCOMPARE(p.d().tLinks[1], (tpLink{QStringLiteral("https://example.org/obj"), 1, 0, 0}));
    QCOMPARE(p.doc.ProcuraLink({1, 0}), 1);
    p.doc.EditaLink(1, QStringLiteral("https://example.org/new"));
    QCOMPARE(p.d().iLinks, 1);
    QCOMPARE(p.doc.link(1)->sLink, QStringLiteral("https://example.org/new"));

    p.doc.AdicionaLink({1, 3}, QStringLiteral("second point"));
    QCOMPARE(p.d().tLinks[2], (tpLink{QStringLiteral("second point"), 0, 1, 2}));
    QCOMPARE(p.doc.ProcuraLink({1, 1}), 0); // the other point of the path has none
    QCOMPARE(p.doc.ProcuraLink({1, 3}), 2);
    p.doc.ApagaLink({1, 3});
    QCOMPARE(p.d().tLinks[2], tpLink{});
    QCOMPARE(p.d().iLinks, 2);
    // Outside the records, or owned by nothing: nothing.
    p.doc.EditaLink(9, QStringLiteral("x"));
    p.doc.AdicionaLink({7, 0}, QStringLiteral("x"));
    p.doc.AdicionaLink({1, 9}, QStringLiteral("x"));
    QCOMPARE(p.d().iLinks, 2);
}

QTEST_MAIN(TestDocument)
#include "tst_document.moc"
