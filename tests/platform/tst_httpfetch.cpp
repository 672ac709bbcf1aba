// The bounded fetch against a local server of the test's own, plain and over TLS: plain
// answers, redirects, cut connections, and servers that flood, stall or lie.
#include "platform/HttpFetch.h"

#include "../shell/LocalHttpServer.h"

#include <QProcess>
#include <QRegularExpression>
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
    QTemporaryDir dir_;
    QSslConfiguration tls_;
};

// A certificate for 127.0.0.1 made for this run, which the fetches trust.
void TestHttpFetch::initTestCase()
{
    QProcess::execute("openssl", {"req", "-x509", "-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes",
                                  "-days", "2", "-subj", "/CN=127.0.0.1", "-addext", "subjectAltName=IP:127.0.0.1",
                                  "-keyout", dir_.filePath("key"), "-out", dir_.filePath("cert")});
    QFile key(dir_.filePath("key"));
    QVERIFY(key.open(QIODevice::ReadOnly));
    tls_.setLocalCertificate(QSslCertificate::fromPath(dir_.filePath("cert")).value(0));
    tls_.setPrivateKey(QSslKey(&key, QSsl::Ec));
    QVERIFY(!tls_.privateKey().isNull());
    QSslConfiguration client = QSslConfiguration::defaultConfiguration();
    client.addCaCertificate(tls_.localCertificate());
    QSslConfiguration::setDefaultConfiguration(client);
}

void TestHttpFetch::fetch_data()
{
    QTest::addColumn<QString>("path"); // "flood headers", "flood body": the endless server; "https /a.txt": over TLS
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("error"); // a part of the failure's text
    QTest::newRow("200") << "/a.txt" << true << "";
    QTest::newRow("404") << "/none" << false << "answered 404";
    QTest::newRow("over the cap") << "/big" << false << "larger than 1000 bytes";
    QTest::newRow("longer than said") << "/long" << true << "";
    QTest::newRow("shorter than said") << "/short" << false << "closed the connection early";
    QTest::newRow("chunked") << "/chunked" << true << "";
    QTest::newRow("chunks over the cap") << "/bigchunks" << false << "larger than 1000 bytes";
    QTest::newRow("cut, no length") << "/cut" << false << "did not say how long";
    QTest::newRow("cut mid-chunk") << "/chunkscut" << false << "closed the connection early";
    QTest::newRow("https") << "https /a.txt" << true << "";
    QTest::newRow("https cut, no length") << "https /cut" << false << "did not say how long";
    QTest::newRow("https cut mid-chunk") << "https /chunkscut" << false << "closed the connection early";
    QTest::newRow("redirect") << "/moved" << true << "";
    QTest::newRow("redirect to a file") << "/tofile" << false << "elsewhere";
    QTest::newRow("redirect loop") << "/loop" << false << "elsewhere";
    QTest::newRow("silent") << "/silent" << false << "in time";
    QTest::newRow("file address") << "file:///etc/hostname" << false << "Only http and https";
    QTest::newRow("flood headers") << "flood headers" << false << "malformed or too long";
    QTest::newRow("flood body") << "flood body" << false << "did not say how long";
    QTest::newRow("refused") << "http://127.0.0.1:1/" << false << "connection failed";
    QTest::newRow("https to a plain server") << "https flood headers" << false << "connection failed";
    QTest::newRow("after 100 Continue") << "/continue" << true << "";
    QTest::newRow("100s without end") << "/continues" << false << "malformed or too long";
    QTest::newRow("the same length twice") << "/twice" << true << "";
    QTest::newRow("two lengths") << "/twolengths" << false << "two different lengths";
    QTest::newRow("chunked, then identity") << "/reencoded" << false << "other than chunked: chunked, identity";
    QTest::newRow("gzip") << "/gzip" << false << "other than chunked: gzip";
}

