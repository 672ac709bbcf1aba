// Start-up: the command line, the debug log and the hand-over from a second start.

#include "TestFolders.h"
#include "common/DebugLog.h"
#include "ScriptedPrompts.h"
#include "platform/Settings.h"
#include "shell/CommandPoller.h"
#include "shell/HandOver.h"
#include "shell/SingleInstance.h"
#include "shell/StartUp.h"

#include <QDir>
#include <QFile>
#include <QLockFile>
#include <QProcess>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
#include <utility>
#include <vector>

#include <pwd.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quorvel;

class TestStartUp : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void init();
    void commandLine_data();
    void commandLine();
    void languageReport();
    void pollerTakesCommands_data();
    void pollerTakesCommands();
    void slowOpenIsNotRepeated();
    void burstOfSecondStarts_data();
    void burstOfSecondStarts();
    void secondStartHandsOver_data();
    void secondStartHandsOver();
    void instanceFolderIsTheUsersOwn_data();
    void instanceFolderIsTheUsersOwn();
    void requestIsNeverWrittenThroughALink();
    void fileSizeLimitFailsTheWrite_data();
    void fileSizeLimitFailsTheWrite();

private:
    QProcessEnvironment helperEnvironment() const;
    void startFirst(QProcess &first) const;

    QTemporaryDir config_;
    QTemporaryDir runtime_;
    QTemporaryDir home_;
};

void TestStartUp::initTestCase()
{
    QVERIFY(config_.isValid() && runtime_.isValid() && home_.isValid());
    qputenv("XDG_CONFIG_HOME", config_.path().toLocal8Bit());
    qputenv("XDG_RUNTIME_DIR", runtime_.path().toLocal8Bit());
    qputenv("QUORVEL_HOME", home_.path().toLocal8Bit());
}

void TestStartUp::init()
{
    settingsStore().SaveSetting("Comando", QString());
    QFile::remove(SingleInstance::activationRequestPath());
    QFile::remove(HandOver(settingsStore()).queuePath());
}

void TestStartUp::commandLine_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<bool>("debug");
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("path");
    QTest::newRow("nothing") << "" << false << "" << "";
    QTest::newRow("debug") << "-d" << true << "" << "";
    QTest::newRow("language") << "-Romanian" << false << "Romanian" << "";
    QTest::newRow("other case is a name") << "-spanish" << false << "" << "-spanish";
    QTest::newRow("two switches are a name") << "-d -French" << false << "" << "-d -French";
    QTest::newRow("quoted path") << "  \"/home/u/my plan.qvl\"  " << false << "" << "/home/u/my plan.qvl";
    QTest::newRow("blanks inside quotes") << "\" /s/a.qvl \"" << false << "" << "/s/a.qvl";
    QTest::newRow("every quote goes") << "/s/\"a\" b.qvl\"" << false << "" << "/s/a b.qvl";
}

void TestStartUp::commandLine()
{
    QFETCH(QString, line);
    QFETCH(bool, debug);
    QFETCH(QString, language);
    QFETCH(QString, path);
    const StartupOptions options = parseCommandLine(line);
    QCOMPARE(options.commandLine, line);
    QCOMPARE(options.debug, debug);
    QCOMPARE(options.language, language);
    QCOMPARE(options.stratPath, path);
}

// What went wrong choosing the language reaches the user or the log, and Qt's own buttons
// follow the pack's language.
void TestStartUp::languageReport()
{
    ScriptedPrompts prompts;
    LanguageStartup missing;
    missing.message = QStringLiteral("/q/lang doesn't exist.");
    reportLanguage(missing);
    QCOMPARE(prompts.messageTexts(), QStringList{missing.message});
    QCOMPARE(prompts.messages.first().icon, MessageIcon::Critical);

    LanguageStartup refused;
    refused.language = QStringLiteral("Spanish");
    refused.packFile = QStringLiteral("/q/lang/Spanish.lpk");
    refused.error = QStringLiteral("ends early at byte 40");
    setDebugEnabled(true);
    QVERIFY(IniciaDebug());
    reportLanguage(refused);
    setDebugEnabled(false);
    QFile log(debugLogPath());
    QVERIFY(log.open(QIODevice::ReadOnly));
    const QString logged = QString::fromLatin1(log.readAll());
    QVERIFY2(logged.contains("Spanish.lpk") && logged.contains(refused.error), qPrintable(logged));
    QCOMPARE(prompts.messages.size(), 1);

    QVERIFY(!installQtTranslations(refused)); // not loaded: Qt stays English
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    LanguageStartup loaded = refused;
    loaded.loaded = true;
    QVERIFY(installQtTranslations(loaded));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancelar"));
    QVERIFY(!installQtTranslations(refused));
}

