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
