#pragma once
// A bounded HTTP GET over http or https. Whatever the server sends, a fetch holds at most the
// header cap and the body cap in memory and ends by its deadline.

#include <QByteArray>
#include <QList>
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
    // ok only for a whole HTTP 200 body within the cap, whole by its stated length or its
    // chunks' end (a connection cut before is a failure); otherwise the reason in words. The
    // last thing a fetch does: a receiver may delete it.
    void finished(bool ok, const QByteArray &body, const QString &error);

private:
    // Where the reading is: the head, a body of stated length, or a chunked body's parts.
    enum class Part { Head, Body, ChunkSize, ChunkData, ChunkEnd, Trailer, Elsewhere };
    // What one reading step left: more to read, a wait for the server, or the end of the fetch
    // (after which the fetch may be gone).
    enum class Step { Next, Wait, Ended };

    void start(const QUrl &url);
    bool readSome(); // true once the fetch has ended
    Step readLine(QByteArray &line, qint64 cap);
    Step takeLine(const QByteArray &line);
    Step takeHead();
    Step readBody();
    void closed();
    Step fail(const QString &error);
    void finish(bool ok, const QString &error);

    Limits limits_;
    QUrl url_;
    QTcpSocket *socket_ = nullptr;
    QTimer *deadline_ = nullptr;
    QTimer *idle_ = nullptr;
    QList<QByteArray> head_; // the status line and the header lines so far
    qint64 headBytes_ = 0;   // their size with the trailers', against kMaxHeadBytes
    QByteArray body_;
    Part part_ = Part::Head;
    qint64 left_ = 0; // what the body of stated length, or the chunk, still lacks
    bool done_ = false;
    int redirects_ = 0;
};

} // namespace quorvel