void TestStartUp::pollerTakesCommands_data()
{
    QTest::addColumn<QString>("command");
    QTest::addColumn<QStringList>("opened");
    QTest::addColumn<int>("raised");
    QTest::newRow("nothing pending") << "" << QStringList{} << 0;
    QTest::newRow("path") << "/s/plan.qvl" << QStringList{"/s/plan.qvl"} << 1;
    QTest::newRow("quoted path") << "\"/s/my plan.qvl\" " << QStringList{"/s/my plan.qvl"} << 1;
    QTest::newRow("debug switch") << "-d" << QStringList{} << 1;
    QTest::newRow("language switch") << "-French" << QStringList{} << 1;
    QTest::newRow("any dash line") << "-x /s/plan.qvl" << QStringList{} << 1;
}

void TestStartUp::pollerTakesCommands()
{
    QFETCH(QString, command);
    QFETCH(QStringList, opened);
    QFETCH(int, raised);

    // Written the way another process writes it: behind the poller's back.
    {
        QSettings other("Quorvel", "Quorvel");
        other.setValue(QStringLiteral("Opções/Comando"), command);
    }
    CommandPoller poller;
    QStringList seen;
    int raises = 0;
    QObject::connect(&poller, &CommandPoller::openFile, [&](const QString &path) { seen.append(path); });
    QObject::connect(&poller, &CommandPoller::raise, [&] { ++raises; });
    QCOMPARE(poller.tmrCmd()->interval(), 200);
    poller.tmrCmd_Timer();
    poller.tmrCmd_Timer();

    QCOMPARE(seen, opened);
    QCOMPARE(raises, raised);
    QCOMPARE(settingsStore().GetSetting("Comando"), QString());
}

// The open runs the event loop (a dialog, a long read) and the timer ticks meanwhile: the
// open is not repeated, and what a second start hands over meanwhile opens after it.
void TestStartUp::slowOpenIsNotRepeated()
{
    settingsStore().SaveSetting("Comando", "/s/slow.qvl");
    CommandPoller poller;
    QStringList opened;
    bool first = true;
    QObject::connect(&poller, &CommandPoller::openFile, [&](const QString &path) {
        if (std::exchange(first, false)) {
            HandOver(settingsStore()).give("/s/during.qvl");
            poller.tmrCmd_Timer();
            HandOver(settingsStore()).give("/s/later.qvl");
            poller.tmrCmd_Timer();
        }
        opened.append(path); // the board is whole
    });
    poller.tmrCmd_Timer();
    poller.tmrCmd_Timer();
    QCOMPARE(opened, (QStringList{"/s/slow.qvl", "/s/during.qvl", "/s/later.qvl"}));
}

void TestStartUp::burstOfSecondStarts_data()
{
    QTest::addColumn<bool>("together");
    QTest::newRow("one after another, the poller ticking") << false;
    // All on their way at once while the running instance is busy: they reach the queue in any
    // order, and open in the order they were started.
    QTest::newRow("all at once, the poller busy") << true;
}

// A file manager opening several strats starts one process per file, closer together than the
// running instance's ticks: every name opens once, in the order of the starts.
void TestStartUp::burstOfSecondStarts()
{
    QFETCH(bool, together);
    QProcess first;
    startFirst(first);
    CommandPoller poller;
    QStringList opened;
    QObject::connect(&poller, &CommandPoller::openFile, [&](const QString &path) { opened.append(path); });
    poller.start();

    QStringList names;
    std::vector<std::unique_ptr<QProcess>> starts;
    for (int i = 0; i < 10; ++i) {
        names.append(QStringLiteral("/s/burst %1.qvl").arg(i));
        auto &second = starts.emplace_back(std::make_unique<QProcess>());
        second->setProcessEnvironment(helperEnvironment());
        second->start(QUORVEL_INSTANCE_HELPER, {names.last()});
        if (!together) // the poller ticks while the test waits
            QTRY_COMPARE_WITH_TIMEOUT(second->state(), QProcess::NotRunning, 20000);
    }
    for (auto &second : starts) {
        QVERIFY(second->state() == QProcess::NotRunning || second->waitForFinished(20000));
        QCOMPARE(second->exitCode(), 20);
    }
    QTRY_COMPARE_WITH_TIMEOUT(opened.size(), names.size(), 20000);
    QCOMPARE(opened, names);
    poller.tmrCmd_Timer();
    QCOMPARE(opened.size(), names.size());
    first.closeWriteChannel();
    QVERIFY(first.waitForFinished(10000));
}

