// Registration of strat files with the desktop: the desktop entry and the MIME type under a
// temporary XDG_DATA_HOME, checked with the desktop's own tools, and the "Associado" setting.

#include "platform/Settings.h"
#include "shell/FileAssociation.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace quorvel;

namespace {
QString run(const QString &program, const QStringList &args, int *exitCode,
            const QProcessEnvironment &env = QProcessEnvironment::systemEnvironment())
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.setProcessChannelMode(QProcess::MergedChannels);
    p.start(program, args);
    if (!p.waitForFinished(30000)) {
        *exitCode = -1;
        return QStringLiteral("did not finish");
    }
    *exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    return QString::fromLocal8Bit(p.readAll()).trimmed();
}

QString readText(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}
} // namespace

class TestFileAssociation : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void execArgument_data();
    void execArgument();
    void desktopOpensStratFiles();
    void associadoOnlyAfterSuccess();

private:
    QTemporaryDir config_;
};

void TestFileAssociation::initTestCase()
{
    qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
    qputenv("QUORVEL_HOME", QUORVEL_PROGRAM_DIR);
}

void TestFileAssociation::execArgument_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("exec"); // as the file stores it
    QTest::newRow("plain") << "/opt/quorvel/quorvel" << "\"/opt/quorvel/quorvel\"";
    QTest::newRow("blank") << "/home/ana/My Games/quorvel" << "\"/home/ana/My Games/quorvel\"";
    QTest::newRow("dollar") << "/srv/$HOME/quorvel" << "\"/srv/\\\\$HOME/quorvel\"";
    QTest::newRow("quote") << "/a\"b/quorvel" << "\"/a\\\\\"b/quorvel\"";
    QTest::newRow("backquote") << "/a`b/quorvel" << "\"/a\\\\`b/quorvel\"";
    QTest::newRow("backslash") << "/a\\b/quorvel" << "\"/a\\\\\\\\b/quorvel\"";
    QTest::newRow("percent") << "/100%/quorvel" << "\"/100%%/quorvel\"";
    QTest::newRow("accent") << "/jogos/tática/quorvel" << "\"/jogos/tática/quorvel\"";
}

void TestFileAssociation::execArgument()
{
    QFETCH(QString, program);
    QFETCH(QString, exec);
    QCOMPARE(desktopExecArgument(program), exec);

    // The entry with that program passes the desktop's validator.
    const QString validator = QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate"));
    if (validator.isEmpty())
        QSKIP("desktop-file-validate is not installed");
    QTemporaryDir data;
    tpAssociacao record;
    record.Program = program;
    const RegistrationResult r = RegisterFileType(record, data.path());
    QVERIFY2(r.ok, qPrintable(r.error));
    const QString entry = data.filePath(QStringLiteral("applications/quorvel.desktop"));
    QVERIFY(readText(entry).contains(QStringLiteral("\nExec=") + exec + QStringLiteral(" %f\n")));
    int code = 0;
    const QString out = run(validator, {entry}, &code);
    QVERIFY2(code == 0 && out.isEmpty(), qPrintable(out));
}

void TestFileAssociation::desktopOpensStratFiles()
{
    QTemporaryDir data;
    tpAssociacao record;
    record.Extension = QStringLiteral("qvl"); // the point is added
    record.Program = QStringLiteral("/opt/Quorvel Board/quorvel");
    record.IconPath = QStringLiteral(QUORVEL_PROGRAM_DIR "/Bin/quorvel.png");
    const RegistrationResult r = RegisterFileType(record, data.path());
    QVERIFY2(r.ok, qPrintable(r.error));
    const QString types = readText(data.filePath(QStringLiteral("mime/packages/quorvel.xml")));
    QVERIFY(types.contains(QStringLiteral("<mime-type type=\"application/x-qvl\">")));
    QVERIFY(types.contains(QStringLiteral("<comment>Tática do Quorvel</comment>")));
    QVERIFY(types.contains(QStringLiteral("<glob pattern=\"*.qvl\"/>")));
    const QString entry = readText(data.filePath(QStringLiteral("applications/quorvel.desktop")));
    QVERIFY(entry.contains(QStringLiteral("\nMimeType=application/x-qvl;\n")));
    QVERIFY(entry.contains(QStringLiteral("\nIcon=quorvel\n")));
    QVERIFY(QFile::exists(data.filePath(QStringLiteral("icons/hicolor/64x64/apps/quorvel.png"))));
    QVERIFY(QFile::exists(data.filePath(QStringLiteral("icons/hicolor/64x64/mimetypes/application-x-qvl.png"))));

    // The desktop's tools: the database knows the type, and a strat file is of that type.
    if (QStandardPaths::findExecutable(QStringLiteral("update-mime-database")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("xdg-mime")).isEmpty()
        || QStandardPaths::findExecutable(QStringLiteral("gio")).isEmpty())
        QSKIP("shared-mime-info, xdg-utils or gio is not installed");
    QVERIFY(QFile::exists(data.filePath(QStringLiteral("mime/mime.cache"))));
    const QString sample = data.filePath(QStringLiteral("Mid rush.qvl"));
    QFile f(sample);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\x01\x00\x02\x00strat", 9));
    f.close();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), data.path());
    env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("GNOME"));
    int code = 0;
    const QString type = run(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("filetype"), sample},
                             &code, env);
    QCOMPARE(code, 0);
    QCOMPARE(type, QStringLiteral("application/x-qvl"));
}

void TestFileAssociation::associadoOnlyAfterSuccess()
{
    QTemporaryDir data;
    auto associado = [] { return settingsStore().GetSetting(QStringLiteral("Associado"), QStringLiteral("0")); };

    // A data folder that cannot be made: nothing stored, so the next start tries again.
    const QString blocked = data.filePath(QStringLiteral("file"));
    QFile(blocked).open(QIODevice::WriteOnly);
    qputenv("XDG_DATA_HOME", blocked.toUtf8());
    QVERIFY(!registerStratFilesOnce().ok);
    QCOMPARE(associado(), QStringLiteral("0"));

    const QString good = data.filePath(QStringLiteral("share"));
    qputenv("XDG_DATA_HOME", good.toUtf8());
    RegistrationResult r = registerStratFilesOnce();
    QVERIFY2(r.ok, qPrintable(r.error));
    QVERIFY(!r.written.isEmpty());
    QCOMPARE(associado(), QStringLiteral("3"));
    QVERIFY(readText(good + QStringLiteral("/applications/quorvel.desktop")).contains(QStringLiteral("Exec=\"")));

    // Registered: later starts write nothing; a stored value below 3 registers again.
    QDir(good).removeRecursively();
    r = registerStratFilesOnce();
    QVERIFY(r.ok && r.written.isEmpty());
    QVERIFY(!QDir(good).exists());
    settingsStore().SaveSetting(QStringLiteral("Associado"), QStringLiteral("2"));
    r = registerStratFilesOnce();
    QVERIFY(r.ok && !r.written.isEmpty());
    QCOMPARE(associado(), QStringLiteral("3"));

    // A path the desktop entry cannot hold is refused, not written half.
    tpAssociacao record;
    record.Program = QStringLiteral("/opt/a\nb/quorvel");
    QTemporaryDir other;
    r = RegisterFileType(record, other.path());
    QVERIFY(!r.ok);
    QVERIFY(QDir(other.path()).isEmpty());
}

QTEST_MAIN(TestFileAssociation)
#include "tst_fileassoc.moc"
