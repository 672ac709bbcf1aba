#include "TestTools.h"
#include "language/LanguageChoice.h"
#include "language/clsLanguagePack.h"
#include "PackSource.h"

#include <QtTest>

#include <sys/stat.h>

using namespace quorvel;

namespace {

const QString kLangFolder = QStringLiteral(QUORVEL_PROGRAM_DIR "/lang");
const QStringList kLanguages = {"Spanish", "Portuguese", "French", "Romanian", "Dutch"};

void writeAll(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

LpkControlRecord control(const QString &target, const QString &caption, const QString &tip = {})
{
    LpkControlRecord c;
    c.ControlSpec = target;
    c.Caption = caption;
    c.ToolTip = tip;
    return c;
}

// A pack that uses every corner of the layout: texts in record 0 and in control Reserved
// fields (kept as stored), controls above ControlCount, a lower bound other than 0, an odd
// header and a form with no control array.
LanguagePackData cornerPack()
{
    LanguagePackData pack;
    pack.sHeaderTag = QByteArray("\x00\xff\x01\x7f", 4);
    pack.sHeaderText = QByteArray(32, '\x02');
    pack.tForms[0].FormName = QStringLiteral("\x01raw record 0");
    pack.tForms[0].ControlCount = 7;

    LpkFormRecord main;
    main.FormName = QStringLiteral("frmPrincipal");
    main.Caption = QStringLiteral("Quorvel");
    main.hasControls = true;
    main.controlsLowerBound = -1;
    main.Controls = {control("unused -1", "\x02"), control("unused 0", "\x03"),
                     control("mnuNovo", "&Nueva"), control("imgMove", "", "Mover ventana"),
                     control("above count", "\x04")};
    main.Controls[2].Reserved = QStringLiteral("\x01\x02");
    main.Controls[2].Trailer = QByteArray("\x01\x02\x03\x04", 4);
    main.ControlCount = 2;
    pack.tForms.append(main);

    LpkFormRecord bare;
    bare.FormName = QStringLiteral("frmSobre");
    bare.Caption2 = QStringLiteral("Acerca de");
    pack.tForms.append(bare);

    pack.tStrings[0] = {QStringLiteral("\x01"), QStringLiteral("\x00")};
    pack.tStrings.append({QStringLiteral("s0021"), QStringLiteral("Abrir estrategia")});
    pack.tStrings.append({QStringLiteral("s0034"), QStringLiteral(" minutos.")});
    pack.tStrings.append({QStringLiteral("s0021"), QStringLiteral("second value")});
    pack.tStrings.append({QStringLiteral("s0008"), QString()});
    return pack;
}

QByteArray cornerBytes()
{
    QString error;
    const QByteArray bytes = writeLanguagePack(cornerPack(), CodePage::Windows1252, &error);
    if (bytes.isEmpty())
        qWarning() << error;
    return bytes;
}

void putU16(QByteArray &bytes, qsizetype at, int value)
{
    bytes[at] = char(value & 0xFF);
    bytes[at + 1] = char((value >> 8) & 0xFF);
}

// Offsets into cornerBytes(), found from the layout rather than hard-coded.
qsizetype offsetOf(const QByteArray &bytes, const QByteArray &needle)
{
    const qsizetype at = bytes.indexOf(needle);
    Q_ASSERT(at >= 0);
    return at;
}

QByteArray scrambled(const char *plain)
{
    QByteArray b(plain);
    for (char &c : b)
        c = char(c + 5);
    return b;
}

} // namespace

class TestLangPack : public QObject {
    Q_OBJECT

private slots:
    void generatedPacksMatchTheirSources_data();
    void generatedPacksMatchTheirSources();
    void cornerPackRoundTrips();
    void keyedTexts_data();
    void keyedTexts();
    void damagedPacks_data();
    void damagedPacks();
    void fuzzRegressions();
    void devicesAndPipesAreNotPacks();
    void writerRefusals_data();
    void writerRefusals();
    void switches_data();
    void switches();
    void locales_data();
    void locales();
    void choosingAndLoading_data();
    void choosingAndLoading();
};

void TestLangPack::generatedPacksMatchTheirSources_data()
{
    QTest::addColumn<QString>("language");
    for (const QString &l : kLanguages)
        QTest::newRow(qPrintable(l)) << l;
}

void TestLangPack::generatedPacksMatchTheirSources()
{
    QFETCH(QString, language);
    LanguagePackData expected;
    QString error;
    // A pack's sources are the files of its folder, read in name order.
    QString source;
    const QDir folder(QStringLiteral(QUORVEL_PACK_SOURCES "/") + language);
    for (const QString &name : folder.entryList({QStringLiteral("*.txt")}, QDir::Files, QDir::Name))
        source += QString::fromUtf8(readFile(folder.filePath(name))) + QLatin1Char('\n');
    QVERIFY2(parsePackSource(source,
                             expected, &error),
             qPrintable(error));

    const QString file = kLangFolder + '/' + language + ".lpk";
    clsLanguagePack pack;
    QVERIFY2(pack.LoadPack(file, &error), qPrintable(error));
    QCOMPARE(pack.sCurrentFile(), file);

    // Every keyed text the program asks for is there, as the source has it.
    QCOMPARE(pack.data().iStringCount(), expected.iStringCount());
    for (int n = 0; n <= 44; ++n) {
        if (n == 2 || n == 3 || n == 10 || n == 11)
            continue;
        const QString key = QStringLiteral("s%1").arg(n, 4, 10, QLatin1Char('0'));
        QVERIFY2(!pack.GetString(key).isEmpty(), qPrintable(key));
    }
    for (int i = 1; i <= expected.iStringCount(); ++i)
        QCOMPARE(pack.GetString(expected.tStrings[i].Key), expected.tStrings[i].Value);

    const LpkFormRecord *form = pack.formRecord(QStringLiteral("frmPrincipal"));
    QVERIFY(form);
    QCOMPARE(form->Caption, QStringLiteral("Quorvel"));
    QCOMPARE(form->ControlCount, expected.tForms[1].ControlCount);
    for (int j = 1; j <= form->ControlCount; ++j) {
        QCOMPARE(form->control(j)->ControlSpec, expected.tForms[1].control(j)->ControlSpec);
        QCOMPARE(form->control(j)->Caption, expected.tForms[1].control(j)->Caption);
        QCOMPARE(form->control(j)->ToolTip, expected.tForms[1].control(j)->ToolTip);
    }

    // The writer is the reader's inverse: writing the loaded pack gives the file again.
    const QByteArray bytes = readFile(file);
    QCOMPARE(writeLanguagePack(pack.data(), codePageForLanguage(language)), bytes);
}

void TestLangPack::cornerPackRoundTrips()
{
    const QByteArray bytes = cornerBytes();
    QVERIFY(!bytes.isEmpty());

    LanguagePackData read;
    const PackReadResult result = readLanguagePack(bytes + "trailing bytes", CodePage::Windows1252, read);
    QVERIFY2(result.ok, qPrintable(result.error));
    QCOMPARE(result.consumed, bytes.size());
    QCOMPARE(writeLanguagePack(read, CodePage::Windows1252), bytes);

    // Record 0, the Reserved texts and the entries above ControlCount stay as stored.
    QCOMPARE(read.sHeaderTag, QByteArray("\x00\xff\x01\x7f", 4));
    QCOMPARE(read.tForms[0].FormName, QStringLiteral("\x01raw record 0"));
    QCOMPARE(read.tStrings[0].Value, QStringLiteral("\x00"));
    const LpkFormRecord &main = read.tForms[1];
    QCOMPARE(main.control(1)->Reserved, QStringLiteral("\x01\x02"));
    QCOMPARE(main.control(1)->Caption, QStringLiteral("&Nueva"));
    QCOMPARE(main.control(3)->Caption, QStringLiteral("\x04"));
    QCOMPARE(main.control(-1)->Caption, QStringLiteral("\x02"));
    QVERIFY(!main.control(4));
    QVERIFY(!read.tForms[2].hasControls);

    // Scrambled on disk: each byte plus 5.
    QVERIFY(bytes.contains(scrambled("Abrir estrategia")));
    QVERIFY(!bytes.contains("Abrir estrategia"));
}

void TestLangPack::keyedTexts_data()
{
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("withFallback");
    QTest::newRow("present") << "s0021" << "Abrir estrategia" << "Abrir estrategia";
    QTest::newRow("blanks kept") << "s0034" << " minutos." << " minutos.";
    QTest::newRow("absent key falls back") << "s0009" << "" << "English";
    QTest::newRow("case matters") << "S0021" << "" << "English";
    QTest::newRow("whole key only") << "s002" << "" << "English";
    QTest::newRow("empty value falls back") << "s0008" << "" << "English";
    QTest::newRow("record 0 is never searched") << "\x01" << "" << "English";
}

void TestLangPack::keyedTexts()
{
    QFETCH(QString, key);
    QFETCH(QString, text);
    QFETCH(QString, withFallback);
    QTemporaryDir dir;
    const QString file = dir.filePath("Spanish.lpk");
    writeAll(file, cornerBytes());
    clsLanguagePack pack;
    QCOMPARE(pack.GetString(key), QString()); // nothing loaded: always ""
    QVERIFY(pack.LoadPack(file));
    QCOMPARE(pack.GetString(key), text);
    const QString got = pack.GetString(key);
    QCOMPARE(got.isEmpty() ? QStringLiteral("English") : got, withFallback);
}

void TestLangPack::damagedPacks_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("loads");

