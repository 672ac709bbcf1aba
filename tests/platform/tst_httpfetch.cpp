// The bounded fetch against a local server of the test's own: plain answers, redirects, and
// servers that flood, stall or lie.
#include "platform/HttpFetch.h"

#include "../shell/LocalHttpServer.h"

#include <QSignalSpy>
#include <QTest>

using namespace quorvel;

class TestHttpFetch : public QObject {
    Q_OBJECT
private slots:
    void fetch_data();
    void fetch();
};

void TestHttpFetch::fetch_data()
{
    QTest::addColumn<QString>("path"); // "flood headers", "flood body": the endless server
    QTest::addColumn<bool>("ok");
    QTest::addColumn<QString>("error"); // a part of the failure's text
    QTest::newRow("200") << "/a.txt" << true << "";
    QTest::newRow("404") << "/none" << false << "answered 404";
    QTest::newRow("over the cap") << "/big" << false << "larger than 1000 bytes";
    QTest::newRow("longer than said") << "/long" << true << "";
    QTest::newRow("shorter than said") << "/short" << false << "closed the connection early";
    QTest::newRow("chunked") << "/chunked" << false << "malformed";
    QTest::newRow("redirect") << "/moved" << true << "";
    QTest::newRow("redirect to a file") << "/tofile" << false << "elsewhere";
    QTest::newRow("redirect loop") << "/loop" << false << "elsewhere";
    QTest::newRow("silent") << "/silent" << false << "in time";
    QTest::newRow("file address") << "file:///etc/hostname" << false << "Only http and https";
    QTest::newRow("flood headers") << "flood headers" << false << "malformed or too long";
    QTest::newRow("flood body") << "flood body" << false << "larger than 1000 bytes";
}

void TestHttpFetch::fetch()
{
    QFETCH(QString, path);
    QFETCH(bool, ok);
    QFETCH(QString, error);
    LocalHttpServer server;
    server.replies = {{"/a.txt", {200, "4.1", false}},
                      {"/big", {200, QByteArray(1001, 'b'), false}},
                      {"/short", {200, "x", false}},
                      {"/long", {200, "4.1 and more", false}},
                      {"/chunked", {200, "3\r\n4.1\r\n0\r\n\r\n", false}},
                      {"/moved", {302, {}, false}},
                      {"/tofile", {301, {}, false}},
                      {"/loop", {307, {}, false}},
                      {"/silent", {200, {}, true}}};
    server.headers = {{"/short", "Content-Length: 5\r\n"},
                      {"/long", "Content-Length: 3\r\n"},
                      {"/chunked", "Transfer-Encoding: chunked\r\n"},
                      {"/moved", "Location: /a.txt\r\n"},
                      {"/tofile", "Location: file:///etc/hostname\r\n"},
                      {"/loop", "Location: /loop\r\n"}};
    EndlessHttpServer flood(path == QLatin1String("flood headers"));
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
