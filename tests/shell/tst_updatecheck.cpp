// The update check against a local HTTP server: the Version Check dialog, the start-up notice
// and what a click on either opens.

#include "LocalHttpServer.h"
#include "board/frmLink.h"
#include "platform/ScriptedPrompts.h"
#include "platform/Settings.h"
#include "shell/HelpCommands.h"
#include "shell/frmPrincipal.h"
#include "shell/frmUpdate.h"

#include <QLineEdit>
#include <QListWidget>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace quorvel;

using Status = frmUpdate::Status;
Q_DECLARE_METATYPE(frmUpdate::Status)

namespace {
const QString kNotice = QStringLiteral("A new version is available.\nClick here for details.");
const QString kDownload = QStringLiteral("A new version is available for download.\nClick here to download.");
const QString kCurrent = QStringLiteral("You have the most current release.");
const QString kFailed = QStringLiteral("Could not check for a newer version.");

// An address where nothing listens.
QUrl unreachable()
{
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost);
    const quint16 port = probe.serverPort();
    probe.close();
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port));
}
} // namespace

class TestUpdateCheck : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void comparison_data();
    void comparison();
    void againstTheServer_data();
    void againstTheServer();
    void statusLineOpensOnlyTheDownload_data();
    void statusLineOpensOnlyTheDownload();
    void noServerMeansNoCheck();

private:
    void serve(int status, const QByteArray &body, bool hang);

    QTemporaryDir config_;
    LocalHttpServer server_;
    QList<QUrl> opened_;
};

void TestUpdateCheck::initTestCase()
{
    qputenv("QUORVEL_HOME", QUORVEL_PROGRAM_DIR);
    qputenv("XDG_CONFIG_HOME", config_.path().toUtf8());
    qputenv("XDG_DATA_HOME", config_.path().toUtf8());
    qunsetenv("http_proxy");
    qunsetenv("HTTP_PROXY");
    settingsStore().SaveSetting(QStringLiteral("Vez"), QStringLiteral("1"));
    settingsStore().SaveSetting(QStringLiteral("Dicas"), QStringLiteral("0"));
    shellOpener() = [this](const QUrl &url) {
        opened_ << url;
        return true;
    };
    QCOMPARE(localVersionText(), QStringLiteral(QUORVEL_EXPECTED_VERSION));
}

void TestUpdateCheck::comparison_data()
{
    QTest::addColumn<QString>("local");
    QTest::addColumn<QString>("fetched");
    QTest::addColumn<bool>("newer");
    QTest::newRow("newer minor") << "4.0" << "4.1" << true;
    QTest::newRow("newer major") << "4.0" << "5.0" << true;
    QTest::newRow("same") << "4.0" << "4.0" << false;
    QTest::newRow("older") << "4.0" << "3.9" << false;
    QTest::newRow("4.10 after 4.9") << "4.9" << "4.10" << true;
    QTest::newRow("4.9 before 4.10") << "4.10" << "4.9" << false;
    QTest::newRow("line end") << "4.0" << "4.0\n" << false;
    QTest::newRow("CR LF and blanks") << "4.0" << " 4.1\r\n" << true;
    QTest::newRow("empty") << "4.0" << "" << false;
    QTest::newRow("page instead") << "4.0" << "<html>5.0</html>" << false;
    QTest::newRow("trailing words") << "4.0" << "5.0 soon" << false;
    QTest::newRow("letters") << "4.0" << "new" << false;
}

void TestUpdateCheck::comparison()
{
    QFETCH(QString, local);
    QFETCH(QString, fetched);
    QFETCH(bool, newer);
    QCOMPARE(isNewerVersion(local, fetched), newer);
}

void TestUpdateCheck::serve(int status, const QByteArray &body, bool hang)
{
    server_.clear();
    server_.set(QStringLiteral("/currentversion.txt"), {status, body, hang});
    server_.set(QStringLiteral("/where.txt"), {200, "https://quorvel.org/download\r\n", hang});
    server_.set(QStringLiteral("/versions.txt"), {200, "4.1 faster playback\r\n4.0 first release\n\n3.9\n", hang});
}

