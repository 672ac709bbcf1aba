#include "platform/HttpFetch.h"

#include <QSslSocket>
#include <QTimer>

namespace quorvel {

namespace {
constexpr int kMaxRedirects = 5;
constexpr qint64 kSocketBuffer = 16 * 1024; // what Qt reads ahead of us, at most

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
    body_.clear();
    length_ = -1;
    inBody_ = false;
    socket_ = secure ? new QSslSocket(this) : new QTcpSocket(this);
    socket_->setReadBufferSize(std::min(kSocketBuffer, std::max(limits_.maxBody, kMaxHeadBytes)));
    connect(socket_, &QTcpSocket::readyRead, this, &HttpFetch::readSome);
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
    // HTTP/1.0: the body comes whole up to the close, never in chunks.
    const QByteArray request = "GET " + path + query + " HTTP/1.0\r\nHost: " + host
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

void HttpFetch::readSome()
{
    if (limits_.idleMs > 0)
        idle_->start(limits_.idleMs);
    while (!done_) {
        if (!inBody_) {
            if (socket_->bytesAvailable() <= 0)
                return;
            head_ += socket_->read(kMaxHeadBytes + 4 - head_.size());
            if (!readHead())
                return;
            continue;
        }
        body_ += socket_->read(limits_.maxBody + 1 - body_.size());
        if (body_.size() > limits_.maxBody)
            return finish(false, tr("The answer is larger than %1 bytes.").arg(limits_.maxBody));
        if (length_ >= 0 && body_.size() >= length_) {
            body_.truncate(length_); // what follows the stated length is not the answer's
            return finish(true, QString());
        }
        if (socket_->bytesAvailable() <= 0)
            return;
    }
}

// Takes the status line and the header lines once they are all in; false while they are not,
// or when the fetch has ended on them.
bool HttpFetch::readHead()
{
    const QString malformed = tr("The server's answer is malformed or too long.");
    const qsizetype end = head_.indexOf("\r\n\r\n");
    if (end < 0 || end > kMaxHeadBytes) {
        return head_.size() > kMaxHeadBytes ? fail(malformed) : false;
    }
    body_ = head_.mid(end + 4);
    const QList<QByteArray> lines = head_.left(end).split('\n');
    head_.clear();
    inBody_ = true;
    const QList<QByteArray> status = lines.first().trimmed().split(' ');
    bool numeric = false;
    const int code = status.value(1).toInt(&numeric);
    if (!status.first().startsWith("HTTP/1.") || !numeric)
        return fail(malformed);
    QByteArray location;
    for (const QByteArray &line : lines.mid(1)) {
        const qsizetype colon = line.indexOf(':');
        const QByteArray name = line.left(colon).trimmed().toLower();
        const QByteArray value = line.mid(colon + 1).trimmed();
        if (colon <= 0)
            return fail(malformed);
        if (name == "content-length" && (length_ = value.toLongLong(&numeric), !numeric || length_ < 0))
            return fail(malformed);
        if (name == "transfer-encoding" && value.toLower() != "identity")
            return fail(malformed);
        if (name == "location")
            location = value;
    }
    if ((code == 301 || code == 302 || code == 303 || code == 307 || code == 308) && !location.isEmpty()) {
        const QUrl next = url_.resolved(QUrl::fromEncoded(location));
        // Never on to another scheme, nor from https back to plain http.
        if (++redirects_ > kMaxRedirects || !isWeb(next)
            || (url_.scheme().toLower() == QLatin1String("https") && next.scheme().toLower() != QLatin1String("https")))
            return fail(tr("The server sent the fetch elsewhere."));
        QMetaObject::invokeMethod(this, [this, next] { start(next); }, Qt::QueuedConnection);
        socket_->disconnect(this);
        return false;
    }
    if (code != 200)
        return fail(tr("The server answered %1.").arg(code));
    if (length_ > limits_.maxBody)
        return fail(tr("The answer is larger than %1 bytes.").arg(limits_.maxBody));
    return true;
}

bool HttpFetch::fail(const QString &error)
{
    finish(false, error);
    return false;
}

void HttpFetch::closed()
{
    if (done_)
        return;
    readSome();
    if (done_)
        return;
    if (!inBody_ || (length_ >= 0 && body_.size() < length_))
        finish(false, tr("The server closed the connection early."));
    else
        finish(true, QString());
}

void HttpFetch::finish(bool ok, const QString &error)
{
    if (done_)
        return;
    done_ = true;
    deadline_->stop();
    idle_->stop();
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
    }
    emit finished(ok, ok ? body_ : QByteArray(), error);
    body_.clear();
}

} // namespace quorvel