    const QByteArray good = cornerBytes();
    const qsizetype formCount = 36;
    // The string count, record 0 ("\x01", "\x00") and the length of the first key.
    const qsizetype stringCountAt = offsetOf(good, scrambled("s0021")) - 2 - 3 - 3 - 2;
    // good with one 16-bit number or one byte changed.
    const auto withU16 = [&good](qsizetype at, int value) {
        QByteArray b = good;
        putU16(b, at, value);
        return b;
    };
    const auto withByte = [&good](qsizetype at, char value) {
        QByteArray b = good;
        b[at] = value;
        return b;
    };
    QByteArray b;

    // Texts that are never unscrambled (record 0, Reserved, controls above ControlCount) hold
    // bytes below 5 here and still load.
    QTest::newRow("whole") << good << true;
    QTest::newRow("empty file") << QByteArray() << false;
    QTest::newRow("header only") << good.left(36) << false;
    for (qsizetype cut : {qsizetype(37), qsizetype(50), good.size() / 2, good.size() - 1})
        QTest::addRow("cut at %lld", qlonglong(cut)) << good.left(cut) << false;
    QTest::newRow("negative form count") << withU16(formCount, 0xFFFF) << false;
    QTest::newRow("form count beyond the file") << withU16(formCount, 30000) << false;
    QTest::newRow("negative string count") << withU16(stringCountAt, 0x8000) << false;
    QTest::newRow("string count beyond the file") << withU16(stringCountAt, 200) << false;

