// The bounded fetch against a local server of the test's own, plain and over TLS: plain
// answers, redirects, cut connections, and servers that flood, stall or lie.
#include "platform/HttpFetch.h"

#include "../shell/LocalHttpServer.h"

#include <QProcess>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSslKey>
#include <QTemporaryDir>
#include <QTest>

using namespace quorvel;

class TestHttpFetch : public QObject {
    Q_OBJECT
private slots:
    void initTestCase();
    void fetch_data();
    void fetch();

private:
    QSslConfiguration tls_;
};

// A certificate for 127.0.0.1 made for this run, which the fetches trust.
void TestHttpFetch::initTestCase()
{
    QTemporaryDir dir;
    QProcess openssl;
    openssl.start("openssl", {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                              "-days", "2", "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                              "-keyout", dir.filePath("key.pem"), "-out", dir.filePath("cert.pem")});
    QVERIFY2(openssl.waitForFinished(30000) && openssl.exitCode() == 0, openssl.readAllStandardError().constData());
    QFile cert(dir.filePath("cert.pem")), key(dir.filePath("key.pem"));
    QVERIFY(cert.open(QIODevice::ReadOnly) && key.open(QIODevice::ReadOnly));
    tls_ = QSslConfiguration::defaultConfiguration();
    tls_.setLocalCertificate(QSslCertificate(&cert));
    tls_.setPrivateKey(QSslKey(&key, QSsl::Ec));
    QVERIFY(!tls_.localCertificate().isNull() && !tls_.privateKey().isNull());
    QSslConfiguration client = QSslConfiguration::defaultConfiguration();
    client.addCaCertificate(tls_.localCertificate());
    QSslConfiguration::setDefaultConfiguration(client);
}

void TestHttpFetch::fetch_data()
{
    QTest::addColumn<QString>("path"); // "flood headers", "flood body", "flood chunks": the endless server
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("error"); // a part of the failure's text
    QTest::addColumn<bool>("secure");
    for (const bool secure : {false, true}) {
        const char *s = secure ? "https " : "";
        QTest::addRow("%s200", s) << "/a.txt" << true << "" << secure;
        QTest::addRow("%sshorter than said", s) << "/short" << false << "closed the connection early" << secure;
        QTest::addRow("%scut, no length", s) << "/cut" << false << "did not say how long" << secure;
        QTest::addRow("%scut mid-chunk", s) << "/chunkscut" << false << "closed the connection early" << secure;
        QTest::addRow("%schunked", s) << "/chunked" << true << "" << secure;
    }
    QTest::newRow("404") << "/none" << false << "answered 404" << false;
    QTest::newRow("over the cap") << "/big" << false << "larger than 1000 bytes" << false;
    QTest::newRow("longer than said") << "/long" << true << "" << false;
    QTest::newRow("chunks over the cap") << "/bigchunks" << false << "larger than 1000 bytes" << false;
    QTest::newRow("redirect") << "/moved" << true << "" << false;
    QTest::newRow("https redirect") << "/moved" << true << "" << true;
    QTest::newRow("redirect to a file") << "/tofile" << false << "elsewhere" << false;
    QTest::newRow("redirect loop") << "/loop" << false << "elsewhere" << false;
    QTest::newRow("silent") << "/silent" << false << "in time" << false;
    QTest::newRow("file address") << "file:///etc/hostname" << false << "Only http and https" << false;
    QTest::newRow("flood headers") << "flood headers" << false << "malformed or too long" << false;
    QTest::newRow("flood body") << "flood body" << false << "did not say how long" << false;
    QTest::newRow("flood chunks") << "flood chunks" << false << "larger than 1000 bytes" << false;
}

void TestHttpFetch::fetch()
{
    QFETCH(QString, path);
    QFETCH(bool, ok);
    QFETCH(QString, error);
    QFETCH(bool, secure);
    QTest::failOnWarning(QRegularExpression("QIODevice")); // nothing read past what is there
    LocalHttpServer server(secure ? &tls_ : nullptr);
    server.replies = {{"/a.txt", {200, "4.1", false}},
                      {"/big", {200, QByteArray(1001, 'b'), false}},
                      {"/short", {200, "x", false}},
                      {"/long", {200, "4.1 and more", false}},
                      {"/cut", {200, "4.", false, true}},
                      {"/chunkscut", {200, "2\r\n4.\r\n", false, true}},
                      {"/chunked", {200, "2;x=y\r\n4.\r\n1\r\n1\r\n0\r\nX-Sum: 1\r\n\r\n", false, true}},
                      {"/bigchunks", {200, "200\r\n" + QByteArray(512, 'b') + "\r\n200\r\n", false, true}},
                      {"/moved", {302, {}, false}},
                      {"/tofile", {301, {}, false}},
                      {"/loop", {307, {}, false}},
                      {"/silent", {200, {}, true}}};
    server.headers = {{"/short", "Content-Length: 5\r\n"},
                      {"/long", "Content-Length: 3\r\n"},
                      {"/chunkscut", "Transfer-Encoding: chunked\r\n"},
                      {"/chunked", "Transfer-Encoding: chunked\r\n"},
                      {"/bigchunks", "Transfer-Encoding: chunked\r\n"},
                      {"/moved", "Location: /a.txt\r\n"},
                      {"/tofile", "Location: file:///etc/hostname\r\n"},
                      {"/loop", "Location: /loop\r\n"}};
    EndlessHttpServer flood(path == QLatin1String("flood headers"), path == QLatin1String("flood chunks"));
    const QUrl url = path.startsWith(QLatin1String("flood")) ? flood.url() : server.url().resolved(QUrl(path));
    // Nothing but the silent server waits for the deadline; the floods end on the caps.
    HttpFetch fetch(url, {1000, path == QLatin1String("/silent") ? 200 : 60000, 0});
    QSignalSpy finished(&fetch, &HttpFetch::finished);
    QVERIFY(finished.wait(10000));
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toBool(), ok);
    QCOMPARE(finished.at(0).at(1).toByteArray(), ok ? QByteArray("4.1") : QByteArray());
    QVERIFY2(finished.at(0).at(2).toString().contains(error), qPrintable(finished.at(0).at(2).toString()));
    // What the client took is the caps and what the sockets hold, not what a flood had to send.
    QVERIFY2(flood.sent() < 8 * 1024 * 1024, QByteArray::number(flood.sent()));
}

QTEST_MAIN(TestHttpFetch)
#include "tst_httpfetch.moc"
