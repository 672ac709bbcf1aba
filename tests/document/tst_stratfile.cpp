#include "StratSamples.h"
#include "TestTools.h"
#include "common/CodePage.h"
#include "common/FileHelpers.h"
#include "document/StratFile.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <cstring>
#include <limits>

#include <sys/resource.h>
#include <sys/stat.h>

using namespace quorvel;

namespace {

StratDocument emptyBoard()
{
    StratDocument d; // a board nothing was placed on, never saved or loaded
    d.sOverview = QStringLiteral("Harbor.jpg");
    d.sNomeTatica = QStringLiteral("Empty");
    return d;
}

QByteArray savedBytes(StratDocument &d)
{
    makeSavePlaceholders(d);
    QString error;
    const QByteArray b = writeStrat(d, StratSections::All, &error);
    if (!error.isEmpty())
        qWarning() << error;
    return b;
}

// The records as a reader gives them back: header fields at their stored width, and every
// section holding its records 0 to n.
StratDocument asStored(StratDocument d)
{
    d.sOverview = fromAnsi(toAnsi(d.sOverview).left(16).leftJustified(16, ' '));
    d.sNomeTatica = fromAnsi(toAnsi(d.sNomeTatica).left(32).leftJustified(32, ' '));
    d.tObjetos.resize(d.iObj + 1);
    d.tTextos.resize(d.iTxt + 1);
    d.lCorMov.resize(d.iCores + 1);
    d.tMovimentos.resize(d.iMovs + 1);
    d.tLinks.resize(d.iLinks + 1);
    d.tMarkers.resize(d.iMkr + 1);
    return d;
}

QByteArray le16(std::int16_t v) { return QByteArray(reinterpret_cast<const char *>(&v), 2); }
QByteArray le32(std::int32_t v) { return QByteArray(reinterpret_cast<const char *>(&v), 4); }
QByteArray f32(float v) { return QByteArray(reinterpret_cast<const char *>(&v), 4); }

// A file holding the bytes; it stays until the test's folder goes.
QString fileOf(const QTemporaryDir &dir, const QByteArray &bytes)
{
    const QString path = dir.filePath(QStringLiteral("strat.qvl"));
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(bytes) == bytes.size() ? path : QString();
}

// Reading a file gives what reading its bytes in memory gives, failures and offsets alike.
bool readsAsItsBytes(const QString &path, const QByteArray &bytes)
{
    StratDocument inMemory, fromFile;
    const StratReadResult a = readStrat(bytes, inMemory), b = readStratFile(path, fromFile);
    OldStratDocument oldInMemory, oldFromFile;
    const StratReadResult c = readOldStrat(bytes, oldInMemory), d = readOldStratFile(path, oldFromFile);
    return a.ok == b.ok && a.error == b.error && a.offset == b.offset && inMemory == fromFile && c.ok == d.ok
           && c.error == d.error && c.offset == d.offset && oldInMemory.strat == oldFromFile.strat;
}

// The kernel's count of the bytes this process has read so far, from any file.
qint64 bytesReadByThisProcess()
{
    QFile io(QStringLiteral("/proc/self/io"));
    if (io.open(QIODevice::ReadOnly))
        for (const QByteArray &line : io.readAll().split('\n'))
            if (line.startsWith("rchar: "))
                return line.mid(7).toLongLong();
    return -1;
}

qint64 peakMemoryKiB()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

// The peak starts again from what the process holds (where the kernel allows it): the large
// strats of earlier tests must not hide one.
void restartPeakMemory()
{
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly))
        refs.write("5");
}

} // namespace

class TestStratFile : public QObject {
    Q_OBJECT
private slots:
    void emptyBoardIs188Bytes();
    void headerFieldsAreCutAndPadded_data();
    void headerFieldsAreCutAndPadded();
    void recordSizes();
    void placeholdersAreMadeOnlyWhereMissing();
    void roundTripIsByteIdentical_data();
    void roundTripIsByteIdentical();
    void autoSaveEndsBeforeMarkers();
    void oldFormatReadsLikeItsCurrentTwin();
    void oldFormatPlaceholderAndBounds();
    void damagedFilesAreRefused_data();
    void damagedFilesAreRefused();
    void truncationSweep();
    void hugeFileIsReadOnlyToItsLastRecord_data();
    void hugeFileIsReadOnlyToItsLastRecord();
    void fileChangedWhileReadIsRefused_data();
    void fileChangedWhileReadIsRefused();
    void writerRefusesWhatCannotBeReadBack();
    void smallerStratOverLargerFile();
    void failedWriteKeepsTheOldFile();
    void missingFileIsAnError();
    void fuzzRegressionFilesAreHandled();
};

