// Start-up: the command line, the debug log and the hand-over from a second start.

#include "TestFolders.h"
#include "common/Clock.h"
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
#include <QDeadlineTimer>
#include <QProcess>
#include <QRandomGenerator>
#include <QSettings>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include <memory>
#include <utility>
#include <vector>

#include <dlfcn.h>
#include <fcntl.h>
#include <pwd.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace quorvel;

// The next write into the file of inode queueInode runs beforeQueueWrite first.
static std::atomic<ino_t> queueInode = 0;
static std::function<void()> beforeQueueWrite;
extern "C" ssize_t write(int fd, const void *data, size_t size)
{
    static const auto real = reinterpret_cast<ssize_t (*)(int, const void *, size_t)>(::dlsym(RTLD_NEXT, "write"));
    struct stat st {};
    if (queueInode != 0 && ::fstat(fd, &st) == 0 && st.st_ino == queueInode && queueInode.exchange(0) != 0)
        beforeQueueWrite();
    return real(fd, data, size);
}

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
    void queueIsTakenInTurn();
    void lineIsGivenWhole();
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

namespace {
// Ticks enough for any queue to be taken, however young its entries.
void tickUntilTaken(CommandPoller &poller)
{
    for (int tick = 0; tick <= HandOver::kMaxHeldTicks; ++tick)
        poller.tmrCmd_Timer();
}
} // namespace

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
            QVERIFY(HandOver(settingsStore()).give("/s/during.qvl"));
            tickUntilTaken(poller);
            QVERIFY(HandOver(settingsStore()).give("/s/later.qvl"));
            tickUntilTaken(poller);
        }
        opened.append(path); // the board is whole
    });
    poller.tmrCmd_Timer();
    poller.tmrCmd_Timer();
    QCOMPARE(opened, (QStringList{"/s/slow.qvl", "/s/during.qvl", "/s/later.qvl"}));
}

// The running instance takes the queue under its lock, whole lines only, once its newest entry
// is a margin old, so that a start that began first but came late still opens first; an idle
// tick writes nothing; a lock held far past any hand-over is taken over with what it held.
void TestStartUp::queueIsTakenInTurn()
{
    ManualClock clock;
    clock.advanceNs(HandOver::bootClock().nsecsElapsed()); // after this process began
    HandOver taker(settingsStore(), QStringLiteral("Quorvel"), clock);
    const QByteArray path = QFile::encodeName(taker.queuePath());
    const auto line = [&](qint64 agoMs, int pid, const char *name) {
        const qint64 began = (clock.nsecsElapsed() / 1000000 - agoMs) * ::sysconf(_SC_CLK_TCK) / 1000;
        return QByteArray::number(began) + ' ' + QByteArray::number(pid) + ' ' + QUrl::toPercentEncoding(name) + '\n';
    };
    const auto add = [&](const QByteArray &bytes) {
        QFile queue(QFile::decodeName(path));
        QVERIFY(queue.open(QIODevice::Append) && queue.write(bytes) == bytes.size());
    };
    const auto holdLock = [&] {
        const int fd = ::open(path.constData(), O_RDWR | O_CREAT, 0600);
        return fd >= 0 && ::flock(fd, LOCK_EX) == 0 ? fd : -1;
    };

    int held = holdLock();
    QVERIFY(held >= 0);
    add(line(1500, 7, "/s/b.qvl") + "a b c\n1 2 /s/x.qvl\n-1 2 %2Fs%2Fy.qvl\n999999999999999999 5 %2Fs%2Fz.qvl\n"
        + "1 6 %2Fs%2F\xE9.qvl\n"); // the byte a Latin-1 locale calls a letter
    QCOMPARE(taker.take(), QStringList());
    clock.advanceMs(HandOver::kStuckLockMs - 100);
    QCOMPARE(taker.take(), QStringList()); // a second start may hold it yet
    ::close(held);

    add(line(100, 9, "/s/c.qvl"));
    QCOMPARE(taker.take(), QStringList());
    QCOMPARE(taker.take(), QStringList());
    add(line(3000, 8, "/s/a.qvl") + line(0, 3, "/s/cut.qvl").chopped(1));
    clock.advanceMs(HandOver::kSettleMs);
    QCOMPARE(taker.take(), QStringList());
    QCOMPARE(taker.take(), (QStringList{"/s/a.qvl", "/s/b.qvl", "/s/c.qvl"}));

    const auto written = [&] {
        struct stat st {};
        ::stat(path.constData(), &st);
        return std::tuple(st.st_size, st.st_ctim.tv_sec, st.st_ctim.tv_nsec,
                          QFileInfo(QSettings("Quorvel", "Quorvel").fileName()).lastModified());
    };
    const auto idle = written();
    taker.take();
    taker.take();
    QVERIFY(written() == idle && std::get<0>(idle) == 0);

    held = holdLock();
    add("1 4 %2Fs%2Fd.qvl\n");
    QCOMPARE(taker.take(), QStringList());
    clock.advanceMs(HandOver::kStuckLockMs);
    QCOMPARE(taker.take(), QStringList());
    QVERIFY(HandOver(settingsStore()).give("/s/e.qvl", 0)); // into the new queue at once
    ::close(held);
    clock.advanceMs(HandOver::kSettleMs);
    taker.take();
    QCOMPARE(taker.take(), (QStringList{"/s/d.qvl", "/s/e.qvl"}));
    add("1 4 %2Fs%2Fd.qvl\n"); // its start saw its queue replaced and wrote it again
    taker.take();
    QCOMPARE(taker.take(), QStringList());
}

