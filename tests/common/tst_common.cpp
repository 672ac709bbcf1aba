#include "common/CodePage.h"
#include "common/DebugLog.h"
#include "common/FileHelpers.h"
#include "common/ProgramFolder.h"
#include "common/Rounding.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cmath>
#include <cstring>
#include <limits>

#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

using namespace quorvel;

namespace {
QByteArray readFileForTest(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}
} // namespace

class TestCommon : public QObject {
    Q_OBJECT
private slots:
    void roundsHalfToEven_data();
    void roundsHalfToEven();
    void checkedConversionsRefuseWhatDoesNotFit();
    void clampedConversions();
    void ansiRoundTripsEveryByte();
    void ansiEncodesWhatItCannotHoldAsQuestionMark();
    void centralEuropeanCodePage();
    void programFolderFollowsQuorvelHome();
    void debugLogKeepsItsFile();
    void fileHelpers();
    void onlyRegularFilesAreRead_data();
    void onlyRegularFilesAreRead();
    void savesOnlyOverRegularFiles_data();
    void savesOnlyOverRegularFiles();
    void fileThatChangesWhileReadFails_data();
    void fileThatChangesWhileReadFails();
};

void TestCommon::roundsHalfToEven_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("expected");
    QTest::newRow("0.5") << 0.5 << 0.0;
    QTest::newRow("1.5") << 1.5 << 2.0;
    QTest::newRow("2.5") << 2.5 << 2.0;
    QTest::newRow("-2.5") << -2.5 << -2.0;
    QTest::newRow("-3.5") << -3.5 << -4.0;
    QTest::newRow("2.4999") << 2.4999 << 2.0;
    QTest::newRow("2.5001") << 2.5001 << 3.0;
    QTest::newRow("1000.5 twips") << 1000.5 << 1000.0;
    QTest::newRow("1001.5 twips") << 1001.5 << 1002.0;
}

void TestCommon::roundsHalfToEven()
{
    QFETCH(double, value);
    QFETCH(double, expected);
    QCOMPARE(roundHalfEven(value), expected);
    QCOMPARE(toInt32(value).value(), static_cast<std::int32_t>(expected));
}

void TestCommon::checkedConversionsRefuseWhatDoesNotFit()
{
    const double inf = std::numeric_limits<double>::infinity();
    const double nan = std::numeric_limits<double>::quiet_NaN();
    QVERIFY(!toInt16(nan));
    QVERIFY(!toInt16(inf));
    QVERIFY(!toInt32(-inf));
    QCOMPARE(toInt16(32767.4).value(), 32767);
    QVERIFY(!toInt16(32767.5)); // rounds to 32768
    QCOMPARE(toInt16(-32768.5).value(), -32768); // half to even: -32768
    QVERIFY(!toInt16(-32769.0));
    QCOMPARE(toInt32(2147483647.0).value(), 2147483647);
    QVERIFY(!toInt32(2147483648.0));
    QVERIFY(!toInt64(9.3e18));
    QCOMPARE(narrowToInt16(40000), std::nullopt);
    QCOMPARE(narrowToInt16(-5).value(), -5);
}

void TestCommon::clampedConversions()
{
    QCOMPARE(toInt16Clamped(std::numeric_limits<double>::quiet_NaN()), 0);
    QCOMPARE(toInt16Clamped(1e9), 32767);
    QCOMPARE(toInt32Clamped(-std::numeric_limits<double>::infinity()), std::numeric_limits<std::int32_t>::min());
    QCOMPARE(toInt32Clamped(12.5), 12);
}

void TestCommon::ansiRoundTripsEveryByte()
{
    QByteArray all;
    for (int i = 0; i < 256; ++i)
        all.append(static_cast<char>(i));
    const QString text = fromAnsi(all);
    QCOMPARE(text.size(), 256);
    QCOMPARE(toAnsi(text), all);
    QCOMPARE(text.at(0x80), QChar(0x20AC)); // euro sign
    QCOMPARE(text.at(0xE1), QChar(0xE1));   // á
    QCOMPARE(fromAnsi("T\xe1tica"), QString::fromUtf8("Tática"));
}

