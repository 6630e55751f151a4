#pragma once
// A small HTTP/1.1 server on 127.0.0.1 for the network tests, running on its own thread so that
// it keeps answering while the test's thread is blocked (for example in a destructor that waits
// for an upload). It records every request and answers each with the configured reply, or never
// answers at all (an unresponsive service).

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>
#include <QUrl>

#include <future>
#include <memory>
#include <mutex>

struct HttpRequest
{
    QByteArray method;
    QByteArray path;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;

    QByteArray Header(const QByteArray& name) const
    {
        for (const auto& h : headers)
            if (h.first.compare(name, Qt::CaseInsensitive) == 0)
                return h.second;
        return QByteArray();
    }
};

struct HttpReply
{
    int status = 200;
    QList<QPair<QByteArray, QByteArray>> headers;
    QByteArray body;
    bool respond = true; // false: read the request, then stay silent with the connection open
};

class LocalHttpServer : public QThread
{
public:
    LocalHttpServer()
    {
        std::future<quint16> listening = ready.get_future();
        start();
        port = listening.get();
    }
    ~LocalHttpServer() override
    {
        quit();
        wait();
        // The thread's last writes come over through the lock; Qt's join is out of TSan's sight.
        std::lock_guard<std::mutex> lock(mutex);
        requests.clear();
        nextReply = HttpReply();
    }

    QUrl BaseUrl() const { return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port)); }

    void SetReply(const HttpReply& reply)
    {
        std::lock_guard<std::mutex> lock(mutex);
        nextReply = reply;
    }
    QList<HttpRequest> Requests() const
    {
        std::lock_guard<std::mutex> lock(mutex);
        return requests;
    }
    int RequestCount() const { return Requests().size(); }

protected:
    void run() override
    {
        QTcpServer server;
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this, &server] {
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                auto buffer = std::make_shared<QByteArray>();
                QObject::connect(socket, &QTcpSocket::readyRead, socket,
                                 [this, socket, buffer] { OnData(socket, *buffer); });
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        ready.set_value(server.serverPort());
        exec();
    }

private:
    // Collects one request (headers, then Content-Length bytes of body) and answers it.
    void OnData(QTcpSocket* socket, QByteArray& buffer)
    {
        buffer += socket->readAll();
        const int headerEnd = buffer.indexOf("\r\n\r\n");
        if (headerEnd < 0)
            return;
        HttpRequest request;
        const QList<QByteArray> lines = buffer.left(headerEnd).split('\n');
        const QList<QByteArray> requestLine = lines.value(0).trimmed().split(' ');
        request.method = requestLine.value(0);
        request.path = requestLine.value(1);
        for (int i = 1; i < lines.size(); ++i) {
            const int colon = lines[i].indexOf(':');
            if (colon >= 0)
                request.headers.append({lines[i].left(colon).trimmed(), lines[i].mid(colon + 1).trimmed()});
        }
        const int contentLength = request.Header("Content-Length").toInt();
        if (buffer.size() < headerEnd + 4 + contentLength)
            return;
        request.body = buffer.mid(headerEnd + 4, contentLength);
        buffer.clear();

        HttpReply reply;
        {
            std::lock_guard<std::mutex> lock(mutex);
            requests.append(request);
            reply = nextReply;
        }
        if (!reply.respond)
            return;
        QByteArray out = "HTTP/1.1 " + QByteArray::number(reply.status) + " Status\r\n";
        for (const auto& h : reply.headers)
            out += h.first + ": " + h.second + "\r\n";
        out += "Content-Length: " + QByteArray::number(reply.body.size()) + "\r\nConnection: close\r\n\r\n";
        socket->write(out + reply.body);
        socket->disconnectFromHost();
    }

    mutable std::mutex mutex; // guards the two fields below
    QList<HttpRequest> requests;
    HttpReply nextReply;
    std::promise<quint16> ready;
    quint16 port = 0;
};