// A start has handed its name over only once its line stands whole at the queue's name,
// whatever else writes into the queue or replaces it as the line is written.
void TestStartUp::lineIsGivenWhole()
{
    for (const QString meanwhile : {"a cut line before it", "stray bytes", "taken over"}) {
        ManualClock clock;
        clock.advanceNs(HandOver::bootClock().nsecsElapsed());
        HandOver taker(settingsStore(), QStringLiteral("Quorvel"), clock);
        QFile queue(taker.queuePath());
        struct stat st {};
        QVERIFY(queue.open(QIODevice::ReadWrite | QIODevice::Truncate) && queue.write(meanwhile.contains("cut") ? "7 7 %2Fs" : "junk\n") > 0
                && queue.flush() && ::fstat(queue.handle(), &st) == 0);
        beforeQueueWrite = [&] {
            if (meanwhile == "stray bytes") // a writer that takes no lock
                QVERIFY(queue.seek(4) && queue.write("x") == 1 && queue.flush());
            if (meanwhile != "taken over")
                return;
            taker.take(); // the lock found held a second later: a new queue at the name
            clock.advanceMs(HandOver::kStuckLockMs);
            taker.take();
        };
        queueInode = st.st_ino;
        QVERIFY(HandOver(settingsStore()).give("/s/whole.qvl") && queueInode == 0);
        QVERIFY(!meanwhile.contains("cut") || (queue.seek(0) && queue.readAll().count("whole") == 1)); // written once
        QStringList taken;
        for (int tick = 0; tick <= HandOver::kMaxHeldTicks; ++tick)
            taken += taker.take();
        QVERIFY2(taken == QStringList{"/s/whole.qvl"}, qPrintable(meanwhile + ": " + taken.join(' ')));
    }
}

void TestStartUp::burstOfSecondStarts_data()
{
    QTest::addColumn<QString>("obstacle");
    QTest::addColumn<bool>("mended");
    // Ten on their way at once while the running instance is busy: they reach the queue in any
    // order, and each opens once (the order is checked where the test steps the clock).
    QTest::newRow("all at once, the poller busy") << "" << true;
    // Three, whatever stands in the queue's place or holds its lock: the running instance mends
    // it or takes it over while the starts wait, and every name arrives.
    QTest::newRow("a link") << "link" << true;
    QTest::newRow("a pipe") << "pipe" << true;
    QTest::newRow("another user's file") << "foreign" << true;
    QTest::newRow("a full queue of garbage") << "full" << true;
    QTest::newRow("a stuck lock") << "lock" << true;
    // Nobody mends it: each start says which strat it could not hand over.
    QTest::newRow("a pipe, the instance not ticking") << "pipe" << false;
}