void TestCommon::ansiEncodesWhatItCannotHoldAsQuestionMark()
{
    QCOMPARE(toAnsi(QString::fromUtf8("a€ł中b")), QByteArray("a\x80??b"));
    QCOMPARE(toAnsi(QString::fromUtf8("x😀y")), QByteArray("x?y")); // a surrogate pair is one character
}

void TestCommon::centralEuropeanCodePage()
{
    const CodePage &cp = CodePage::get(CodePage::Windows1250);
    const QString s = QString::fromUtf8("Şi ţară ăâî");
    const QByteArray bytes = cp.encode(s);
    QVERIFY(!bytes.contains('?'));
    QCOMPARE(cp.decode(bytes), s);
}

void TestCommon::programFolderFollowsQuorvelHome()
{
    QTemporaryDir dir;
    qputenv("QUORVEL_HOME", dir.path().toUtf8() + "/");
    QCOMPARE(programFolder(), QDir::cleanPath(dir.path()));
    QCOMPARE(writableFolder(), QDir::cleanPath(dir.path()));
    qunsetenv("QUORVEL_HOME");
    QCOMPARE(programFolder(), QCoreApplication::applicationDirPath());
}

void TestCommon::debugLogKeepsItsFile()
{
    // A copy of its own, started elsewhere without QUORVEL_HOME: the log's folder is the
    // executable's, which only the application object knows, and it goes at exit.
    QTemporaryDir program, current;
    const QString helper = program.filePath(QStringLiteral("helper"));
    QVERIFY(QFile::copy(QStringLiteral(QUORVEL_DEBUGLOG_HELPER), helper));
    QFile old(program.filePath(QStringLiteral("debug.txt")));
    QVERIFY(old.open(QIODevice::WriteOnly) && old.write("from an earlier run\r\n") > 0);
    old.close();
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QStringLiteral("QUORVEL_HOME"));
    run.setProcessEnvironment(env);
    run.setWorkingDirectory(current.path());
    run.start(helper);
    QVERIFY(run.waitForFinished(-1));
    QCOMPARE(run.exitCode(), 0);
    QCOMPARE(readFileForTest(old.fileName()), QByteArray("Initialized\r\nMessage 2\r\nfrom another thread\r\n"));
    QVERIFY(QDir(current.path()).isEmpty());
}

void TestCommon::fileHelpers()
{
    QTemporaryDir dir;
    const QString folder = dir.path();
    const QString empty = folder + "/empty.qvl";
    const QString full = folder + "/full.qvl";
    QFile(empty).open(QIODevice::WriteOnly);
    {
        QFile f(full);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write("x");
    }
    QVERIFY(ArquivoExiste(empty));
    QVERIFY(!ArquivoExiste(folder));
    QVERIFY(!ArquivoExiste(folder + "/missing"));
    QVERIFY(!ArquivoExiste(QString()));

    QVERIFY(PastaExiste(folder));
    QVERIFY(PastaExiste(folder + "/"));
    QVERIFY(PastaExiste(folder + "\\"));
    QVERIFY(!PastaExiste(full));
    QVERIFY(!PastaExiste(folder + "/missing/"));

    QVERIFY(!ArquivoTemDados(empty));
    QVERIFY(ArquivoTemDados(full));
    QVERIFY(!ArquivoTemDados(folder + "/missing"));

    QVERIFY(!RenomeiaArquivo(full, empty)); // the target exists: nothing moves
    QVERIFY(ArquivoExiste(full));
    QVERIFY(QDir(folder).mkdir("sub"));
    QVERIFY(RenomeiaArquivo(full, folder + "/sub/moved.qvl"));
    QVERIFY(!ArquivoExiste(full));
    QVERIFY(ArquivoTemDados(folder + "/sub/moved.qvl"));
    QVERIFY(!RenomeiaArquivo(full, folder + "/again.qvl")); // the source is gone
}

void TestCommon::onlyRegularFilesAreRead_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("exists"); // ArquivoExiste
    QTest::addColumn<bool>("read");
    QTest::newRow("regular") << "full.qvl" << true << true;
    QTest::newRow("over the cap") << "large.qvl" << true << false;
    QTest::newRow("folder") << "." << false << false;
    QTest::newRow("device") << "/dev/zero" << false << false;
    QTest::newRow("link to a device") << "zero.qvl" << false << false;
    QTest::newRow("pipe without a writer") << "pipe.qvl" << false << false; // must not wait
    QTest::newRow("kernel file that says it is empty") << "/proc/self/status" << true << false;
}