    // frmPrincipal's ControlCount, dimension count and bounds follow its four texts.
    const qsizetype countAt = offsetOf(good, scrambled("Quorvel")) + 7 + 2;
    QTest::newRow("ControlCount past the array") << withU16(countAt, 4) << false;
    QTest::newRow("negative ControlCount uses nothing") << withU16(countAt, 0xFFFF) << true;
    QTest::newRow("two dimensions") << withU16(countAt + 2, 2) << false;
    QTest::newRow("negative element count") << withByte(countAt + 4 + 3, char(0x80)) << false;
    QTest::newRow("element count beyond the file") << withByte(countAt + 4 + 2, char(0x70)) << false;
    b = good;
    putU16(b, countAt + 8, 2); // lower bound 2: element 1 does not exist
    putU16(b, countAt + 10, 0);
    QTest::newRow("lower bound above 1") << b << false;
    b = good;
    b[countAt + 8] = char(0xFF);
    b[countAt + 9] = char(0xFF);
    b[countAt + 10] = char(0xFF);
    b[countAt + 11] = char(0x7F);
    QTest::newRow("bounds past the largest index") << b << false;

    const qsizetype keyedText = offsetOf(good, scrambled("Abrir"));
    QTest::newRow("byte below 5 in a keyed text") << withByte(keyedText, '\x04') << false;
    QTest::newRow("byte below 5 in a control caption")
        << withByte(offsetOf(good, scrambled("&Nueva")), '\x00') << false;
    QTest::newRow("text length beyond the file") << withU16(keyedText - 2, 0xFFFF) << false;
}