void TestUpdateCheck::againstTheServer_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<bool>("hang");
    QTest::addColumn<bool>("reachable");
    QTest::addColumn<QString>("serverText");
    QTest::addColumn<Status>("expected");
    QTest::newRow("newer") << 200 << QByteArray("4.1") << false << true << "4.1" << Status::Newer;
    QTest::newRow("4.10") << 200 << QByteArray("4.10\n") << false << true << "4.10" << Status::Newer;
    QTest::newRow("same") << 200 << QByteArray("4.0") << false << true << "4.0" << Status::Current;
    QTest::newRow("same with line end") << 200 << QByteArray("4.0\r\n") << false << true << "4.0" << Status::Current;
    QTest::newRow("older") << 200 << QByteArray("3.9") << false << true << "3.9" << Status::Current;
    QTest::newRow("404") << 404 << QByteArray("5.0") << false << true << "" << Status::Failed;
    QTest::newRow("500") << 500 << QByteArray("5.0") << false << true << "" << Status::Failed;
    QTest::newRow("empty") << 200 << QByteArray() << false << true << "" << Status::Failed;
    QTest::newRow("garbage") << 200 << QByteArray("<html>\x01\xff</html>", 15) << false << true
                             << QString::fromUtf8(QByteArray("<html>\x01\xff</html>", 15)) << Status::Failed;
    QTest::newRow("slow") << 200 << QByteArray("5.0") << true << true << "" << Status::Failed;
    QTest::newRow("unreachable") << 200 << QByteArray("5.0") << false << false << "" << Status::Failed;
}

void TestUpdateCheck::againstTheServer()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(bool, hang);
    QFETCH(bool, reachable);
    QFETCH(QString, serverText);
    QFETCH(Status, expected);
    serve(status, body, hang);
    const UpdateSource source{reachable ? server_.url() : unreachable(), hang ? 300 : 10000};
    const bool gotHistory = reachable && !hang;

    // The dialog: up at once, filled in as the replies come.
    frmUpdate dialog(nullptr, source);
    QCOMPARE(dialog.Text1->text(), QStringLiteral("4.0"));
    QCOMPARE(dialog.status(), Status::Checking);
    QSignalSpy done(&dialog, &frmUpdate::checkFinished);
    QVERIFY(done.wait(20000));
    QCOMPARE(dialog.status(), expected);
    QCOMPARE(dialog.Text2->text(), serverText);
    const QString statusText = expected == Status::Newer     ? kDownload
                               : expected == Status::Current ? kCurrent
                                                             : kFailed;
    QCOMPARE(dialog.Label3->text(), statusText);
    QCOMPARE(dialog.Label3->toolTip(), expected == Status::Newer ? "https://quorvel.org/download" : "");
    QStringList history;
    for (int i = 0; i < dialog.List1->count(); ++i)
        history << dialog.List1->item(i)->text();
    QCOMPARE(history, gotHistory ? QStringList({"4.1 faster playback", "4.0 first release", "", "3.9"}) : QStringList());

    // The start-up notice, and what a click on it shows.
    ScriptedPrompts prompts;
    frmPrincipal w;
    QSignalSpy checked(w.help(), &HelpCommands::startUpCheckDone);
    w.help()->startUpCheck(source);
    QVERIFY(checked.wait(20000));
    const bool notice = expected == Status::Newer;
    QCOMPARE(w.help()->lblAutoCheck->text(), notice ? kNotice : QString());
    w.show();
    QVERIFY(QTest::qWaitForWindowExposed(&w));
    prompts.addDialog([](QDialog &) { return int(QDialog::Rejected); });
    if (notice)
        QTest::mouseClick(w.help()->lblAutoCheck, Qt::LeftButton);
    QCOMPARE(prompts.dialogs.size(), notice ? 1 : 0);
    if (notice)
        QCOMPARE(prompts.dialogs[0].objectName, QStringLiteral("frmUpdate"));
}

