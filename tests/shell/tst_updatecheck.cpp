// The update check against a local HTTP server: the Version Check dialog, the start-up notice
// and what a click on either opens.

#include "StartedWindow.h"
#include "DialogScripts.h"
#include "OpenedUrls.h"
#include "TestFolders.h"
#include "LocalHttpServer.h"
#include "board/frmLink.h"
#include "ScriptedPrompts.h"
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

namespace {
const QString kNotice = QStringLiteral("A new version is available.\nClick here for details.");
const QMap<Status, QString> kStatusText{
    {Status::Newer, QStringLiteral("A new version is available for download.\nClick here to download.")},
    {Status::Current, QStringLiteral("You have the most current release.")},
    {Status::Failed, QStringLiteral("Could not check for a newer version.")},
    {Status::NoServer, QStringLiteral("No update server is set: Quorvel cannot check for a newer version.")}};
// Nothing listens on port 1 of the loopback: the connection is refused at once.
const QUrl kUnreachable(QStringLiteral("http://127.0.0.1:1"));
} // namespace

class TestUpdateCheck : public QObject {
    Q_OBJECT
private slots:
    void initTestCase()
    {
        useTestFolders(testProgramFolder(), config_);
        qunsetenv("http_proxy");
        settingsStore().SaveSetting(QStringLiteral("Dicas"), QStringLiteral("0"));
        QCOMPARE(localVersionText(), QStringLiteral(QUORVEL_EXPECTED_VERSION));
    }
    void comparison_data();
    void comparison()
    {
        QFETCH(QString, local);
        QFETCH(QString, fetched);
        QFETCH(bool, newer);
        QCOMPARE(isNewerVersion(local, fetched), newer);
    }
    void againstTheServer_data();
    void againstTheServer();
    void noServerMeansNoCheck();
    void endlessServer_data();
    void endlessServer();

private:
    QTemporaryDir config_;
    LocalHttpServer server_;
    OpenedUrls opened_;
};

void TestUpdateCheck::comparison_data()
{
    QTest::addColumn<QString>("local");
    QTest::addColumn<QString>("fetched");
    QTest::addColumn<bool>("newer");
    QTest::newRow("4.10 after 4.9") << "4.9" << "4.10" << true;
    QTest::newRow("4.9 before 4.10") << "4.10" << "4.9" << false;
    QTest::newRow("line end") << "4.0" << "4.0\n" << false;
    QTest::newRow("CR LF and blanks") << "4.0" << " 4.1\r\n" << true;
    QTest::newRow("page") << "4.0" << "<html>5.0</html>" << false;
}

void TestUpdateCheck::againstTheServer_data()
{
    QTest::addColumn<int>("status");
    QTest::addColumn<QByteArray>("body");
    QTest::addColumn<QByteArray>("where");
    QTest::addColumn<bool>("hang");
    QTest::addColumn<bool>("reachable");
    QTest::addColumn<QString>("serverText");
    QTest::addColumn<Status>("expected");
    QTest::addColumn<QString>("opens"); // what a click on the status line opens; "forum": the server's forum page
    const QByteArray web("https://quorvel.org/get\r\n");
    QTest::newRow("newer") << 200 << QByteArray("4.1") << web << false << true << "4.1" << Status::Newer
                           << "https://quorvel.org/get";
    QTest::newRow("4.10") << 200 << QByteArray("4.10\n") << QByteArray("file:///etc/passwd") << false << true << "4.10"
                          << Status::Newer << "forum";
    QTest::newRow("no download address") << 200 << QByteArray("5") << QByteArray() << false << true << "5"
                                         << Status::Newer << "forum";
    QTest::newRow("same") << 200 << QByteArray("4.0") << web << false << true << "4.0" << Status::Current << "";
    QTest::newRow("same, line end") << 200 << QByteArray("4.0\r\n") << web << false << true << "4.0" << Status::Current << "";
    QTest::newRow("older") << 200 << QByteArray("3.9") << web << false << true << "3.9" << Status::Current << "";
    QTest::newRow("404") << 404 << QByteArray("5.0") << web << false << true << "" << Status::Failed << "";
    QTest::newRow("empty") << 200 << QByteArray() << web << false << true << "" << Status::Failed << "";
    QTest::newRow("garbage") << 200 << QByteArray("<html>5.0</html>") << web << false << true << "<html>5.0</html>"
                             << Status::Failed << "";
    QTest::newRow("slow") << 200 << QByteArray("5.0") << web << true << true << "" << Status::Failed << "";
    QTest::newRow("unreachable") << 200 << QByteArray("5.0") << web << false << false << "" << Status::Failed << "";
}