void TestStartUp::fileSizeLimitFailsTheWrite_data()
{
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("text");
    QTest::newRow("picture") << "board.jpg" << "The picture could not be saved:";
    QTest::newRow("strat") << "example.qvl" << "There was an error writing the file."; // over the limit
}

void TestStartUp::fileSizeLimitFailsTheWrite()
{
    QFETCH(QString, kind);
    QFETCH(QString, text);
    // A start under "ulimit -f 1": the save fails with its error, and the program says so with
    // the file's name and lives; an old file stays whole.
    QTemporaryDir out;
    const QString target = out.filePath(kind), example = QUORVEL_PROGRAM_DIR "/Strats/Examples/example.qvl";
    const bool strat = kind.endsWith(".qvl");
    QVERIFY(!strat || QFile::copy(example, target));
    QProcessEnvironment env = helperEnvironment();
    env.insert(strat ? "QUORVEL_TEST_STRAT" : "QUORVEL_TEST_TARGET", target);
    env.insert("QUORVEL_HOME", QString::fromUtf8(testProgramFolder())); // its language pack: no message at start
    QProcess helper;
    helper.setProcessEnvironment(env);
    helper.setChildProcessModifier([] {
        const rlimit small{512, 512};
        ::setrlimit(RLIMIT_FSIZE, &small);
    });
    helper.start(QUORVEL_FILESIZE_HELPER, {});
    QVERIFY(helper.waitForFinished(60000));
    QCOMPARE(helper.exitStatus(), QProcess::NormalExit);
    QCOMPARE(helper.exitCode(), 1);
    const QString said = QString::fromLocal8Bit(helper.readAllStandardOutput());
    QVERIFY2(said.startsWith(text) && said.contains(target) && said.contains("File too large"), qPrintable(said));
    QCOMPARE(QDir(out.path()).entryList(QDir::Files), strat ? QStringList{kind} : QStringList());
    QCOMPARE(QFileInfo(target).size(), strat ? QFileInfo(example).size() : 0);
}

QProcessEnvironment TestStartUp::helperEnvironment() const
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("XDG_CONFIG_HOME", config_.path());
    env.insert("XDG_RUNTIME_DIR", runtime_.path());
    return env;
}

void TestStartUp::secondStartHandsOver_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("blanks") << "my plan.qvl";
    QTest::newRow("leading dash") << "-x.qvl"; // a first start opens it: no switch
}

void TestStartUp::startFirst(QProcess &first) const
{
    first.setProcessEnvironment(helperEnvironment());
    first.start(QUORVEL_INSTANCE_HELPER, {});
    QVERIFY(first.waitForStarted());
    QVERIFY(first.waitForReadyRead(10000));
    QCOMPARE(first.readLine().trimmed(), QByteArray("first"));
}

void TestStartUp::secondStartHandsOver()
{
    QFETCH(QString, name);
    QProcess first;
    startFirst(first);

    // A relative path names a file in the second start's folder, not the running one's.
    QTemporaryDir work;
    QProcess second;
    second.setProcessEnvironment(helperEnvironment());
    second.setWorkingDirectory(work.path());
    second.start(QUORVEL_INSTANCE_HELPER, {name});
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 20);

    // Without arguments nothing is stored, but the running instance is still asked forward.
    QProcess bare;
    bare.setProcessEnvironment(helperEnvironment());
    bare.start(QUORVEL_INSTANCE_HELPER, {});
    QVERIFY(bare.waitForFinished(10000));
    QCOMPARE(bare.exitCode(), 20);
    QCOMPARE(first.state(), QProcess::Running);

    CommandPoller poller;
    QStringList opened;
    int raises = 0;
    QObject::connect(&poller, &CommandPoller::openFile, [&](const QString &path) { opened.append(path); });
    QObject::connect(&poller, &CommandPoller::raise, [&] { ++raises; });
    poller.tmrCmd_Timer();
    poller.tmrCmd_Timer(); // a queue is taken once it stopped growing
    QCOMPARE(opened, QStringList{QDir(work.path()).absoluteFilePath(name)});
    QVERIFY(raises > 0);
    const int raised = raises;
    poller.tmrCmd_Timer();
    QCOMPARE(raises, raised);
    QCOMPARE(opened.size(), 1);

    // A lock left by a process that died is taken over by the next start.
    first.kill();
    QVERIFY(first.waitForFinished(10000));
    QProcess next;
    next.setProcessEnvironment(helperEnvironment());
    next.start(QUORVEL_INSTANCE_HELPER, {});
    QVERIFY(next.waitForReadyRead(10000));
    QCOMPARE(next.readLine().trimmed(), QByteArray("first"));
    next.closeWriteChannel();
    QVERIFY(next.waitForFinished(10000));
    QCOMPARE(next.exitCode(), 10);
}

