// Registration of strat files with the desktop: the desktop entry and the MIME type under a
// temporary XDG_DATA_HOME, checked with the desktop's own tools, and the "Associado" setting.

#include "StartedWindow.h"
#include "TestFolders.h"
#include "TestTools.h"
#include "ScriptedPrompts.h"
#include "platform/Settings.h"
#include "shell/FileAssociation.h"
#include "shell/frmPrincipal.h"

#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>
#include <QSignalSpy>
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

// An executable shell script.
void writeScript(const QString &path, const QByteArray &body)
{
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write("#!/bin/sh\n" + body + "\n");
    f.close();
    QVERIFY(f.setPermissions(f.permissions() | QFileDevice::ExeOwner));
}

// Waits for the database tools a registration started.
bool toolsEnded(const RegistrationResult &r)
{
    if (!r.tools)
        return true;
    QSignalSpy done(r.tools.data(), &DesktopDatabaseUpdate::finished);
    return done.wait(30000);
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
        qputenv("QUORVEL_HOME", testProgramFolder());
        if (!haveTools())
            QSKIP("desktop-file-utils, shared-mime-info, xdg-utils or gio is missing");
    }
    void desktopOpensStratFiles_data();
    void desktopOpensStratFiles();
    void associadoOnlyAfterSuccess();
    void percentInThePathLaunches();
    void hangingToolsHoldNothing();

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
    QTest::newRow("percent") << "/100%/quorvel" << "env \"/100%%/quorvel\"";
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
    QVERIFY(toolsEnded(r));

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
    QVERIFY(toolsEnded(r)); // they write into the data folder

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
    record.Program = QStringLiteral("/opt/100%/a=b/quorvel"); // env would take it for a variable
    QVERIFY(!RegisterFileType(record, other.path()).ok);
    QVERIFY(QDir(other.path()).isEmpty());
}

void TestFileAssociation::percentInThePathLaunches()
{
    // A program in a folder named with '%' that notes what it was started with.
    QTemporaryDir data;
    QVERIFY(QDir(data.path()).mkdir(QStringLiteral("100% sure")));
    tpAssociacao record;
    record.Program = data.filePath(QStringLiteral("100% sure/quorvel"));
    writeScript(record.Program, "printf '%s' \"$1\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.args\"");
    const RegistrationResult r = RegisterFileType(record, data.path());
    QVERIFY2(r.ok, qPrintable(r.error));
    QVERIFY(toolsEnded(r));

    QFileSystemWatcher watcher({QFileInfo(record.Program).absolutePath()});
    QSignalSpy changed(&watcher, &QFileSystemWatcher::directoryChanged);
    const QString sample = data.filePath(QStringLiteral("Mid rush.qvl"));
    QCOMPARE(run(QStringLiteral("gio"), {QStringLiteral("launch"), r.written.last(), sample}), QString());
    const QString args = record.Program + QStringLiteral(".args");
    while (!QFile::exists(args) && changed.wait(10000)) {
    }
    QCOMPARE(readText(args), sample);
}

void TestFileAssociation::hangingToolsHoldNothing()
{
    // Database tools that never end come first on the path.
    QTemporaryDir bin, data;
    for (const char *tool : {"update-mime-database", "update-desktop-database"})
        writeScript(bin.filePath(QLatin1String(tool)), "exec sleep 600");
    const QByteArray path = qgetenv("PATH");
    qputenv("PATH", bin.path().toUtf8() + ':' + path);
    qputenv("XDG_DATA_HOME", data.path().toUtf8());
    settingsStore().SaveSetting(QStringLiteral("Associado"), QStringLiteral("0"));
    settingsStore().SaveSetting(QStringLiteral("Dicas"), QStringLiteral("0"));

    // The load registers and returns while the tools still run; the window is up at once.
    ScriptedPrompts prompts;
    frmPrincipal w;
    loadAsStarted(w);
    qputenv("PATH", path);
    QCOMPARE(settingsStore().GetSetting(QStringLiteral("Associado"), QStringLiteral("0")), QStringLiteral("3"));
    const auto started = qApp->findChildren<DesktopDatabaseUpdate *>(Qt::FindDirectChildrenOnly);
    QVERIFY(!started.isEmpty());
    QPointer<DesktopDatabaseUpdate> tools = started.last();
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    QVERIFY(tools);
    QCOMPARE(tools->running(), 2);
    delete tools.data(); // ends the tools
}

QTEST_MAIN(TestFileAssociation)
#include "tst_fileassoc.moc"