void TestUpdateCheck::againstTheServer()
{
    QFETCH(int, status);
    QFETCH(QByteArray, body);
    QFETCH(QByteArray, where);
    QFETCH(bool, hang);
    QFETCH(bool, reachable);
    QFETCH(QString, serverText);
    QFETCH(Status, expected);
    QFETCH(QString, opens);
    server_.replies = {{"/currentversion.txt", {status, body, hang}},
                       {"/where.txt", {where.isEmpty() ? 404 : 200, where, hang}},
                       {"/versions.txt", {200, "4.1 faster playback\r\n4.0 first release\n\n3.9\n", hang}}};
    const UpdateSource source{reachable ? server_.url() : kUnreachable, hang ? 300 : 10000};

    // The dialog: up at once, filled in as the replies come.
    frmUpdate dialog(nullptr, source);
    QCOMPARE(dialog.Text1->text(), QStringLiteral("4.0"));
    QCOMPARE(dialog.status(), Status::Checking);
    QSignalSpy done(&dialog, &frmUpdate::checkFinished);
    QVERIFY(done.wait(20000));
    QCOMPARE(dialog.status(), expected);
    QCOMPARE(dialog.Text2->text(), serverText);
    QCOMPARE(dialog.Label3->text(), kStatusText[expected]);
    QStringList history;
    for (int i = 0; i < dialog.List1->count(); ++i)
        history << dialog.List1->item(i)->text();
    QCOMPARE(history, reachable && !hang ? QStringList({"4.1 faster playback", "4.0 first release", "", "3.9"})
                                         : QStringList());
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    opened_.urls.clear();
    QTest::mouseClick(dialog.Label3, Qt::LeftButton);
    QUrl forum = server_.url();
    forum.setPath(QStringLiteral("/viewforum.php"));
    forum.setQuery(QStringLiteral("f=9"));
    QCOMPARE(opened_.urls, opens.isEmpty() ? QList<QUrl>() : QList<QUrl>{opens == "forum" ? forum : QUrl(opens)});

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
    prompts.addDialog(closeBox());
    if (notice)
        QTest::mouseClick(w.help()->lblAutoCheck, Qt::LeftButton);
    QCOMPARE(prompts.dialogs.size(), notice ? 1 : 0);
    QVERIFY(!notice || prompts.dialogs[0].objectName == QLatin1String("frmUpdate"));
}

void TestUpdateCheck::noServerMeansNoCheck()
{
    qputenv("QUORVEL_UPDATE_SERVER", "");
    frmUpdate dialog;
    QCOMPARE(dialog.status(), Status::NoServer);
    QCOMPARE(dialog.Label3->text(), kStatusText[Status::NoServer]);

    // At start-up with the check on, nothing is fetched and the notice stays empty.
    settingsStore().SaveSetting(QStringLiteral("AutoCheck"), QStringLiteral("True"));
    ScriptedPrompts prompts;
    frmPrincipal w;
    loadAsStarted(w);
    QVERIFY(!w.findChild<UpdateClient *>(QStringLiteral("Inet1")));
    QVERIFY(w.help()->lblAutoCheck->text().isEmpty());

    // With a server, the load starts the check.
    qputenv("QUORVEL_UPDATE_SERVER", server_.url().toString().toUtf8());
    server_.replies = {{"/currentversion.txt", {200, "7.0", false}}};
    frmPrincipal on;
    QSignalSpy checked(on.help(), &HelpCommands::startUpCheckDone);
    loadAsStarted(on);
    QVERIFY(checked.wait(20000));
    QCOMPARE(on.help()->lblAutoCheck->text(), kNotice);
    qunsetenv("QUORVEL_UPDATE_SERVER");
}

void TestUpdateCheck::endlessServer_data()
{
    QTest::addColumn<bool>("headers");
    QTest::newRow("header lines") << true;
    QTest::newRow("body") << false;
}

void TestUpdateCheck::endlessServer()
{
    QFETCH(bool, headers);
    EndlessHttpServer server(headers);
    // Flooded at full speed, the header cap or the body cap ends the fetch long before the
    // time-out or the deadline could.
    UpdateClient client({server.url(), 60000, 60000});
    QSignalSpy fetched(&client, &UpdateClient::fetched);
    client.fetch(QStringLiteral("/currentversion.txt"));
    QVERIFY(fetched.wait(10000));
    QCOMPARE(fetched.at(0).at(1).toBool(), false);
    // What the client took is the cap and what the sockets hold, not what the server had to send.
    QVERIFY2(server.sent() < 16 * 1024 * 1024, QByteArray::number(server.sent()));
}

QTEST_MAIN(TestUpdateCheck)
#include "tst_updatecheck.moc"
