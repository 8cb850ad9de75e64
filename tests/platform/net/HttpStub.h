#pragma once
// A local HTTP server on 127.0.0.1 in the test's thread, served by the event loop
// the fetch waits in: each path answers with scripted raw bytes ("" never answers),
// all at once or trickled.

#include <QHash>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

class HttpStub : public QObject {
public:
    HttpStub() {
        server.listen(QHostAddress::LocalHost, 0);
        connect(&server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket *s = server.nextPendingConnection())
                connect(s, &QTcpSocket::readyRead, this, [this, s] { answer(s); });
        });
    }
    QString base() const { return QStringLiteral("http://127.0.0.1:%1").arg(server.serverPort()); }
    void stop() { server.close(); }
    static QByteArray reply(int status, const QByteArray &body, const QByteArray &extra = {}) {
        return "HTTP/1.1 " + QByteArray::number(status) + " X\r\nContent-Length: " + QByteArray::number(body.size()) +
               "\r\nConnection: close\r\n" + extra + "\r\n" + body;
    }
    QHash<QByteArray, QByteArray> replies; // path -> raw bytes ("" never answers)
    int trickleMs = 0; // > 0: the head at once, then one byte of the body each trickleMs
    QByteArray lastRequest;

private:
    void answer(QTcpSocket *s) {
        lastRequest = s->readAll();
        const QByteArray raw = replies.value(lastRequest.split(' ').value(1), reply(404, "missing"));
        if (raw.isEmpty()) return;
        if (trickleMs <= 0) {
            s->write(raw);
            return s->disconnectFromHost();
        }
        const qsizetype head = raw.indexOf("\r\n\r\n") + 4;
        s->write(raw.left(head));
        auto *timer = new QTimer(s);
        connect(timer, &QTimer::timeout, s, [s, timer, rest = raw.mid(head)]() mutable {
            if (rest.isEmpty()) {
                timer->stop();
                return s->disconnectFromHost();
            }
            s->write(rest.left(1));
            rest.remove(0, 1);
        });
        timer->start(trickleMs);
    }
    QTcpServer server;
};
