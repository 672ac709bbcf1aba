// Registration of strat files with the desktop: the desktop entry and the MIME type under a
// temporary XDG_DATA_HOME, checked with the desktop's own tools, and the "Associado" setting.

#include "TestTools.h"
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
// The tool's output, or "exit N: output" when it failed.
QString run(const QString &program, const QStringList &args, const QString &dataHome = QString())
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("XDG_DATA_HOME"), dataHome);
    env.insert(QStringLiteral("XDG_CURRENT_DESKTOP"), QStringLiteral("GNOME")); // xdg-mime asks gio
    const ToolRun r = runTool(program, args, QString(), env);
    const QString out = QString::fromLocal8Bit(r.out + r.err).trimmed(); // warnings count as output
    return r.ok ? out : QStringLiteral("exit %1: %2").arg(r.exitCode).arg(out);
}

QString readText(const QString &path)
{
    return QString::fromUtf8(readFile(path));
}

bool haveTools()
{
    for (const char *tool : {"desktop-file-validate", "update-mime-database", "xdg-mime", "gio"})
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            return false;
    return true;
}
} // namespace

class TestFileAssociation : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
        qputenv("QUORVEL_HOME", QUORVEL_PROGRAM_DIR);
        if (!haveTools())
            QSKIP("desktop-file-utils, shared-mime-info, xdg-utils or gio is missing");
    }
    void desktopOpensStratFiles_data();
    void desktopOpensStratFiles();
    void associadoOnlyAfterSuccess();

private:
    QTemporaryDir config_;
};

void TestFileAssociation::desktopOpensStratFiles_data()
{
    QTest::addColumn<QString>("program");
    QTest::addColumn<QString>("exec"); // as the file stores it
    QTest::newRow("plain") << "/opt/quorvel/quorvel" << "\"/opt/quorvel/quorvel\"";
    QTest::newRow("blank") << "/home/ana/My Games/quorvel" << "\"/home/ana/My Games/quorvel\"";
    QTest::newRow("dollar") << "/srv/$HOME/quorvel" << "\"/srv/\\\\$HOME/quorvel\"";
    QTest::newRow("quote") << "/a\"b/quorvel" << "\"/a\\\\\"b/quorvel\"";
    QTest::newRow("backslash") << "/a\\b/quorvel" << "\"/a\\\\\\\\b/quorvel\"";
    QTest::newRow("percent") << "/100%/quorvel" << "\"/100%%/quorvel\"";
    QTest::newRow("accent") << "/jogos/tática/quorvel" << "\"/jogos/tática/quorvel\"";
}

void TestFileAssociation::desktopOpensStratFiles()
{
    QFETCH(QString, program);
    QFETCH(QString, exec);
    QTemporaryDir data;
    tpAssociacao record;
    record.Extension = QStringLiteral("qvl"); // the point is added
    record.Program = program;
    record.IconPath = QStringLiteral(QUORVEL_PROGRAM_DIR "/Bin/quorvel.png");
    const RegistrationResult r = RegisterFileType(record, data.path());
    QVERIFY2(r.ok, qPrintable(r.error));

    const QString entry = data.filePath(QStringLiteral("applications/quorvel.desktop"));
    QVERIFY(readText(entry).contains(QStringLiteral("\nExec=") + exec + QStringLiteral(" %f\n")));
    QCOMPARE(run(QStringLiteral("desktop-file-validate"), {entry}), QString());
    QVERIFY(readText(data.filePath(QStringLiteral("mime/packages/quorvel.xml")))
                .contains(QStringLiteral("<comment>Tática do Quorvel</comment>")));
    QVERIFY(QFile::exists(data.filePath(QStringLiteral("icons/hicolor/64x64/mimetypes/application-x-qvl.png"))));

    // The desktop now takes a strat file for the type Quorvel opens.
    const QString sample = data.filePath(QStringLiteral("Mid rush.qvl"));
    QFile f(sample);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(QByteArray("\x01\x00\x02\x00strat", 9));
    f.close();
    QCOMPARE(run(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("filetype"), sample}, data.path()),
             QStringLiteral("application/x-qvl"));
    QVERIFY(readText(data.filePath(QStringLiteral("applications/mimeinfo.cache")))
                .contains(QStringLiteral("application/x-qvl=quorvel.desktop")));
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
    QVERIFY2(r.ok && !r.written.isEmpty(), qPrintable(r.error));
    QCOMPARE(associado(), QStringLiteral("3"));

    // Registered: later starts write nothing; a stored value below 3 registers again.
    QDir(good).removeRecursively();
    r = registerStratFilesOnce();
    QVERIFY(r.ok && r.written.isEmpty() && !QDir(good).exists());
    settingsStore().SaveSetting(QStringLiteral("Associado"), QStringLiteral("2"));
    QVERIFY(!registerStratFilesOnce().written.isEmpty());
    QCOMPARE(associado(), QStringLiteral("3"));

    // A path the desktop entry cannot hold is refused, not written half.
    tpAssociacao record;
    record.Program = QStringLiteral("/opt/a\nb/quorvel");
    QTemporaryDir other;
    QVERIFY(!RegisterFileType(record, other.path()).ok);
    QVERIFY(QDir(other.path()).isEmpty());
}

QTEST_MAIN(TestFileAssociation)
#include "tst_fileassoc.moc"
