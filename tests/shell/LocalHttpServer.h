#pragma once
// A small HTTP server on 127.0.0.1 for the update check's tests: each path answers with a
// status and a body, or never answers at all (a server slower than any time-out).

#include <QHash>
#include <QHostAddress>
#include <QObject>
#include <QStringList>
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
    void set(const QString &path, const Reply &reply) { replies_[path] = reply; }
    void clear() { replies_.clear(); }
    QStringList requested;

private:
    void serve(QTcpSocket *socket)
    {
        QByteArray &buffer = pending_[socket];
        buffer += socket->readAll();
        if (!buffer.contains("\r\n\r\n"))
            return;
        const QString path = QString::fromLatin1(buffer.split(' ').value(1));
        pending_.remove(socket);
        requested << path;
        const Reply reply = replies_.value(path, Reply{404, "Not Found", false});
        if (reply.hang)
            return;
        socket->write("HTTP/1.1 " + QByteArray::number(reply.status) + " Status\r\nContent-Type: text/plain\r\n"
                      "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\nConnection: close\r\n\r\n"
                      + reply.body);
        socket->disconnectFromHost();
    }

    QTcpServer server_;
    QHash<QString, Reply> replies_;
    QHash<QTcpSocket *, QByteArray> pending_;
};
