#pragma once
// A small HTTP server on 127.0.0.1 for the update check's tests: each path answers with a
// status and a body (404 when unknown), or never answers (a server slower than any time-out).

#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QUrl>

class LocalHttpServer : public QObject {
public:
    struct Reply {
        int status = 200;
        QByteArray body;
        bool hang = false;
    };
    QHash<QString, Reply> replies;

    LocalHttpServer()
    {
        connect(&server_, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *socket = server_.nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { serve(socket); });
            }
        });
        server_.listen(QHostAddress::LocalHost);
    }
    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(server_.serverPort())); }

private:
    void serve(QTcpSocket *socket)
    {
        QByteArray &request = pending_[socket];
        request += socket->readAll();
        if (!request.contains("\r\n\r\n"))
            return;
        const Reply reply = replies.value(QString::fromLatin1(request.split(' ').value(1)), Reply{404, "no", false});
        pending_.remove(socket);
        if (reply.hang)
            return;
        socket->write("HTTP/1.1 " + QByteArray::number(reply.status) + " X\r\nContent-Length: "
                      + QByteArray::number(reply.body.size()) + "\r\nConnection: close\r\n\r\n" + reply.body);
        socket->disconnectFromHost();
    }

    QTcpServer server_;
    QHash<QTcpSocket *, QByteArray> pending_;
};

#include <atomic>
#include <cerrno>
#include <thread>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

// A server that never stops talking, on a thread of its own so it sends as fast as the client
// reads: after the request, header lines without end (Headers) or a 200 reply whose body has no
// end (Body). It stops when the client goes away, when destroyed, or after 1 GB.
class EndlessHttpServer {
public:
    enum class Mode { Headers, Body };

    explicit EndlessHttpServer(Mode mode) : mode_(mode)
    {
        listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        ::bind(listener_, reinterpret_cast<sockaddr *>(&address), length);
        ::listen(listener_, 4);
        ::getsockname(listener_, reinterpret_cast<sockaddr *>(&address), &length);
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this] { run(); });
    }
    ~EndlessHttpServer()
    {
        stop_ = true;
        thread_.join();
        ::close(listener_);
    }
    QUrl url() const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port_)); }
    // The bytes the client took so far.
    qint64 sent() const { return sent_; }

private:
    bool wait(int fd, short events)
    {
        pollfd p{fd, events, 0};
        while (!stop_)
            if (::poll(&p, 1, 50) > 0)
                return true;
        return false;
    }
    void run()
    {
        if (!wait(listener_, POLLIN))
            return;
        const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        QByteArray request;
        char in[4096];
        while (!request.contains("\r\n\r\n") && wait(client, POLLIN)) {
            const ssize_t n = ::recv(client, in, sizeof in, 0);
            if (n <= 0)
                break;
            request.append(in, n);
        }
        QByteArray chunk = mode_ == Mode::Headers ? QByteArray("X-Padding: ").append(1000, 'h').append("\r\n").repeated(64)
                                                  : QByteArray(64 * 1024, 'b');
        QByteArray next = "HTTP/1.1 200 OK\r\n";
        if (mode_ == Mode::Body)
            next += "Content-Length: 1000000000000\r\n\r\n";
        while (sent_ < (qint64(1) << 30) && wait(client, POLLOUT)) {
            const ssize_t n = ::send(client, next.constData(), size_t(next.size()), MSG_NOSIGNAL | MSG_DONTWAIT);
            if (n < 0 && errno != EAGAIN)
                break;
            if (n > 0) {
                sent_ += n;
                next = next.mid(n);
            }
            if (next.isEmpty())
                next = chunk;
        }
        ::close(client);
    }

    Mode mode_;
    int listener_ = -1;
    quint16 port_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<qint64> sent_{0};
    std::thread thread_;
};