// A file manager opening several strats starts one process per file, closer together than the
// running instance's ticks: every name opens once.
void TestStartUp::burstOfSecondStarts()
{
    QFETCH(QString, obstacle);
    QFETCH(bool, mended);
    QProcess first;
    startFirst(first);
    CommandPoller poller;
    QStringList opened;
    QObject::connect(&poller, &CommandPoller::openFile, [&](const QString &path) { opened.append(path); });
    if (mended)
        poller.start();

    QTemporaryDir other;
    const QString queue = HandOver(settingsStore()).queuePath(), victim = other.filePath("victim");
    const QByteArray at = QFile::encodeName(queue);
    QFile victimFile(victim);
    QVERIFY(victimFile.open(QIODevice::WriteOnly) && victimFile.write("keep") == 4 && victimFile.flush());
    int held = -1;
    auto release = qScopeGuard([&] { ::close(held); });
    if (obstacle == "link") {
        QVERIFY(QFile::link(victim, queue));
    } else if (obstacle == "pipe") {
        QCOMPARE(::mkfifo(at.constData(), 0600), 0);
    } else if (obstacle == "foreign") {
        QVERIFY(QFile::copy(victim, queue));
        if (::chown(at.constData(), 65534, 65534) != 0)
            QSKIP("giving a file to another user needs root");
    } else if (obstacle == "full") {
        QFile full(queue);
        std::vector<quint32> garbage(HandOver::kMaxQueueBytes / 4 + 1);
        QRandomGenerator(7).fillRange(garbage.data(), qsizetype(garbage.size()));
        QVERIFY(full.open(QIODevice::WriteOnly) && full.write(reinterpret_cast<const char *>(garbage.data()), qint64(garbage.size()) * 4) > HandOver::kMaxQueueBytes);
    } else if (obstacle == "lock") {
        held = ::open(at.constData(), O_RDWR | O_CREAT, 0600);
        QVERIFY(held >= 0 && ::flock(held, LOCK_EX) == 0);
    }

    QStringList names;
    std::vector<std::unique_ptr<QProcess>> starts;
    QProcessEnvironment env = helperEnvironment();
    env.insert("QUORVEL_GIVE_WAIT_MS", mended ? "20000" : "300");
    for (int i = 0; i < (obstacle.isEmpty() ? 10 : mended ? 3 : 1); ++i) {
        names.append(QStringLiteral("/s/burst %1.qvl").arg(i));
        auto &second = starts.emplace_back(std::make_unique<QProcess>());
        second->setProcessEnvironment(env);
        second->start(QUORVEL_INSTANCE_HELPER, {names.last()});
    }
    // Busy: no tick while they arrive, long enough for every start to have given up if it did
    // not wait for the queue to be mended.
    const QDeadlineTimer busy(1500);
    for (auto &second : starts)
        second->waitForFinished(int(std::max<qint64>(busy.remainingTime(), 1)));
    for (std::size_t i = 0; i < starts.size(); ++i) {
        QProcess &second = *starts[i];
        QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 20000);
        QCOMPARE(second.exitCode(), mended ? 20 : 21);
        const QString said = QString::fromLocal8Bit(second.readAllStandardOutput());
        QVERIFY2(mended ? said.isEmpty() : said.contains(names[qsizetype(i)]) && said.endsWith(" [on top]\n"), qPrintable(said));
    }
    QVERIFY(mended || QFile::exists(SingleInstance::activationRequestPath()));
    if (mended)
        QTRY_COMPARE_WITH_TIMEOUT(opened.size(), names.size(), 20000);
    opened.sort();
    QCOMPARE(opened, mended ? names : QStringList());
    poller.tmrCmd_Timer();
    QCOMPARE(opened.size(), mended ? names.size() : 0);
    QCOMPARE(settingsStore().GetSetting("Comando"), QString());
    QCOMPARE(QFileInfo(victim).size(), 4);
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
    tickUntilTaken(poller);
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
    // A pipe in its place: no wait for a reader. A dangling link: replaced.
    QVERIFY(QFile::remove(path));
    QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    SingleInstance().requestActivation();
    QVERIFY(QFile::remove(path) && QFile::link(other.filePath("gone"), path));
    SingleInstance().requestActivation();
    QVERIFY(SingleInstance::takeActivationRequest(path));
}

QTEST_MAIN(TestStartUp)
#include "tst_startup.moc"