void TestStratFile::emptyBoardIs188Bytes()
{
    StratDocument d = emptyBoard();
    const QByteArray bytes = savedBytes(d);
    QCOMPARE(bytes.size(), 188);

    QByteArray expected;
    expected += QByteArray("Harbor.jpg      ");
    expected += QByteArray("Empty") + QByteArray(27, ' ');
    expected += le16(0) + le16(-1) + f32(0) + f32(0);                           // objects: 12
    expected += le16(1) + f32(0) + f32(0) + le16(0) + f32(0) + f32(0) + le16(1) + "0"; // texts: 23
    expected += le16(1) + le32(0) + le32(0);                                      // colours: 10
    expected += le16(1) + le16(0) + le16(0) + le16(0);                            // movements: count, record 0
    expected += le16(9999) + le16(1) + le16(1) + le32(2) + le32(0) + QByteArray(40, '\0');
    expected += le16(0) + le16(0) + le16(0) + le16(0) + le16(0);                  // links: 10
    expected += le16(1) + f32(0) + f32(0) + le16(0) + f32(0) + f32(0) + le16(1) + "0"; // markers: 23
    QCOMPARE(bytes.toHex(), expected.toHex());

    QCOMPARE(d.iTxt, 1);
    QCOMPARE(d.iMkr, 1);
    QCOMPARE(d.iMovs, 1);
    QCOMPARE(d.iCores, 1);
    QCOMPARE(d.iObj, 0);
    // A second save of the same board makes the same file.
    QCOMPARE(savedBytes(d), bytes);

    // Reading it back gives the placeholders as records.
    StratDocument back;
    QVERIFY(readStrat(bytes, back));
    QVERIFY(isTextsPlaceholder(back.iTxt, back.tTextos));
    QVERIFY(isTextsPlaceholder(back.iMkr, back.tMarkers));
    QVERIFY(isMovementsPlaceholder(back));
    QCOMPARE(back.tObjetos.size(), std::size_t(1));
    QCOMPARE(back.tObjetos[0].Tipo, DeletedObject);
}

void TestStratFile::headerFieldsAreCutAndPadded_data()
{
    QTest::addColumn<QString>("title");
    QTest::addColumn<QByteArray>("stored");
    QTest::newRow("40 characters") << QString(40, u'x').replace(32, 8, QStringLiteral("yyyyyyyy")) << QByteArray(32, 'x');
    QTest::newRow("5 characters") << QStringLiteral("Rush!") << QByteArray("Rush!") + QByteArray(27, ' ');
    QTest::newRow("accented") << QString::fromUtf8("Tática") << QByteArray("T\xe1tica") + QByteArray(26, ' ');
    QTest::newRow("empty") << QString() << QByteArray(32, ' ');
}

void TestStratFile::headerFieldsAreCutAndPadded()
{
    QFETCH(QString, title);
    QFETCH(QByteArray, stored);
    StratDocument d = emptyBoard();
    d.sNomeTatica = title;
    d.sOverview = QStringLiteral("AVeryLongOverviewName.jpg");
    const QByteArray bytes = savedBytes(d);
    QCOMPARE(bytes.mid(0, 16), QByteArray("AVeryLongOvervie"));
    QCOMPARE(bytes.mid(16, 32), stored);
}

void TestStratFile::recordSizes()
{
    // A movement of 3 steps: 2 + 2 + 10 + 4 x 20 = 94 bytes; a two-character text: 12 bytes.
    StratDocument d = emptyBoard();
    makeSavePlaceholders(d);
    const int base = writeStrat(d).size();

    StratDocument withMove = d;
    withMove.iMovs = 2;
    withMove.iCores = 2;
    withMove.lCorMov.push_back(0xFF);
    tpMovimento m;
    m.iObj = 1;
    m.itM = 3;
    m.Passos = StepArray<tpPasso>::zeroTo(3);
    withMove.tMovimentos.push_back(m);
    QCOMPARE(writeStrat(withMove).size() - base, 94 + 4);

    StratDocument withText = d;
    withText.iTxt = 2;
    withText.tTextos.push_back({10, 20, QStringLiteral("ab")});
    const QByteArray bytes = writeStrat(withText);
    QCOMPARE(bytes.size() - base, 12);
    const int at = 48 + 12 + 2 + 10 + 11; // header, objects, text count, records 0 and 1
    QCOMPARE(bytes.mid(at, 12).toHex(), (f32(10) + f32(20) + le16(2) + "ab").toHex());
}

