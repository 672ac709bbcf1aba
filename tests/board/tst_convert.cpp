// Converting strats of the older format: read into a board, saved in the current format under
// the chosen name, the board closed afterwards.
#include "TestFolders.h"
#include "StratSamples.h"
#include "TestHost.h"
#include "board/BoardScene.h"
#include "board/frmMapa.h"
#include "document/StratFile.h"
#include "ScriptedPrompts.h"
#include "board/ProgramState.h"

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QGraphicsRectItem>
#include <QMenu>
#include <QTemporaryDir>
#include <QtTest>

using namespace quorvel;
using samples::movement;

namespace {

const QString kConverted = QStringLiteral("Your old .qvl has been converted to the updated format.");


// One soldier with a three-step path, in the older format.
StratDocument oldStrat()
{
    StratDocument d;
    d.sOverview = QStringLiteral("Harbor.jpg");
    d.sNomeTatica = QStringLiteral("Old rush");
    d.iObj = 2;
    d.tObjetos = {{}, {3, 1000, 1200}, {12, 3000, 3000}};
    d.iTxt = 1;
    d.tTextos = {{}, {400, 500, QStringLiteral("go A")}};
    d.iMovs = 1;
    d.tMovimentos = {{}, movement(1, {{10, 2000, 1200, 8, 0, 0}, {0, 2000, 2500, 3, 0, 0}, {63, 4000, 2500, 8, 0, 0}})};
    d.iCores = 1;
    d.lCorMov = {0, 255};
    d.iLinks = 0;
    d.tLinks = {{}};
    return d;
}

StratDocument currentStrat()
{
    StratDocument d = oldStrat();
    makeSavePlaceholders(d);
    return d;
}

QString writeBytes(QTemporaryDir &dir, const QString &name, const QByteArray &bytes)
{
    const QString path = dir.filePath(name);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// Prompts that let the test look at the board while the save dialog shows; the dialog is
// cancelled.
class PeekPrompts final : public Prompts {
public:
    PeekPrompts() { Prompts::install(this); }
    ~PeekPrompts() override { Prompts::install(nullptr); }
    std::function<void()> onSave;
    int saves = 0;
    QStringList texts;
    MessageAnswer message(QWidget *, const QString &text, const QString &, MessageIcon, MessageButtons) override
    {
        texts << text;
        return MessageAnswer::Cancel;
    }
    std::optional<QString> input(QWidget *, const QString &, const QString &, const QString &, int) override
    {
        return {};
    }
    QString openFile(const FileDialogRequest &) override { return {}; }
    QString saveFile(const FileDialogRequest &) override
    {
        ++saves;
        if (onSave)
            onSave();
        return {};
    }
    int exec(QDialog &) override { return 0; }
};

// A fresh board taken for a conversion, as the Tools menu takes one.
struct Converting {
    ProgramState state;
    TestHost host;
    frmMapa board{state, host};
    Converting()
    {
        state.fillPalette();
        board.Form_Load();
        board.setImI(1);
    }
    void convert(const QString &old) { board.OldAbreTatica(old); }
};

} // namespace

class TestConvert : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void convertsStepsAndSaves();
    void boardWithoutMovements();
    void oldPathOffsets();
    void failures_data();
    void failures();

private:
    QTemporaryDir config_;
    QTemporaryDir dir_;
};

void TestConvert::initTestCase()
{
    qputenv("QUORVEL_HOME", testProgramFolder());
    qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
}

void TestConvert::convertsStepsAndSaves()
{
    ScriptedPrompts prompts;
    Converting w;
    const StratDocument source = oldStrat();
    const QString old = writeBytes(dir_, QStringLiteral("old.qvl"), samples::oldFormatBytes(source));
    const QString target = dir_.filePath(QStringLiteral("new"));
    prompts.addFile(target);
    w.convert(old);
    QCOMPARE(prompts.messageTexts(), QStringList{kConverted});

    StratDocument back;
    const StratReadResult r = readStratFile(target + QStringLiteral(".qvl"), back);
    QVERIFY2(r.ok, qPrintable(r.error));
    QVERIFY(r.hadMarkers);
    QCOMPARE(back.iMkr, 1); // only the placeholder
    QVERIFY(isDeletedText(back.tMarkers[1]));
    QCOMPARE(back.iMovs, 1);
    const tpMovimento &m = back.tMovimentos[1];
    QCOMPARE(m.itM, 3);
    QCOMPARE(m.Passos.lowerBound, 0);
    QCOMPARE(m.Passos.upperBound(), 3);
    QCOMPARE(m.Passos.at(0), tpPasso{});
    for (int p = 1; p <= 3; ++p) {
        const tpPasso &was = source.tMovimentos[1].Passos.at(p);
        QCOMPARE(m.Passos.at(p), (tpPasso{was.iIni, was.X, was.Y, was.sVel, 0, 0}));
    }
    QCOMPARE(back.tObjetos, source.tObjetos);
    QCOMPARE(back.tTextos, source.tTextos);
    QCOMPARE(back.sNomeTatica.trimmed(), QStringLiteral("Old rush"));
    QCOMPARE(w.board.imI(), 0);
}