void TestStartUp::instanceFolderIsTheUsersOwn_data()
{
    QTest::addColumn<QString>("kind");
    QTest::newRow("private") << "0700";
    QTest::newRow("writable by all") << "0777";
    QTest::newRow("a link to a private folder") << "link";
    QTest::newRow("another user's") << "other";
    // XDG_RUNTIME_DIR unset, and another user made the temp folder's runtime-<user> first.
    QTest::newRow("unset, planted in the temp folder") << "unset";
}

void TestStartUp::instanceFolderIsTheUsersOwn()
{
    QFETCH(QString, kind);
    QTemporaryDir top, data;
    const QString user = QString::fromLocal8Bit(::getpwuid(::geteuid())->pw_name);
    QString runtime = top.filePath(kind == "unset" ? "runtime-" + user : "runtime");
    QVERIFY(QDir().mkdir(runtime));
    const QByteArray made = QFile::encodeName(runtime);
    if (kind == "link") {
        runtime = top.filePath("link");
        QVERIFY(QFile::link(QFile::decodeName(made), runtime));
    } else if (kind.startsWith('0')) {
        QCOMPARE(::chmod(made.constData(), kind.toUInt(nullptr, 8)), 0);
    } else if (::chown(made.constData(), 65534, 65534) != 0 || ::chmod(made.constData(), 0777) != 0) {
        QSKIP("giving a folder to another user needs root");
    }
    const QByteArray oldRuntime = qgetenv("XDG_RUNTIME_DIR"), oldTemp = qgetenv("TMPDIR");
    auto restore = qScopeGuard([&] {
        qputenv("XDG_RUNTIME_DIR", oldRuntime);
        qputenv("TMPDIR", oldTemp);
    });
    // Qt's own fallback for a runtime folder it refuses lies in the temporary folder: this
    // test's, so that a Quorvel running meanwhile is not seen.
    qputenv("TMPDIR", top.path().toLocal8Bit());
    if (kind == "unset")
        qunsetenv("XDG_RUNTIME_DIR");
    else
        qputenv("XDG_RUNTIME_DIR", runtime.toLocal8Bit());
    qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
    QLockFile planted(runtime + "/Quorvel-" + qEnvironmentVariable("USER") + ".lock");
    QVERIFY(planted.tryLock(0));

    // Only a private runtime folder is used; otherwise a private one elsewhere, where a lock
    // planted by someone else stops no start.
    const bool used = kind == "0700";
    const QString folder = SingleInstance::instanceFolder();
    QVERIFY(SingleInstance::isPrivateFolder(folder));
    QCOMPARE(QFileInfo(folder).canonicalFilePath() == QFileInfo(runtime).canonicalFilePath(), used);
    if (kind == "unset")
        QVERIFY(folder.startsWith(data.path()));
    QCOMPARE(SingleInstance().isFirst(), !used);
}

void TestStartUp::requestIsNeverWrittenThroughALink()
{
    QTemporaryDir other;
    const QString victim = other.filePath("victim.txt"), path = SingleInstance::activationRequestPath();
    QFile f(victim);
    QVERIFY(f.open(QIODevice::WriteOnly) && f.write("keep") == 4);
    f.close();
    QVERIFY(QFile::link(victim, path));
    SingleInstance().requestActivation();
    QVERIFY(f.open(QIODevice::ReadOnly));
    QCOMPARE(f.readAll(), QByteArray("keep"));
    // A pipe in its place: no wait for a reader.
    QVERIFY(QFile::remove(path));
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    SingleInstance().requestActivation();
    QVERIFY(QFile::remove(path));
    SingleInstance().requestActivation();
    QVERIFY(SingleInstance::takeActivationRequest(path));
}

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