void TestStratFile::placeholdersAreMadeOnlyWhereMissing()
{
    StratDocument d = emptyBoard();
    d.iTxt = 2;
    d.tTextos = {{}, {1, 2, QStringLiteral("one")}, {3, 4, QStringLiteral("two")}};
    const auto texts = d.tTextos;
    makeSavePlaceholders(d);
    QCOMPARE(d.tTextos, texts);
    QCOMPARE(d.iTxt, 2);
    QVERIFY(isTextsPlaceholder(d.iMkr, d.tMarkers));
    QVERIFY(isMovementsPlaceholder(d));
    QCOMPARE(d.tObjetos.size(), std::size_t(1));

    // An auto-save makes no marker placeholder.
    StratDocument a = emptyBoard();
    makeSavePlaceholders(a, false);
    QCOMPARE(a.iMkr, 0);
    QCOMPARE(a.iTxt, 1);
    QCOMPARE(writeStrat(a, StratSections::WithoutMarkers).size(), 165);
}

void TestStratFile::roundTripIsByteIdentical_data()
{
    QTest::addColumn<StratDocument>("doc");
    QTest::newRow("realistic") << samples::realisticStrat();
    QTest::newRow("large") << samples::largeStrat(300, 50, 20, 30);
    QTest::newRow("many file pieces") << samples::largeStrat(2000, 1000, 100, 300);
    QTest::newRow("the longest path") << samples::largeStrat(1, 0, 1, 32767);
    StratDocument e = emptyBoard();
    makeSavePlaceholders(e);
    QTest::newRow("empty board") << e;
    StratDocument odd = samples::realisticStrat();
    odd.tMovimentos[2].Passos.lowerBound = 5; // a step array that does not start at 0
    odd.tMovimentos[1].Passos.items.resize(32768); // longer than its steps, as a converted path can be
    odd.tMovimentos[0].Passos = StepArray<tpPasso>::zeroTo(-1); // dimensioned, no elements
    odd.tMovimentos[0].Passos.dimensioned = true;
    odd.tTextos[1].Texto = QString(kMaxTextBytes, u'é');
    odd.tObjetos[1].X = -0.0f;
    QTest::newRow("unusual but valid") << odd;
}

void TestStratFile::roundTripIsByteIdentical()
{
    QFETCH(StratDocument, doc);
    QString error;
    const QByteArray first = writeStrat(doc, StratSections::All, &error);
    QVERIFY2(error.isEmpty(), qPrintable(error));
    StratDocument back;
    const auto result = readStrat(first, back);
    QVERIFY2(result.ok, qPrintable(result.error));
    QVERIFY(result.hadMarkers);
    QCOMPARE(result.offset, first.size());
    QVERIFY(back == asStored(doc));
    QCOMPARE(writeStrat(back), first);
    QTemporaryDir dir;
    QVERIFY(readsAsItsBytes(fileOf(dir, first), first));
}

void TestStratFile::autoSaveEndsBeforeMarkers()
{
    const StratDocument doc = samples::realisticStrat();
    const QByteArray backup = writeStrat(doc, StratSections::WithoutMarkers);
    StratDocument back;
    const auto result = readStrat(backup, back);
    QVERIFY(result.ok);
    QVERIFY(!result.hadMarkers);
    QCOMPARE(back.iMkr, 0);
    QCOMPARE(back.tMarkers.size(), std::size_t(1));
    back.iMkr = doc.iMkr;
    back.tMarkers = doc.tMarkers;
    QVERIFY(back == asStored(doc));
}

