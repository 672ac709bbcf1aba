// The generated program folder: every icon the board and main window load, at the sizes
// they are laid out by; the overview maps; and the first-run example strat.
#include "document/StratFile.h"

#include <QDir>
#include <QImage>
#include <QtTest>

using namespace quorvel;

class TestArt : public QObject
{
    Q_OBJECT

    static QString dir(const QString &rel) { return QStringLiteral(QUORVEL_PROGRAM_DIR "/") + rel; }

private slots:
    void iconSets_data();
    void iconSets();
    void singlePictures_data();
    void singlePictures();
    void overviews_data();
    void overviews();
    void exampleStrat();
};

// Each icon set, the element range it holds and the size of each element.
void TestArt::iconSets_data()
{
    QTest::addColumn<QString>("set");
    QTest::addColumn<QList<QSize>>("sizes"); // size of element 0, 1, ...

    const QSize team(26, 26), grenade(10, 14), bomb(14, 14), small(10, 10), large(14, 14);
    QTest::newRow("picObj") << "picObj" << (QList<QSize>(10, team) << grenade << grenade << grenade << bomb);
    QTest::newRow("picObjSM") << "picObjSM"
                              << (QList<QSize>(10, small) << grenade << grenade << grenade << bomb
                                                          << QList<QSize>(8, small) << QList<QSize>(3, grenade));
    QTest::newRow("picObjLG") << "picObjLG" << (QList<QSize>(10, large) << grenade << grenade << grenade);
    for (const char *level : {"", "SM", "LG"})
        for (const char *f : {"NE", "E", "SE", "S", "SW", "W", "NW", "N"}) {
            const QString set = QStringLiteral("picObj") + QLatin1String(level) + QLatin1String(f);
            QTest::newRow(qPrintable(set)) << set << QList<QSize>(10, team);
        }
}

void TestArt::iconSets()
{
    QFETCH(QString, set);
    QFETCH(QList<QSize>, sizes);
    const QDir folder(dir(QStringLiteral("Bin/Icons/") + set));
    for (int i = 0; i < sizes.size(); ++i) {
        const QImage img(folder.filePath(QString::number(i) + QStringLiteral(".png")));
        QVERIFY2(!img.isNull(), qPrintable(QStringLiteral("%1/%2 missing").arg(set).arg(i)));
        QCOMPARE(img.size(), sizes.at(i));
        QVERIFY(img.hasAlphaChannel());
        QCOMPARE(img.pixelColor(0, 0).alpha(), 0); // corners stay see-through on the map
    }
    QCOMPARE(folder.entryList(QDir::Files).size(), sizes.size());
}

void TestArt::singlePictures_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("size");
    QTest::newRow("marker") << "Bin/Icons/picMarker.png" << QSize(12, 18);
    for (const char *face : {"picplay", "picstop", "picPlayEdit", "picStopEdit", "picPause", "picSlow2", "picReverse2"})
        QTest::newRow(face) << QStringLiteral("Bin/Icons/Controls/%1.png").arg(QLatin1String(face)) << QSize(19, 15);
    QTest::newRow("hand tool") << "Bin/Icons/Toolbar/imgMove.png" << QSize(26, 26);
    QTest::newRow("chat") << "Bin/Icons/Toolbar/imgChat.png" << QSize(26, 26);
    QTest::newRow("placing cursor") << "Bin/Icons/imgIco/0.png" << QSize(32, 32);
    QTest::newRow("hand cursor") << "Bin/Icons/imgIco/1.png" << QSize(32, 32);
}

void TestArt::singlePictures()
{
    QFETCH(QString, file);
    QFETCH(QSize, size);
    const QImage img(dir(file));
    QVERIFY2(!img.isNull(), qPrintable(file));
    QCOMPARE(img.size(), size);
}

// Both editions ship maps, so both lists of the overview dialogs have some.
void TestArt::overviews_data()
{
    QTest::addColumn<QString>("pattern");
    QTest::newRow("new edition") << "*.jpg";
    QTest::newRow("classic edition") << "*.src";
}

void TestArt::overviews()
{
    QFETCH(QString, pattern);
    const QDir folder(dir(QStringLiteral("Overviews")));
    const QStringList maps = folder.entryList({pattern}, QDir::Files);
    QVERIFY(maps.size() >= 3);
    for (const QString &name : maps) {
        QVERIFY2(name.size() <= 16, qPrintable(name)); // longer names are never listed
        const QImage img(folder.filePath(name));
        QVERIFY2(!img.isNull(), qPrintable(name));
        QCOMPARE(img.size(), QSize(800, 600));
    }
}

void TestArt::exampleStrat()
{
    StratDocument doc;
    const StratReadResult r = readStratFile(dir(QStringLiteral("Strats/Examples/example.qvl")), doc);
    QVERIFY2(r.ok, qPrintable(r.error));
    QVERIFY(r.hadMarkers);
    QVERIFY(QFileInfo::exists(dir(QStringLiteral("Overviews/")) + doc.sOverview.trimmed()));
    QVERIFY(!doc.sNomeTatica.trimmed().isEmpty());
    QVERIFY(doc.iObj >= 10);
    QVERIFY(!isTextsPlaceholder(doc.iTxt, doc.tTextos));
    QVERIFY(!isTextsPlaceholder(doc.iMkr, doc.tMarkers));
    QVERIFY(!isMovementsPlaceholder(doc));
    QVERIFY(doc.iLinks >= 1);

    bool grenade = false, bomb = false;
    for (int i = 1; i <= doc.iObj; ++i) {
        const int t = doc.tObjetos[std::size_t(i)].Tipo;
        QVERIFY(t >= 0 && t <= 13);
        grenade |= t >= HeGrenade && t <= SmokeGrenade;
        bomb |= t == Bomb;
    }
    QVERIFY(grenade && bomb);

    // Every path walks a live object, inside the map, with element 0 left zero.
    const QRect map(0, 0, 800 * 15, 600 * 15);
    for (int m = 1; m <= doc.iMovs; ++m) {
        const tpMovimento &mv = doc.tMovimentos[std::size_t(m)];
        QVERIFY(mv.iObj >= 1 && mv.iObj <= doc.iObj);
        QVERIFY(mv.itM >= 1);
        QCOMPARE(mv.Passos.at(0), tpPasso{});
        for (int s = 1; s <= mv.itM; ++s)
            QVERIFY(map.contains(mv.Passos.at(s).X, mv.Passos.at(s).Y));
    }
    for (int l = 1; l <= doc.iLinks; ++l)
        QVERIFY(doc.tLinks[std::size_t(l)].sLink.startsWith(QLatin1String("https://")));
}

QTEST_GUILESS_MAIN(TestArt)
#include "tst_art.moc"
