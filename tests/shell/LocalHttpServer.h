#pragma once
// A small HTTP server on 127.0.0.1 for the network tests, plain or over TLS: each path answers
// with a status and a body (404 when unknown), or never answers (a server slower than any
// time-out), or drops the connection after a body of no stated length.

#include <QHash>
#include <QSslServer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

class LocalHttpServer : public QObject {
public:
    struct Reply {
        int status = 200;
        QByteArray body;
        bool hang = false;
        bool cut = false; // no Content-Length of its own, and the connection dropped (no TLS close alert)
    };
    QHash<QString, Reply> replies;
    QHash<QString, QByteArray> headers; // a path's extra header lines, each ending in CR LF
    QHash<QString, QByteArray> interim; // what a path's answer follows (100 Continue, say)

    // Over TLS with tls's certificate and key, when given.
    explicit LocalHttpServer(const QSslConfiguration *tls = nullptr)
        : server_(tls ? new QSslServer(this) : new QTcpServer(this))
    {
        if (tls)
            static_cast<QSslServer *>(server_)->setSslConfiguration(*tls);
        connect(server_, &QTcpServer::pendingConnectionAvailable, this, [this] {
            while (QTcpSocket *socket = server_->nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
                serve(socket); // over TLS, the request may have come with the handshake
            }
        });
        server_->listen(QHostAddress::LocalHost);
    }
    QUrl url() const
    {
        return QUrl(QStringLiteral("%1://127.0.0.1:%2").arg(server_->inherits("QSslServer") ? "https" : "http").arg(server_->serverPort()));
    }

private:
    void serve(QTcpSocket *socket)
    {
        QByteArray &request = pending_[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        const QString path = QString::fromLatin1(request.split(' ').value(1));
        const Reply reply = replies.value(path, Reply{404, "no", false});
        pending_.remove(socket);
        if (reply.hang)
            return;
        const QByteArray length = "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\n";
        socket->write(interim.value(path) + "HTTP/1.1 " + QByteArray::number(reply.status) + " X\r\n" + (reply.cut ? QByteArray() : length)
                      + headers.value(path) + "Connection: close\r\n\r\n" + reply.body);
        if (!reply.cut)
            return socket->disconnectFromHost();
        socket->flush();
        socket->abort();
    }

    QTcpServer *server_;
    QHash<QTcpSocket *, QByteArray> pending_;
};

#include <atomic>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

// A server that never stops talking, on a thread of its own so it sends as fast as the client
// reads: after the request, header lines without end, or a body without end (and without a
// length, so only its growth can tell it is too big). It stops when the
// client goes away, or after 1 GB.
class EndlessHttpServer {
public:
    explicit EndlessHttpServer(bool headers)
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr *>(&address), length);
        ::listen(listener_, 1);
        ::getsockname(listener_, reinterpret_cast<sockaddr *>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this, headers] {
            client_ = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
            char request[4096];
            if (client_ < 0 || ::recv(client_, request, sizeof request, 0) <= 0)
                return;
            const QByteArray chunk = headers ? QByteArray("X-Padding: ").append(1000, 'h').append("\r\n").repeated(64)
                                             : QByteArray(64 * 1024, 'b');
            QByteArray next = headers ? "HTTP/1.1 200 OK\r\n" : "HTTP/1.1 200 OK\r\n\r\n";
            for (qsizetype at = 0; sent_ < (qint64(1) << 30); next = chunk, at = 0)
                for (ssize_t n = 0; at < next.size(); at += n, sent_ += n)
                    if ((n = ::send(client_, next.constData() + at, size_t(next.size() - at), MSG_NOSIGNAL)) <= 0)
                        return;
        });
    }
    ~EndlessHttpServer()
    {
        // Ends a wait for a client that never came; a client that left has ended the sending.
        ::shutdown(listener_, SHUT_RDWR);
        if (client_ >= 0)
            ::shutdown(client_, SHUT_RDWR);
        thread_.join();
        ::close(listener_);
        if (client_ >= 0)
            ::close(client_);
    }
    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port_)); }
    // The bytes the client took so far.
    qint64 sent() const { return sent_; }

private:
    int listener_ = -1;
    quint16 port_ = 0;
    std::atomic<int> client_{-1};
    std::atomic<qint64> sent_{0};
    std::thread thread_;
};