void TestHttpFetch::fetch()
{
    QFETCH(QString, path);
    QFETCH(bool, ok);
    QFETCH(QString, error);
    QTest::failOnWarning(QRegularExpression("QIODevice")); // nothing read past what is there
    const bool secure = path.startsWith("https ");
    path.remove("https ");
    LocalHttpServer server(secure ? &tls_ : nullptr);
    server.replies = {{"/a.txt", {200, "4.1", false}},
                      {"/big", {200, QByteArray(1001, 'b'), false}},
                      {"/short", {200, "x", false, true}},
                      {"/long", {200, "4.1 and more", false, true}},
                      {"/chunked", {200, "2;x=y\r\n4.\r\n1\r\n1\r\n0\r\nX-Sum: 1\r\n\r\n", false, true}},
                      {"/bigchunks", {200, "200\r\n" + QByteArray(512, 'b') + "\r\n200\r\n", false, true}},
                      {"/cut", {200, "4.", false, true}},
                      {"/chunkscut", {200, "2\r\n4.\r\n", false, true}},
                      {"/moved", {302, {}, false}},
                      {"/tofile", {301, {}, false}},
                      {"/loop", {307, {}, false}},
                      {"/silent", {200, {}, true}},
                      {"/continue", {200, "4.1", false}},
                      {"/continues", {200, "4.1", false}},
                      {"/twice", {200, "4.1", false}},
                      {"/twolengths", {200, "4.1", false}},
                      {"/reencoded", {200, "3\r\n4.1\r\n0\r\n\r\n", false}},
                      {"/gzip", {200, "4.1", false}}};
    server.headers = {{"/short", "Content-Length: 5\r\n"},
                      {"/long", "Content-Length: 3\r\n"},
                      {"/chunked", "Transfer-Encoding: chunked\r\n"},
                      {"/bigchunks", "Transfer-Encoding: chunked\r\n"},
                      {"/chunkscut", "Transfer-Encoding: chunked\r\n"},
                      {"/moved", "Location: /a.txt\r\n"},
                      {"/tofile", "Location: file:///etc/hostname\r\n"},
                      {"/loop", "Location: /loop\r\n"},
                      {"/twice", "Content-Length: 3\r\n"},
                      {"/twolengths", "Content-Length: 4\r\n"},
                      {"/reencoded", "Transfer-Encoding: chunked\r\nTransfer-Encoding: identity\r\n"},
                      {"/gzip", "Transfer-Encoding: gzip\r\n"}};
    server.interim = {{"/continue", "HTTP/1.1 100 Continue\r\n\r\n"},
                      {"/continues", QByteArray("HTTP/1.1 100 Continue\r\n\r\n").repeated(1000)}};
    EndlessHttpServer flood(path == QLatin1String("flood headers"));
    QUrl url = path.startsWith(QLatin1String("flood")) ? flood.url() : server.url().resolved(QUrl(path));
    if (secure)
        url.setScheme("https"); // the flood server speaks no TLS
    // Nothing but the silent server waits for the deadline; the floods end on the caps. The
    // receiver deletes the fetch, as it may, whichever signal of the socket ended it.
    auto *fetch = new HttpFetch(url, {1000, path == QLatin1String("/silent") ? 200 : 60000, 0});
    QList<QVariantList> finished;
    connect(fetch, &HttpFetch::finished, this, [&](bool good, const QByteArray &body, const QString &text) {
        finished.append({good, body, text});
        delete fetch;
    });
    QTRY_VERIFY_WITH_TIMEOUT(!finished.isEmpty(), 10000);
    QCOMPARE(finished.count(), 1);
    QCOMPARE(finished.at(0).at(0).toBool(), ok);
    QCOMPARE(finished.at(0).at(1).toByteArray(), ok ? QByteArray("4.1") : QByteArray());
    QVERIFY2(finished.at(0).at(2).toString().contains(error), qPrintable(finished.at(0).at(2).toString()));
    // What the client took is the caps and what the sockets hold, not what a flood had to send.
    QVERIFY2(flood.sent() < 8 * 1024 * 1024, QByteArray::number(flood.sent()));
}

QTEST_MAIN(TestHttpFetch)
#include "tst_httpfetch.moc"