void TestLangPack::damagedPacks()
{
    QFETCH(QByteArray, bytes);
    QFETCH(bool, loads);
    QTemporaryDir dir;
    const QString good = kLangFolder + "/Spanish.lpk";
    const QString damaged = dir.filePath("Spanish.lpk");
    writeAll(damaged, bytes);

    // A pack in use stays in use when another fails to load.
    clsLanguagePack pack;
    QVERIFY(pack.LoadPack(good));
    const QString before = pack.GetString("s0021");
    QString error;
    QCOMPARE(pack.LoadPack(damaged, &error), loads);
    QCOMPARE(error.isEmpty(), loads);
    if (loads) {
        QCOMPARE(pack.sCurrentFile(), damaged);
        QCOMPARE(pack.GetString("s0021"), QStringLiteral("Abrir estrategia"));
    } else {
        QCOMPARE(pack.sCurrentFile(), good);
        QCOMPARE(pack.GetString("s0021"), before);
        QCOMPARE(pack.formRecord("frmPrincipal")->control(1)->Caption, QStringLiteral("&Estrategia"));
    }
    // A fresh pack object that fails holds nothing.
    clsLanguagePack fresh;
    QCOMPARE(fresh.LoadPack(damaged), loads);
    if (!loads) {
        QVERIFY(fresh.sCurrentFile().isEmpty());
        QCOMPARE(fresh.GetString("s0021"), QString());
    }
}

void TestLangPack::fuzzRegressions()
{
    // Inputs that once were, or could be, trouble: each is refused with a reason.
    const QStringList files = fuzzRegressionFiles("langpack");
    QVERIFY(!files.isEmpty());
    for (const QString &path : files) {
        LanguagePackData pack;
        const PackReadResult result = readLanguagePack(readFile(path), CodePage::Windows1252, pack);
        QVERIFY2(!result.ok && !result.error.isEmpty(), qPrintable(path));
    }
}

void TestLangPack::devicesAndPipesAreNotPacks()
{
    QTemporaryDir dir;
    const QString pipe = dir.filePath("Spanish.lpk");
    QCOMPARE(::mkfifo(QFile::encodeName(pipe).constData(), 0600), 0);
    clsLanguagePack pack;
    QVERIFY(!pack.LoadPack(pipe)); // at once: no wait for a writer
    QVERIFY(!pack.LoadPack(QStringLiteral("/dev/zero"))); // no endless read
}

void TestLangPack::writerRefusals_data()
{
    QTest::addColumn<int>("codePage");
    QTest::addColumn<QString>("keyed");
    QTest::addColumn<QString>("record0");
    QTest::addColumn<bool>("writes");
    QTest::newRow("western accents") << int(CodePage::Windows1252) << "Cámara, ¿año?" << "" << true;
    QTest::newRow("central accents") << int(CodePage::Windows1250) << "Şi încă" << "" << true;
    QTest::newRow("code 251 and up cannot be stored") << int(CodePage::Windows1252) << "sûr" << "" << false;
    QTest::newRow("t with cedilla is code 254 in 1250") << int(CodePage::Windows1250) << "ţ" << "" << false;
    QTest::newRow("record 0 is stored as it is") << int(CodePage::Windows1252) << "ok" << "ÿ" << true;
    QTest::newRow("longest text") << int(CodePage::Windows1252) << QString(32767, 'a') << "" << true;
    QTest::newRow("too long to unscramble") << int(CodePage::Windows1252) << QString(32768, 'a') << "" << false;
}