void TestUpdateCheck::statusLineOpensOnlyTheDownload_data()
{
    QTest::addColumn<QByteArray>("version");
    QTest::addColumn<int>("whereStatus");
    QTest::addColumn<QByteArray>("where");
    QTest::addColumn<QString>("opened"); // "" nothing; "forum" the server's forum page
    QTest::newRow("download page") << QByteArray("9.0") << 200 << QByteArray("https://quorvel.org/get\n") << "https://quorvel.org/get";
    QTest::newRow("plain http") << QByteArray("9.0") << 200 << QByteArray("http://mirror.quorvel.org/") << "http://mirror.quorvel.org/";
    QTest::newRow("no address") << QByteArray("9.0") << 404 << QByteArray() << "forum";
    QTest::newRow("local file") << QByteArray("9.0") << 200 << QByteArray("file:///etc/passwd") << "forum";
    QTest::newRow("program") << QByteArray("9.0") << 200 << QByteArray("/usr/bin/xterm") << "forum";
    QTest::newRow("current release") << QByteArray("4.0") << 200 << QByteArray("https://quorvel.org/get") << "";
}

void TestUpdateCheck::statusLineOpensOnlyTheDownload()
{
    QFETCH(QByteArray, version);
    QFETCH(int, whereStatus);
    QFETCH(QByteArray, where);
    QFETCH(QString, opened);
    server_.clear();
    server_.set(QStringLiteral("/currentversion.txt"), {200, version, false});
    server_.set(QStringLiteral("/where.txt"), {whereStatus, where, false});
    frmUpdate dialog(nullptr, UpdateSource{server_.url(), 10000});
    QSignalSpy done(&dialog, &frmUpdate::checkFinished);
    QVERIFY(done.wait(20000));
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    opened_.clear();
    QTest::mouseClick(dialog.Label3, Qt::LeftButton);
    QList<QUrl> expected;
    if (opened == QLatin1String("forum")) {
        QUrl forum = server_.url();
        forum.setPath(QStringLiteral("/viewforum.php"));
        forum.setQuery(QStringLiteral("f=9"));
        expected << forum;
    } else if (!opened.isEmpty()) {
        expected << QUrl(opened);
    }
    QCOMPARE(opened_, expected);
}

void TestUpdateCheck::noServerMeansNoCheck()
{
    qputenv("QUORVEL_UPDATE_SERVER", "");
    QVERIFY(!defaultUpdateSource().enabled());
    frmUpdate dialog;
    QCOMPARE(dialog.status(), Status::Failed);
    QCOMPARE(dialog.Label3->text(), kFailed);

    // At start-up with the check on, nothing is fetched and the notice stays empty.
    settingsStore().SaveSetting(QStringLiteral("AutoCheck"), QStringLiteral("True"));
    ScriptedPrompts prompts;
    frmPrincipal w;
    w.MDIForm_Load(QString());
    QVERIFY(!w.findChild<UpdateClient *>(QStringLiteral("Inet1")));
    QVERIFY(w.help()->lblAutoCheck->text().isEmpty());

    // With a server but the check off, nothing either; with it on, the load starts a fetch.
    qputenv("QUORVEL_UPDATE_SERVER", server_.url().toString().toUtf8());
    settingsStore().SaveSetting(QStringLiteral("AutoCheck"), QStringLiteral("False"));
    frmPrincipal off;
    off.MDIForm_Load(QString());
    QVERIFY(!off.findChild<UpdateClient *>(QStringLiteral("Inet1")));
    settingsStore().SaveSetting(QStringLiteral("AutoCheck"), QStringLiteral("True"));
    serve(200, "7.0", false);
    frmPrincipal on;
    QSignalSpy checked(on.help(), &HelpCommands::startUpCheckDone);
    on.MDIForm_Load(QString());
    QVERIFY(checked.wait(20000));
    QCOMPARE(on.help()->lblAutoCheck->text(), kNotice);
    qunsetenv("QUORVEL_UPDATE_SERVER");
}

QTEST_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
