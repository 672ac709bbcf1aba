#include "platform/HttpFetch.h"

#include <QSslSocket>
#include <QTimer>

#include <algorithm>
#include <utility>

namespace quorvel {

namespace {
constexpr int kMaxRedirects = 5;
constexpr qint64 kSocketBuffer = HttpFetch::kMaxHeadBytes; // what Qt reads ahead of us, at most
constexpr qint64 kMaxChunkLine = 256;                      // a chunk's size and its extensions

bool isWeb(const QUrl &url)
{
    const QString scheme = url.scheme().toLower();
    return url.isValid() && !url.host().isEmpty()
           && (scheme == QLatin1String("http") || scheme == QLatin1String("https"));
}
} // namespace

HttpFetch::HttpFetch(const QUrl &url, const Limits &limits, QObject *parent)
    : QObject(parent), limits_(limits), deadline_(new QTimer(this)), idle_(new QTimer(this))
{
    deadline_->setSingleShot(true);
    idle_->setSingleShot(true);
    connect(deadline_, &QTimer::timeout, this, [this] { abort(tr("The server did not answer in time.")); });
    connect(idle_, &QTimer::timeout, this, [this] { abort(tr("The server stopped answering.")); });
    if (limits_.deadlineMs > 0)
        deadline_->start(limits_.deadlineMs);
    // Never from inside the caller, even when the address is refused at once.
    QMetaObject::invokeMethod(this, [this, url] { start(url); }, Qt::QueuedConnection);
}

HttpFetch::~HttpFetch() { done_ = true; }

void HttpFetch::abort(const QString &error) { finish(false, error); }

void HttpFetch::start(const QUrl &url)
{
    if (done_)
        return;
    if (!isWeb(url))
        return finish(false, tr("Only http and https addresses can be fetched."));
    const bool secure = url.scheme().compare(QLatin1String("https"), Qt::CaseInsensitive) == 0;
    if (secure && !QSslSocket::supportsSsl())
        return finish(false, tr("Secure connections are not available."));
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
        socket_->deleteLater();
    }
    url_ = url;
    head_.clear();
    headBytes_ = 0;
    body_.clear();
    part_ = Part::Head;
    left_ = 0;
    socket_ = secure ? new QSslSocket(this) : new QTcpSocket(this);
    // Never less than a head line may hold: a line that fills it is too long.
    socket_->setReadBufferSize(kSocketBuffer);
    connect(socket_, &QTcpSocket::readyRead, this, [this] { readSome(); });
    connect(socket_, &QTcpSocket::disconnected, this, &HttpFetch::closed);
    connect(socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        if (error == QAbstractSocket::RemoteHostClosedError)
            closed();
        else
            finish(false, tr("The connection failed: %1").arg(socket_->errorString()));
    });
    const QByteArray path = url.path(QUrl::FullyEncoded).isEmpty() ? QByteArray("/")
                                                                   : url.path(QUrl::FullyEncoded).toLatin1();
    const QByteArray query = url.hasQuery() ? "?" + url.query(QUrl::FullyEncoded).toLatin1() : QByteArray();
    const int port = url.port(secure ? 443 : 80);
    const QByteArray name = url.host(QUrl::FullyEncoded).toLatin1();
    const QByteArray host = (name.contains(':') ? "[" + name + "]" : name)
                            + (url.port() < 0 ? QByteArray() : ":" + QByteArray::number(port));
    // HTTP/1.1, so that a body without a stated length comes in chunks whose end tells a whole
    // answer from a cut connection.
    const QByteArray request = "GET " + path + query + " HTTP/1.1\r\nHost: " + host
                               + "\r\nConnection: close\r\nAccept-Encoding: identity\r\n\r\n";
    if (auto *ssl = qobject_cast<QSslSocket *>(socket_)) {
        ssl->connectToHostEncrypted(url.host(), quint16(port));
        ssl->write(request);
    } else {
        socket_->connectToHost(url.host(), quint16(port));
        socket_->write(request);
    }
    if (limits_.idleMs > 0)
        idle_->start(limits_.idleMs);
}

bool HttpFetch::readSome()
{
    if (limits_.idleMs > 0)
        idle_->start(limits_.idleMs);
    for (;;) {
        Step step = Step::Wait;
        if (part_ == Part::Body || part_ == Part::ChunkData) {
            step = readBody();
        } else if (part_ != Part::Elsewhere) {
            const qint64 cap = part_ == Part::ChunkSize || part_ == Part::ChunkEnd ? kMaxChunkLine
                                                                                   : kMaxHeadBytes - headBytes_;
            QByteArray line;
            step = readLine(line, cap);
            if (step == Step::Next)
                step = takeLine(line);
        }
        if (step != Step::Next)
            return step == Step::Ended;
    }
}

// One line, taken only when it is whole, so that nothing past it is read; without its line end.
HttpFetch::Step HttpFetch::readLine(QByteArray &line, qint64 cap)
{
    const QString tooLong = tr("The server's answer is malformed or too long.");
    if (cap <= 0)
        return fail(tooLong);
    if (!socket_->canReadLine())
        return socket_->bytesAvailable() >= cap ? fail(tooLong) : Step::Wait;
    line = socket_->readLine(cap);
    if (!line.endsWith('\n'))
        return fail(tooLong);
    if (part_ == Part::Head || part_ == Part::Trailer)
        headBytes_ += line.size();
    line.chop(line.endsWith("\r\n") ? 2 : 1);
    return Step::Next;
}