void TestLangPack::writerRefusals()
{
    QFETCH(int, codePage);
    QFETCH(QString, keyed);
    QFETCH(QString, record0);
    QFETCH(bool, writes);
    LanguagePackData pack;
    pack.tStrings[0].Value = record0;
    pack.tStrings.append({QStringLiteral("s0001"), keyed});
    QString error;
    const auto id = CodePage::Id(codePage);
    const QByteArray bytes = writeLanguagePack(pack, id, &error);
    QCOMPARE(!bytes.isEmpty(), writes);
    QCOMPARE(error.isEmpty(), writes);
    if (writes) {
        LanguagePackData read;
        QVERIFY(readLanguagePack(bytes, id, read));
        QCOMPARE(read.tStrings[1].Value, keyed);
        QCOMPARE(read.tStrings[0].Value, record0);
    }
}

void TestLangPack::switches_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("language");
    for (const QString &l : kLanguages)
        QTest::newRow(qPrintable("-" + l)) << "-" + l << l;
    QTest::newRow("debug switch") << "-d" << "";
    QTest::newRow("lower case") << "-spanish" << "";
    QTest::newRow("leading blank") << " -Spanish" << "";
    QTest::newRow("with a file") << "-Spanish a.qvl" << "";
    QTest::newRow("a file") << "/home/a/Spanish.qvl" << "";
    QTest::newRow("nothing") << "" << "";
}

void TestLangPack::switches()
{
    QFETCH(QString, commandLine);
    QFETCH(QString, language);
    QCOMPARE(languageFromSwitch(commandLine), language);
}

void TestLangPack::locales_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("baseName");
    QTest::newRow("Brazil") << "pt_BR.UTF-8" << 0x0416 << "Portuguese (Brazil)" << "Portuguese";
    QTest::newRow("Portugal") << "pt_PT" << 0x0816 << "Portuguese (Portugal)" << "Portuguese";
    QTest::newRow("Spain") << "es_ES.UTF-8" << 0x0C0A << "Spanish (International Sort)" << "Spanish";
    QTest::newRow("Argentina") << "es_AR.utf8" << 0x2C0A << "Spanish (Argentina)" << "Spanish";
    QTest::newRow("region not in the table") << "es_US.UTF-8" << 0x040A << "Spanish (Traditional Sort)" << "Spanish";
    QTest::newRow("language alone") << "nl" << 0x0413 << "Dutch (Netherlands)" << "Dutch";
    QTest::newRow("Belgian Dutch") << "nl_BE.UTF-8" << 0x0813 << "Dutch (Belgium)" << "Dutch";
    QTest::newRow("Canadian French") << "fr_CA.UTF-8" << 0x0C0C << "French (Canada)" << "French";
    QTest::newRow("Romanian, no blank") << "ro_RO.UTF-8" << 0x0418 << "Romanian" << "Romanian";
    QTest::newRow("modifier not in the table") << "de_DE@euro" << 0x0407 << "German (Germany)" << "German";
    QTest::newRow("modifier in the table") << "sr_RS@latin" << 0x081A << "Serbian (Latin)" << "Serbian";
    QTest::newRow("old Norwegian code") << "no_NO" << 0x0414 << "Norwegian (Bokmal)" << "Norwegian";
    QTest::newRow("FYRO") << "mk_MK" << 0x042F << "FYRO Macedonian" << "FYRO";
    QTest::newRow("English") << "en_US.UTF-8" << 0x0409 << "English (United States)" << "English";
    QTest::newRow("C locale") << "C.UTF-8" << 0 << "Unknown" << "Unknown";
    QTest::newRow("POSIX") << "POSIX" << 0 << "Unknown" << "Unknown";
    QTest::newRow("unset") << "" << 0 << "Unknown" << "Unknown";
    QTest::newRow("language not in the table") << "eo" << 0 << "Unknown" << "Unknown";
}