void TestStratFile::oldFormatReadsLikeItsCurrentTwin()
{
    StratDocument current = samples::realisticStrat();
    current.iMkr = 0;
    current.tMarkers.assign(1, tpTexto{});
    OldStratDocument old;
    const QByteArray bytes = samples::oldFormatBytes(current) + QByteArray("trailing bytes are never read");
    const auto result = readOldStrat(bytes, old);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(old.strat.tMovimentos.size(), std::size_t(current.iMovs) + 1);
    QCOMPARE(old.strat.tMovimentos[1], tpMovimento{}); // all zero until converted
    QCOMPARE(old.MovimentosAntigos[1].Passos.at(2), (tpPassoAntigo{63, 2600, 2400, 3}));

    convertOldMovements(old);
    // The twin, with level and facing gone.
    for (tpMovimento &m : current.tMovimentos)
        for (tpPasso &s : m.Passos.items)
            s.sLvl = s.sDir = 0;
    current.tMovimentos[0] = tpMovimento{}; // record 0 of the old section had no array
    QVERIFY(old.strat == asStored(current));

    // Saved in the current format: the movement keeps its three steps, 20 bytes each.
    makeSavePlaceholders(old.strat);
    StratDocument reread;
    QVERIFY(readStrat(writeStrat(old.strat), reread));
    QCOMPARE(reread.tMovimentos[1].itM, 3);
    QCOMPARE(reread.tMovimentos[1].Passos.items.size(), std::size_t(4));
    QCOMPARE(reread.tMovimentos[1].Passos.at(3), (tpPasso{10, 3000, 2000, 8, 0, 0}));
    QVERIFY(isTextsPlaceholder(reread.iMkr, reread.tMarkers));
}

void TestStratFile::oldFormatPlaceholderAndBounds()
{
    // An old strat without movements carries the movement placeholder; after conversion it
    // is still recognised.
    StratDocument empty = emptyBoard();
    makeSavePlaceholders(empty, false);
    OldStratDocument old;
    QVERIFY(readOldStrat(samples::oldFormatBytes(empty), old));
    convertOldMovements(old);
    QVERIFY(isMovementsPlaceholder(old.strat));
    QCOMPARE(old.strat.tMovimentos[1].Passos.items.size(), std::size_t(2));

    // An old step array from 1 to 4 converts to elements 0 to 4 with element 0 zero.
    StratDocument odd = samples::realisticStrat();
    odd.tMovimentos[1].Passos.lowerBound = 1;
    OldStratDocument o2;
    QVERIFY(readOldStrat(samples::oldFormatBytes(odd), o2));
    convertOldMovements(o2);
    const auto &steps = o2.strat.tMovimentos[1].Passos;
    QCOMPARE(steps.lowerBound, 0);
    QCOMPARE(steps.items.size(), std::size_t(5));
    QCOMPARE(steps.at(0), tpPasso{});
    QCOMPARE(steps.at(2).X, 2000);

    // An old step array that starts far out is refused, not converted into a huge array.
    for (const int lower : {1 << 30, 3, -1}) {
        StratDocument huge = samples::realisticStrat();
        huge.tMovimentos[2].Passos.lowerBound = lower;
        OldStratDocument o3;
        const auto refused = readOldStrat(samples::oldFormatBytes(huge), o3);
        QVERIFY(!refused.ok);
        QVERIFY(refused.error.contains(QLatin1String("step numbers")));
    }

    // A current-format file handed to the old reader is either refused or read without a
    // crash; what it must never do is take the caller's records.
    OldStratDocument untouched;
    untouched.strat.sNomeTatica = QStringLiteral("keep");
    const QByteArray current = writeStrat(samples::realisticStrat());
    if (!readOldStrat(current, untouched))
        QCOMPARE(untouched.strat.sNomeTatica, QStringLiteral("keep"));
}