void TestCommon::onlyRegularFilesAreRead()
{
    QFETCH(QString, name);
    QFETCH(bool, exists);
    QFETCH(bool, read);
    QTemporaryDir dir;
    QFile full(dir.filePath("full.qvl")), large(dir.filePath("large.qvl"));
    QVERIFY(full.open(QIODevice::WriteOnly) && full.write("abc") == 3);
    QVERIFY(large.open(QIODevice::WriteOnly) && large.write(QByteArray(101, 'x')) == 101);
    full.close();
    large.close();
    QVERIFY(QFile::link("/dev/zero", dir.filePath("zero.qvl")));
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("pipe.qvl")).constData(), 0600), 0);

    const QString path = QDir(dir.path()).absoluteFilePath(name);
    QCOMPARE(ArquivoExiste(path), exists);
    QByteArray bytes("untouched");
    QString error;
    QCOMPARE(readRegularFile(path, 100, bytes, &error), read);
    QCOMPARE(error.isEmpty(), read);
    QCOMPARE(bytes, read ? QByteArray("abc") : QByteArray("untouched"));
}

void TestCommon::savesOnlyOverRegularFiles_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("saved");
    QTest::newRow("regular") << "full.qvl" << true;
    QTest::newRow("missing") << "new.qvl" << true;
    QTest::newRow("pipe") << "pipe.qvl" << false;
    QTest::newRow("link to a pipe") << "link.qvl" << false;
    QTest::newRow("socket") << "socket.qvl" << false;
    QTest::newRow("folder") << "folder.qvl" << false;
}

void TestCommon::savesOnlyOverRegularFiles()
{
    QFETCH(QString, name);
    QFETCH(bool, saved);
    QTemporaryDir dir;
    QFile full(dir.filePath("full.qvl"));
    QVERIFY(full.open(QIODevice::WriteOnly) && full.write("abc") == 3);
    full.close();
    QCOMPARE(::mkfifo(QFile::encodeName(dir.filePath("pipe.qvl")).constData(), 0600), 0);
    QVERIFY(QFile::link(dir.filePath("pipe.qvl"), dir.filePath("link.qvl")));
    QVERIFY(QDir(dir.path()).mkdir("folder.qvl"));
    const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray socketPath = QFile::encodeName(dir.filePath("socket.qvl"));
    QVERIFY(size_t(socketPath.size()) < sizeof address.sun_path);
    std::memcpy(address.sun_path, socketPath.constData(), size_t(socketPath.size()));
    QCOMPARE(::bind(sock, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);

    const QString path = dir.filePath(name);
    struct stat before {}, after {};
    ::lstat(QFile::encodeName(path).constData(), &before);
    QString error;
    QCOMPARE(writeFileAtomically(path, "new", &error), saved);
    QCOMPARE(error.isEmpty(), saved);
    ::lstat(QFile::encodeName(path).constData(), &after);
    if (saved)
        QCOMPARE(readFileForTest(path), QByteArray("new"));
    else
        QCOMPARE(after.st_mode, before.st_mode); // still there, still what it was
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot).size(), saved && name == "new.qvl" ? 6 : 5);
    ::close(sock);
}

void TestCommon::fileThatChangesWhileReadFails_data()
{
    QTest::addColumn<qint64>("newSize");
    QTest::newRow("cut short") << qint64(1000);
    QTest::newRow("grown") << qint64(70000);
}

void TestCommon::fileThatChangesWhileReadFails()
{
    QFETCH(qint64, newSize);
    QTemporaryDir dir;
    QFile file(dir.filePath("strat.qvl"));
    QVERIFY(file.open(QIODevice::WriteOnly) && file.write(QByteArray(65536, 'q')) == 65536);
    file.close();
    RegularFileReader reader;
    QVERIFY(reader.open(file.fileName(), qint64(1) << 20));
    QVERIFY(file.resize(newSize)); // between the size check and the read
    QByteArray bytes;
    QVERIFY(!reader.readAll(bytes));
    QVERIFY(bytes.isEmpty() && !reader.error().isEmpty());
}

QTEST_GUILESS_MAIN(TestCommon)
#include "tst_common.moc"