HttpFetch::Step HttpFetch::takeLine(const QByteArray &line)
{
    const QString malformed = tr("The server's answer is malformed or too long.");
    switch (part_) {
    case Part::Head:
        if (!line.isEmpty()) {
            head_.append(line);
            return Step::Next;
        }
        return takeHead();
    case Part::ChunkSize: {
        bool numeric = false;
        const qint64 size = line.split(';').first().trimmed().toLongLong(&numeric, 16);
        if (!numeric || size < 0)
            return fail(malformed);
        if (size > limits_.maxBody - body_.size())
            return fail(tr("The answer is larger than %1 bytes.").arg(limits_.maxBody));
        left_ = size;
        part_ = size == 0 ? Part::Trailer : Part::ChunkData;
        return Step::Next;
    }
    case Part::ChunkEnd:
        if (!line.isEmpty())
            return fail(malformed);
        part_ = Part::ChunkSize;
        return Step::Next;
    case Part::Trailer:
        if (!line.isEmpty())
            return Step::Next;
        finish(true, QString());
        return Step::Ended;
    default:
        return Step::Wait;
    }
}

// The status line and the header lines are in: how the body comes, or where the fetch goes.
HttpFetch::Step HttpFetch::takeHead()
{
    const QString malformed = tr("The server's answer is malformed or too long.");
    if (head_.isEmpty())
        return fail(malformed);
    const QList<QByteArray> status = head_.first().trimmed().split(' ');
    bool numeric = false;
    const int code = status.value(1).toInt(&numeric);
    if (!status.first().startsWith("HTTP/1.") || !numeric)
        return fail(malformed);
    // An interim answer (100 Continue and the like) comes before the real one; its lines still
    // count against the head's cap.
    if (code >= 100 && code < 200 && code != 101) {
        head_.clear();
        return Step::Next;
    }
    QByteArray location;
    qint64 length = -1;
    QList<QByteArray> codings;
    for (const QByteArray &line : head_.mid(1)) {
        const qsizetype colon = line.indexOf(':');
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (colon <= 0)
            return fail(malformed);
        if (name == "content-length") {
            const qint64 stated = value.toLongLong(&numeric);
            if (!numeric || stated < 0)
                return fail(malformed);
            // Two lengths that disagree leave the body's end unknown.
            if (length >= 0 && stated != length)
                return fail(tr("The server stated two different lengths for its answer."));
            length = stated;
        }
        if (name == "transfer-encoding")
            codings.append(value);
        if (name == "location")
            location = value;
    }
    head_.clear();
    // Only chunks are read: any other transfer coding, alone or added to them, would pass its
    // framing off as the answer.
    const bool chunked = !codings.isEmpty();
    if (chunked && (codings.size() > 1 || codings.first().toLower() != "chunked"))
        return fail(tr("The server sent its answer in a transfer coding other than chunked: %1.")
                        .arg(QString::fromLatin1(codings.join(", "))));
    if ((code == 301 || code == 302 || code == 303 || code == 307 || code == 308) && !location.isEmpty()) {
        const QUrl next = url_.resolved(QUrl::fromEncoded(location));
        // Never on to another scheme, nor from https back to plain http.
        if (++redirects_ > kMaxRedirects || !isWeb(next)
            || (url_.scheme().toLower() == QLatin1String("https") && next.scheme().toLower() != QLatin1String("https")))
            return fail(tr("The server sent the fetch elsewhere."));
        part_ = Part::Elsewhere;
        socket_->disconnect(this);
        QMetaObject::invokeMethod(this, [this, next] { start(next); }, Qt::QueuedConnection);
        return Step::Wait;
    }
    if (code != 200)
        return fail(tr("The server answered %1.").arg(code));
    if (chunked) {
        part_ = Part::ChunkSize;
        return Step::Next;
    }
    // Without a length the body would end at the close, and a cut connection would look whole.
    if (length < 0)
        return fail(tr("The server did not say how long the answer is."));
    if (length > limits_.maxBody)
        return fail(tr("The answer is larger than %1 bytes.").arg(limits_.maxBody));
    part_ = Part::Body;
    left_ = length;
    return readBody();
}

HttpFetch::Step HttpFetch::readBody()
{
    if (left_ > 0) {
        const QByteArray got = socket_->read(std::min(left_, socket_->bytesAvailable()));
        if (got.isEmpty())
            return Step::Wait;
        body_ += got;
        left_ -= got.size();
        if (left_ > 0)
            return Step::Next;
    }
    if (part_ == Part::ChunkData) {
        part_ = Part::ChunkEnd;
        return Step::Next;
    }
    finish(true, QString()); // what follows the stated length is not the answer's
    return Step::Ended;
}

HttpFetch::Step HttpFetch::fail(const QString &error)
{
    finish(false, error);
    return Step::Ended;
}

void HttpFetch::closed()
{
    // Every whole answer has ended the fetch by its length or its last chunk.
    if (done_ || readSome() || part_ == Part::Elsewhere)
        return;
    finish(false, tr("The server closed the connection early."));
}

void HttpFetch::finish(bool ok, const QString &error)
{
    if (done_)
        return;
    done_ = true;
    deadline_->stop();
    idle_->stop();
    // The socket may be in the middle of emitting the signal that ended the fetch, and a
    // receiver of finished() may delete the fetch: the socket goes on its own, later.
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
        socket_->setParent(nullptr);
        std::exchange(socket_, nullptr)->deleteLater();
    }
    const QByteArray body = ok ? std::exchange(body_, QByteArray()) : QByteArray();
    body_.clear();
    emit finished(ok, body, error); // the last: a receiver may delete the fetch
}

} // namespace quorvel