void TestStratFile::damagedFilesAreRefused_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("why");

    StratDocument base = emptyBoard();
    makeSavePlaceholders(base);
    const QByteArray good = writeStrat(base);
    const int objects = 48, texts = 60, colours = 83, movements = 93;

    auto patched = [&](int at, const QByteArray &with) {
        QByteArray b = good;
        b.replace(at, with.size(), with);
        return b;
    };
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    QTest::newRow("negative object count") << patched(objects, le16(-1)) << "negative";
    QTest::newRow("object count beyond the file") << patched(objects, le16(32767)) << "exceeds";
    QTest::newRow("NaN object position") << patched(objects + 4, f32(nan)) << "finite";
    QTest::newRow("negative text count") << patched(texts, le16(-2)) << "negative";
    QTest::newRow("text length beyond the file") << patched(texts + 10, le16(-1)) << "ends inside";
    QTest::newRow("infinite text position") << patched(texts + 2, f32(inf)) << "finite";
    QTest::newRow("colour count beyond the file") << patched(colours, le16(5000)) << "exceeds";
    QTest::newRow("negative movement count") << patched(movements, le16(-1)) << "negative";
    QTest::newRow("two dimensions") << patched(movements + 2 + 4, le16(2)) << "dimensions";
    QTest::newRow("negative dimensions") << patched(movements + 2 + 4, le16(-1)) << "dimensions";
    const int placeholder = movements + 2 + 6;
    QTest::newRow("negative step count") << patched(placeholder + 6, le32(-1)) << "negative size";
    // 214748365 steps of 20 bytes are 2^32 + 4 bytes: a 32-bit product would wrap to 4.
    QTest::newRow("step count beyond the file") << patched(placeholder + 6, le32(214748365)) << "larger than the file";
    QTest::newRow("step bounds overflow") << patched(placeholder + 10, le32(std::numeric_limits<std::int32_t>::max())) << "overflow";
    QTest::newRow("steps past the longest path") << patched(placeholder + 6, le32(32769)) + QByteArray(32769 * 20, 0) << "path holds";
    QTest::newRow("more steps than a board's paths") << writeStrat(samples::largeStrat(1, 0, 101, 32767)) << "in all";
    QTest::newRow("NaN velocity") << patched(placeholder + 14 + 20 + 12, f32(nan)) << "finite";
    QTest::newRow("negative marker count") << patched(good.size() - 23, le16(-1)) << "negative";
    QTest::newRow("empty file") << QByteArray() << "ends inside";
    QTest::newRow("header only") << good.left(48) << "ends inside";
}

void TestStratFile::damagedFilesAreRefused()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, why);
    StratDocument doc = samples::realisticStrat();
    const StratDocument before = doc;
    const auto result = readStrat(bytes, doc);
    QVERIFY(!result.ok);
    QVERIFY2(result.error.contains(why), qPrintable(result.error));
    QVERIFY(doc == before); // the caller's records are untouched
}

void TestStratFile::truncationSweep()
{
    const QByteArray full = writeStrat(samples::realisticStrat());
    const QByteArray backup = writeStrat(samples::realisticStrat(), StratSections::WithoutMarkers);
    QTemporaryDir dir;
    QFile file(fileOf(dir, full));
    for (qsizetype cut = full.size() - 1; cut >= 0; --cut) {
        QVERIFY(file.resize(cut));
        QVERIFY2(readsAsItsBytes(file.fileName(), full.left(cut)), qPrintable(QStringLiteral("cut at %1").arg(cut)));
        StratDocument doc = samples::realisticStrat();
        doc.sNomeTatica = QStringLiteral("untouched");
        const StratDocument before = doc;
        const auto result = readStrat(full.left(cut), doc);
        if (cut == backup.size()) {
            QVERIFY2(result.ok, "a clean end where the markers begin reads as an auto-save");
            QVERIFY(!result.hadMarkers);
        } else {
            QVERIFY2(!result.ok, qPrintable(QStringLiteral("cut at %1 was accepted").arg(cut)));
            QVERIFY(doc == before);
        }
        OldStratDocument old;
        readOldStrat(full.left(cut), old); // must not crash either
    }
}

void TestStratFile::hugeFileIsReadOnlyToItsLastRecord_data()
{
    QTest::addColumn<QByteArray>("bytes"); // the file's first bytes, then nothing to 1.9 GB
    QTest::addColumn<bool>("oldFormat");
    QTest::addColumn<QString>("why");      // empty: the file is read
    const QByteArray strat = writeStrat(samples::realisticStrat());
    QTest::newRow("a strat") << strat << false << QString();
    QTest::newRow("nothing but zeros") << QByteArray() << false << QString();
    QTest::newRow("an old strat, converted") << samples::oldFormatBytes(samples::realisticStrat()) << true << QString();
    QTest::newRow("zeros, converted") << QByteArray() << true << QString();
    StratDocument board = emptyBoard();
    QByteArray steps = savedBytes(board);
    steps.replace(93 + 2 + 6 + 6, 4, le32(100'000'000)); // 2 GB of steps
    QTest::newRow("more steps than the file holds") << steps << false << QStringLiteral("larger than the file");
    QByteArray claim = writeStrat(samples::largeStrat(1, 0, 1, 5)); // one path of five steps
    claim.replace(claim.indexOf(le16(1) + le32(6)) + 2, 4, le32(99'000'000)); // elements to the end
    QTest::newRow("steps that fill the file") << claim << false << QStringLiteral("path holds");
}