void TestConvert::boardWithoutMovements()
{
    ScriptedPrompts prompts;
    Converting w;
    StratDocument source = oldStrat();
    source.iMovs = 0;
    source.tMovimentos = {{}};
    source.iCores = 0;
    source.lCorMov = {0};
    makeSavePlaceholders(source); // the placeholder movement an older save wrote
    const QString old = writeBytes(dir_, QStringLiteral("nomoves-old.qvl"), samples::oldFormatBytes(source));
    const QString target = dir_.filePath(QStringLiteral("nomoves-new.qvl"));
    prompts.addFile(target);
    w.convert(old);
    StratDocument back;
    QVERIFY(readStratFile(target, back).ok);
    QVERIFY(isMovementsPlaceholder(back));
    QCOMPARE(prompts.messageTexts(), QStringList{kConverted});
}

void TestConvert::oldPathOffsets()
{
    // The board behind the save dialog draws the path as the older release did, whatever the
    // object's type; cancelling the dialog writes nothing, says nothing and closes the board.
    PeekPrompts prompts;
    Converting w;
    const QString old = writeBytes(dir_, QStringLiteral("offsets-old.qvl"), samples::oldFormatBytes(oldStrat()));
    frmMapa *b = &w.board;
    QList<QPointF> points;
    QList<QLineF> lines;
    prompts.onSave = [&] {
        const BoardScene &scene = *b->scene();
        for (std::size_t n = 1; n < scene.picM.size(); ++n) {
            points << scene.picM[n]->pos();
            lines << scene.linha[n]->line();
        }
    };
    b->OldAbreTatica(old);
    QCOMPARE(points, (QList<QPointF>{{2025, 1225}, {2025, 2525}, {4025, 2525}}));
    QCOMPARE(lines, (QList<QLineF>{{1075, 1275, 2075, 1275}, {2075, 1275, 2075, 2575}, {2075, 2575, 4075, 2575}}));
    QCOMPARE(prompts.saves, 1);
    QVERIFY(prompts.texts.isEmpty());
    QCOMPARE(b->imI(), 0);
}

void TestConvert::failures_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("overviewAnswer");
    QTest::addColumn<QStringList>("messages");

    const QByteArray good = samples::oldFormatBytes(oldStrat());
    QTest::newRow("cut short") << good.left(good.size() - 30) << QString()
                               << QStringList{QStringLiteral("An error has occured.")};
    QTest::newRow("empty file") << QByteArray() << QString() << QStringList{QStringLiteral("An error has occured.")};
    QTest::newRow("garbage") << QByteArray(300, '\xff') << QString() << QStringList{QStringLiteral("An error has occured.")};
    QTest::newRow("already the current format")
        << writeStrat(currentStrat()) << QString() << QStringList{QStringLiteral("An error has occured.")};

    StratDocument missing = oldStrat();
    missing.sOverview = QStringLiteral("Nowhere.jpg");
    QTest::newRow("missing overview, cancelled")
        << samples::oldFormatBytes(missing) << QString()
        << QStringList{QStringLiteral("Nowhere.jpg could not be found. Please select a new overview image."),
                       QStringLiteral("Cannot open the strat file without a map overview.")};
}

void TestConvert::failures()
{
    QFETCH(QByteArray, bytes);
    ScriptedPrompts prompts;
    Converting w;
    const QString old = writeBytes(dir_, QStringLiteral("bad.qvl"), bytes);
    w.convert(old);
    QTEST(prompts.messageTexts(), "messages");
    for (const ShownMessage &m : prompts.messages)
        if (m.text == QLatin1String("An error has occured."))
            QVERIFY2(m.details.startsWith(QStringLiteral("bad.qvl: ")) && m.details.size() > 9, qPrintable(m.details));
    // A strat that needs no converting says so, and where it opens.
    if (QByteArray(QTest::currentDataTag()) == "already the current format")
        QCOMPARE(prompts.messages.first().details,
                 QStringLiteral("bad.qvl: this strat is already in the current format; open it with Strat > Open."));
    QVERIFY(prompts.fileDialogs.isEmpty()); // no save dialog
    QCOMPARE(w.board.imI(), 0);       // no half-filled board left open
}

QTEST_MAIN(TestConvert)
#include "tst_convert.moc"
