#pragma once
// A bounded HTTP GET over http or https. Whatever the server sends, a fetch holds at most the
// header cap and the body cap in memory and ends by its deadline.

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QUrl>

class QTcpSocket;
class QTimer;

namespace quorvel {

class HttpFetch : public QObject {
    Q_OBJECT
public:
    static constexpr qint64 kMaxHeadBytes = 16 * 1024; // status line and header lines together
    struct Limits {
        qint64 maxBody = 256 * 1024;
        int deadlineMs = 15000; // the whole fetch, redirects included; 0: the caller's own
        int idleMs = 60000;     // the longest silence of the server
    };

    // Starts at once; finished() comes exactly once, from the event loop or from abort().
    HttpFetch(const QUrl &url, const Limits &limits, QObject *parent = nullptr);
    ~HttpFetch() override;

    // Ends the fetch as a failure with the given reason (a no-op once finished).
    void abort(const QString &error);

signals:
    // ok only for a whole HTTP 200 body within the cap; otherwise the reason in words.
    void finished(bool ok, const QByteArray &body, const QString &error);

private:
    void start(const QUrl &url);
    void readSome();
    bool readHead();
    void closed();
    bool fail(const QString &error); // false, for the readers' early returns
    void finish(bool ok, const QString &error);

    Limits limits_;
    QUrl url_;
    QTcpSocket *socket_ = nullptr;
    QTimer *deadline_ = nullptr;
    QTimer *idle_ = nullptr;
    QByteArray head_;
    QByteArray body_;
    qint64 length_ = -1; // Content-Length, when the server gave one
    bool inBody_ = false;
    bool done_ = false;
    int redirects_ = 0;
};

} // namespace quorvel