void TestStratFile::hugeFileIsReadOnlyToItsLastRecord()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, oldFormat);
    QFETCH(QString, why);
    // As `truncate -s 1900M` makes it: a sparse file, 1.9 GB that take no room on the disk.
    QTemporaryDir dir;
    QFile file(fileOf(dir, bytes));
    QVERIFY(file.resize(qint64(1900) << 20));
    restartPeakMemory();
    const qint64 readBefore = bytesReadByThisProcess(), peakBefore = peakMemoryKiB();
    StratDocument doc;
    OldStratDocument old;
    const StratReadResult result = oldFormat ? readOldStratFile(file.fileName(), old) : readStratFile(file.fileName(), doc);
    QVERIFY2(result.ok == why.isEmpty() && result.error.contains(why), qPrintable(result.error));
    if (readBefore >= 0) // where the kernel counts them
        QVERIFY2(bytesReadByThisProcess() - readBefore < 4096 + bytes.size(), "read past the last record");
    QVERIFY(peakMemoryKiB() - peakBefore < 16 * 1024);
    // The same records as the bytes with a few zeros after them (they take no more).
    const QByteArray head = bytes + QByteArray(1024, '\0');
    StratDocument headDoc;
    OldStratDocument headOld;
    if (result.ok)
        QVERIFY(oldFormat ? readOldStrat(head, headOld) && headOld.strat == old.strat : readStrat(head, headDoc) && headDoc == doc);
}

void TestStratFile::fileChangedWhileReadIsRefused_data()
{
    QTest::addColumn<QString>("change");
    QTest::newRow("cut short") << "cut short";
    QTest::newRow("grown") << "grown";
    QTest::newRow("rewritten in place") << "rewritten";
}

void TestStratFile::fileChangedWhileReadIsRefused()
{
    QFETCH(QString, change);
    const StratDocument strat = samples::realisticStrat();
    for (const bool oldFormat : {false, true}) {
        const QByteArray bytes = oldFormat ? samples::oldFormatBytes(strat) : writeStrat(strat);
        QTemporaryDir dir;
        QFile changed(fileOf(dir, bytes));
        RegularFileReader file;
        QVERIFY(file.open(changed.fileName(), bytes.size()));
        // After the file was opened (and its size taken), before it is read.
        if (change == QLatin1String("cut short"))
            QVERIFY(changed.resize(bytes.size() / 2));
        else if (change == QLatin1String("grown"))
            QVERIFY(changed.open(QIODevice::Append | QIODevice::Unbuffered) && changed.write("more") == 4);
        else
            QVERIFY(changed.open(QIODevice::ReadWrite | QIODevice::Unbuffered) && changed.write(bytes.left(20)) == 20
                    && changed.setFileTime(QDateTime::currentDateTime().addDays(-1), QFileDevice::FileModificationTime));
        StratDocument doc = emptyBoard();
        OldStratDocument old;
        old.strat = doc;
        const StratReadResult result = oldFormat ? readOldStrat(file, old) : readStrat(file, doc);
        QVERIFY2(!result.ok && result.error.contains(QLatin1String("while it was read")), qPrintable(result.error));
        QVERIFY(doc == emptyBoard() && old.strat == emptyBoard());
    }
}

void TestStratFile::writerRefusesWhatCannotBeReadBack()
{
    StratDocument d = samples::realisticStrat();
    d.tTextos[1].Texto = QString(kMaxTextBytes + 1, u'a');
    QString error;
    QVERIFY(writeStrat(d, StratSections::All, &error).isEmpty());
    QVERIFY(error.contains(QLatin1String("65535")));

    StratDocument link = samples::realisticStrat();
    link.tLinks[1].sLink = QString(70000, u'a');
    error.clear();
    QVERIFY(writeStrat(link, StratSections::All, &error).isEmpty());
    QVERIFY(!error.isEmpty());

    StratDocument vel = samples::realisticStrat();
    vel.tMovimentos[1].Passos.at(1).sVel = std::numeric_limits<float>::infinity();
    error.clear();
    QVERIFY(writeStrat(vel, StratSections::All, &error).isEmpty());
    QVERIFY(error.contains(QLatin1String("finite")));

    // A count larger than its array writes empty records rather than reading past it.
    StratDocument shortArray = emptyBoard();
    shortArray.iLinks = 0; // no link records at all: the section still holds its record 0
    const QByteArray bytes = writeStrat(shortArray);
    StratDocument back;
    QVERIFY(readStrat(bytes, back));
    QCOMPARE(back.tLinks.size(), std::size_t(1));
}