void TestLangPack::locales()
{
    QFETCH(QString, locale);
    QFETCH(int, id);
    QFETCH(QString, name);
    QFETCH(QString, baseName);
    QCOMPARE(languageIdForLocale(locale), id);
    QCOMPARE(GetLanguageName(id), name);
    QCOMPARE(GetLanguageBaseName(id), baseName);
}

void TestLangPack::choosingAndLoading_data()
{
    QTest::addColumn<QString>("commandLine");
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QStringList>("files"); // in the lang folder; "-" for no folder
    QTest::addColumn<QString>("language");
    QTest::addColumn<bool>("loaded");
    QTest::addColumn<QString>("s0021");

    const QStringList all = {"Spanish.lpk", "Portuguese.lpk", "French.lpk", "Romanian.lpk", "Dutch.lpk"};
    const QStringList texts = {"Abrir estrategia", "Abrir tática", "Ouvrir une stratégie",
                               "Deschide strategia", "Strategie openen"};
    for (int i = 0; i < kLanguages.size(); ++i)
        QTest::newRow(qPrintable("-" + kLanguages[i])) << "-" + kLanguages[i] << "en_US.UTF-8" << all
                                                    << kLanguages[i] << true << texts[i];
    QTest::newRow("-d takes the locale") << "-d" << "pt_BR.UTF-8" << all << "Portuguese" << true << texts[1];
    QTest::newRow("a file takes the locale") << "x.qvl" << "fr_FR.UTF-8" << all << "French" << true << texts[2];
    QTest::newRow("locale without a pack") << "" << "de_DE.UTF-8" << all << "German" << false << "";
    QTest::newRow("English locale") << "" << "en_GB.UTF-8" << all << "English" << false << "";
    QTest::newRow("only a longer name ends like the pack")
        << "-Spanish" << "C" << QStringList{"OldSpanish.lpk"} << "Spanish" << false << "";
    QTest::newRow("name differs in case") << "-Spanish" << "C" << QStringList{"spanish.lpk"} << "Spanish" << false << "";
    QTest::newRow("damaged pack") << "-Spanish" << "C" << QStringList{"damaged:Spanish.lpk"} << "Spanish" << false << "";
    QTest::newRow("empty lang folder") << "-Dutch" << "C" << QStringList{} << "Dutch" << false << "";
    QTest::newRow("no lang folder") << "-Dutch" << "C" << QStringList{"-"} << "Dutch" << false << "";
}

void TestLangPack::choosingAndLoading()
{
    QFETCH(QString, commandLine);
    QFETCH(QString, locale);
    QFETCH(QStringList, files);
    QFETCH(QString, language);
    QFETCH(bool, loaded);
    QFETCH(QString, s0021);

    QTemporaryDir dir;
    const QString lang = dir.filePath("lang");
    const bool noFolder = files == QStringList{"-"};
    if (!noFolder) {
        QVERIFY(QDir().mkpath(lang));
        for (const QString &f : files) {
            if (f.startsWith("damaged:")) {
                writeAll(lang + '/' + f.mid(8), cornerBytes().left(100));
                continue;
            }
            const QString source = kLangFolder + '/' + QString(f).remove("Old");
            const QString real = QFile::exists(source) ? source : kLangFolder + "/Spanish.lpk";
            QVERIFY(QFile::copy(real, lang + '/' + f));
        }
    }

    clsLanguagePack pack;
    const LanguageStartup start = chooseLanguage(pack, commandLine, lang, locale);
    QCOMPARE(start.language, language);
    QCOMPARE(start.loaded, loaded);
    QCOMPARE(pack.sCurrentFile().isEmpty(), !loaded);
    if (loaded)
        QCOMPARE(pack.sCurrentFile(), lang + '/' + language + ".lpk");
    QCOMPARE(pack.GetString("s0021"), s0021);
    QCOMPARE(start.folderMissing, noFolder);
    QCOMPARE(start.message, noFolder ? lang + " doesn't exist." : QString());
    const bool damaged = !files.isEmpty() && files.first().startsWith("damaged:");
    QCOMPARE(!start.error.isEmpty(), damaged);
}

QTEST_GUILESS_MAIN(TestLangPack)
#include "tst_langpack.moc"