void TestStratFile::smallerStratOverLargerFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("plan.qvl"));
    QVERIFY(writeStratFile(path, samples::largeStrat(200, 40, 10, 20)));
    const qint64 largeSize = QFileInfo(path).size();

    StratDocument small = emptyBoard();
    makeSavePlaceholders(small);
    QVERIFY(writeStratFile(path, small));
    QCOMPARE(QFileInfo(path).size(), 188);
    QVERIFY(largeSize > 188);

    StratDocument back;
    QVERIFY(readStratFile(path, back));
    QVERIFY(back == asStored(small));

    // An auto-save written over a full save must not pick up the old marker section.
    QVERIFY(writeStratFile(path, samples::realisticStrat()));
    QVERIFY(writeStratFile(path, small, StratSections::WithoutMarkers));
    const auto result = readStratFile(path, back);
    QVERIFY(result.ok);
    QVERIFY(!result.hadMarkers);
}

void TestStratFile::failedWriteKeepsTheOldFile()
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("keep.qvl"));
    const StratDocument original = samples::realisticStrat();
    QVERIFY(writeStratFile(path, original));
    const QByteArray before = [&] { QFile f(path); f.open(QIODevice::ReadOnly); return f.readAll(); }();

    // A text that cannot be stored: refused, the file stays as it was.
    StratDocument bad = original;
    bad.tMarkers[1].Texto = QString(80000, u'x');
    QString error;
    QVERIFY(!writeStratFile(path, bad, StratSections::All, &error));
    QVERIFY(!error.isEmpty());
    QFile f(path);
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), before);

    // A folder that does not exist: reported, nothing created.
    error.clear();
    QVERIFY(!writeStratFile(dir.filePath(QStringLiteral("missing/plan.qvl")), original, StratSections::All, &error));
    QVERIFY(!error.isEmpty());

    // A folder that cannot be written (unless the tests run as root, who may write anywhere).
    const QString locked = dir.filePath(QStringLiteral("locked"));
    QVERIFY(QDir().mkdir(locked));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::ExeOwner);
    const QString target = locked + QStringLiteral("/plan.qvl");
    const bool wrote = writeStratFile(target, original);
    QCOMPARE(wrote, QFileInfo::exists(target));
    QFile::setPermissions(locked, QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

void TestStratFile::missingFileIsAnError()
{
    StratDocument doc;
    QVERIFY(!readStratFile(QStringLiteral("/nonexistent/plan.qvl"), doc));
    QVERIFY(!readStratFile(QString(), doc));
    QTemporaryDir dir;
    QVERIFY(!readStratFile(dir.path(), doc)); // a folder is not a strat
    OldStratDocument old;
    QVERIFY(!readOldStratFile(QStringLiteral("/nonexistent/old.qvl"), old));
    // A device never ends and a pipe's open waits for a writer: both refused at once.
    const QString pipe = dir.filePath(QStringLiteral("pipe.qvl"));
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    for (const QString &path : {pipe, QStringLiteral("/dev/zero")}) {
        QVERIFY(!readStratFile(path, doc));
        QVERIFY(!readOldStratFile(path, old));
    }
}

void TestStratFile::fuzzRegressionFilesAreHandled()
{
    // Inputs that once made a reader crash or exhaust memory: read or refused, quickly.
    const QStringList files = fuzzRegressionFiles("stratfile");
    QVERIFY(!files.isEmpty());
    for (const QString &path : files) {
        StratDocument doc;
        readStratFile(path, doc);
        OldStratDocument old;
        if (readOldStratFile(path, old))
            convertOldMovements(old);
    }
}

QTEST_GUILESS_MAIN(TestStratFile)
#include "tst_stratfile.moc"
