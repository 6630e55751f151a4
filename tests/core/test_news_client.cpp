// The news client and the background request under it, against a local HTTP service on
// 127.0.0.1: the request sent, what is made of each reply, the cap on the text (also as
// decompressed), the poll rule, the time limits, and closing while a request is pending.

#include "core/services/background_request.h"
#include "core/services/news_client.h"
#include "local_http_server.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QtTest>

#include <zlib.h>

#include <limits>
#include <memory>

using Core::BackgroundRequest;
using Core::NewsClient;

namespace {

constexpr int NoItem = std::numeric_limits<int>::min();

HttpReply Reply(int status, const QByteArray& body, const QByteArray& newsId = QByteArray())
{
    HttpReply reply;
    reply.status = status;
    reply.body = body;
    if (!newsId.isNull())
        reply.headers.append({"NewsID", newsId});
    reply.respond = status > 0; // 0: a service that never answers
    return reply;
}

QUrl ClosedPort()
{
    QTcpServer probe; // a port that was just free and is closed again
    probe.listen(QHostAddress::LocalHost, 0);
    return QUrl(QStringLiteral("http://127.0.0.1:%1").arg(probe.serverPort()));
}

constexpr int GzipBits = 15 + 16; // zlib's window bits for the gzip wrapper
constexpr int ZlibBits = 15;

// `times` copies of `chunk`, deflated with the wrapper `windowBits` selects; the copies are fed one
// at a time, so a body that inflates to far more than memory holds can be made.
QByteArray Compressed(const QByteArray& chunk, int times, int windowBits)
{
    z_stream stream{};
    deflateInit2(&stream, Z_BEST_COMPRESSION, Z_DEFLATED, windowBits, 9, Z_RLE); // runs only: fast
    QByteArray out;
    char buffer[64 * 1024];
    for (int i = 0; i < times; ++i) {
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(chunk.data()));
        stream.avail_in = uInt(chunk.size());
        int status = Z_OK;
        do {
            stream.next_out = reinterpret_cast<Bytef*>(buffer);
            stream.avail_out = sizeof buffer;
            status = deflate(&stream, i + 1 == times ? Z_FINISH : Z_NO_FLUSH);
            out.append(buffer, int(sizeof buffer - stream.avail_out));
        } while (stream.avail_out == 0 || (i + 1 == times && status != Z_STREAM_END));
    }
    deflateEnd(&stream);
    return out;
}

// A field of /proc/self/status in kB.
qint64 MemoryKb(const QByteArray& field)
{
    QFile status(QStringLiteral("/proc/self/status"));
    status.open(QIODevice::ReadOnly);
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field + ':'))
            return line.mid(field.size() + 1).simplified().split(' ').value(0).toLongLong();
    return -1;
}

} // namespace

class TestNewsClient : public QObject
{
    Q_OBJECT

private slots:
    void replies_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("newsId"); // null: no header
        QTest::addColumn<int>("id");            // INT_MIN: no item
        QTest::addColumn<QString>("text");

        QTest::newRow("no NewsID header") << 200 << QByteArray("hello") << QByteArray() << 0 << "hello";
        QTest::newRow("NewsID not a number")
            << 200 << QByteArray("hello") << QByteArray("abc") << 0 << "hello";
        QTest::newRow("negative NewsID") << 200 << QByteArray("hello") << QByteArray("-3") << -3 << "hello";
        QTest::newRow("empty body") << 200 << QByteArray() << QByteArray("9") << NoItem << "";
        QTest::newRow("status 299 is an answer") << 299 << QByteArray("hi") << QByteArray("9") << 9 << "hi";
        QTest::newRow("status 300 is none") << 300 << QByteArray("moved") << QByteArray("9") << NoItem << "";
        QTest::newRow("not found") << 404 << QByteArray("missing") << QByteArray("9") << NoItem << "";
        QTest::newRow("markup stays text") << 200 << QByteArray("<b>Bold</b> <img src=\"x\">&amp;")
                                           << QByteArray("5") << 5 << "<b>Bold</b> <img src=\"x\">&amp;";
        QTest::newRow("utf-8 and line ends") << 200
                                             << QByteArray("Gr\xc3\xbc\xc3\x9f"
                                                           "e\r\nzwei\x01\tdrei\rvier")
                                             << QByteArray("6") << 6
                                             << QString::fromUtf8("Gr\xc3\xbc\xc3\x9f"
                                                                  "e\nzwei\tdrei\nvier");
        QTest::newRow("only control characters")
            << 200 << QByteArray("\x01\x02") << QByteArray("6") << NoItem << "";
        QTest::newRow("no service listening") << -1 << QByteArray() << QByteArray() << NoItem << "";
    }
    void replies()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, newsId);
        QFETCH(int, id);
        LocalHttpServer server;
        server.SetReply(Reply(status, body, newsId));
        NewsClient client(3, QStringLiteral("en-us"), status < 0 ? ClosedPort() : server.BaseUrl());
        int received = 0;
        connect(&client, &NewsClient::newsReceived, this, [&received] { ++received; });
        const bool item = id != NoItem;
        // The list is read while the fetch may be filling it on its own thread.
        QTRY_COMPARE(client.Items().size(), size_t(item));
        QVERIFY(client.WaitForFetch(10000));
        QCoreApplication::processEvents(); // delivers newsReceived, queued from the fetch's thread
        QCOMPARE(received, int(item));

        QCOMPARE(server.RequestCount(), int(status >= 0));
        for (const HttpRequest& request : server.Requests())
            QCOMPARE(std::make_tuple(request.method, request.path, request.Header("NewsId"),
                                     request.Header("LocalizationCode")),
                     std::make_tuple(QByteArray("GET"), QByteArray("/Services/News.ashx"), QByteArray("3"),
                                     QByteArray("en-us")));
        QCOMPARE(client.Items().size(), size_t(item));
        // Without a new message the last seen one stays the latest.
        QCOMPARE(client.LatestId(), item ? id : 3);
        QCOMPARE(client.Poll(0), item ? NewsClient::PollNewsAvailable : NewsClient::PollNoNews);
        QCOMPARE(client.CurrentNewsId(), item ? id : 0);
        if (item)
            QTEST(client.Items().front().text, "text");
    }

    // The message is cut at the cap, and a character the cap falls into is left out whole.
    void textCap_data()
    {
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("kept");
        const int cap = NewsClient::MaxTextBytes;
        const QByteArray a(cap, 'a');
        QTest::newRow("ascii at the cap") << a << a;
        QTest::newRow("ascii one past the cap") << a + "b" << a;
        for (const QByteArray& c :
             {QByteArray("\xc3\xa9"), QByteArray("\xe2\x82\xac"), QByteArray("\xf0\x9d\x84\x9e")}) {
            const QByteArray ending = a.left(cap - c.size()) + c;
            QTest::addRow("%d-byte character ending at the cap", int(c.size())) << ending + "zz" << ending;
            QTest::addRow("%d-byte character one byte past the cap", int(c.size()))
                << "a" + ending << "a" + ending.left(cap - c.size());
        }
    }
    void textCap()
    {
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, kept);
        LocalHttpServer server;
        server.SetReply(Reply(200, body, "11"));
        if (body.size() > NewsClient::MaxTextBytes)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("longer than"));
        NewsClient client(0, QStringLiteral("en-us"), server.BaseUrl());
        QVERIFY(client.WaitForFetch(10000));
        QCOMPARE(client.Items().size(), size_t(1));
        const QByteArray text = client.Items().front().text.toUtf8();
        QCOMPARE(text.size(), kept.size());
        QVERIFY(text == kept);
    }

    // A compressed message is inflated up to the cap and no further, whatever it would grow to; one
    // that cannot be decoded gives no item, with the reason logged.
    void compressedReplies_data()
    {
        QTest::addColumn<QByteArray>("encoding");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QString>("text");   // empty: no item
        QTest::addColumn<QString>("reason"); // logged when there is none
        const QByteArray hello = Compressed("hello", 1, GzipBits);
        const QByteArray bomb = Compressed(QByteArray(1 << 20, 'a'), 1024, GzipBits); // 1 GiB inflated
        const QString none;
        QTest::newRow("gzip") << QByteArray("gzip") << hello << "hello" << none;
        QTest::newRow("deflate") << QByteArray("Deflate") << Compressed("hello", 1, ZlibBits) << "hello"
                                 << none;
        QTest::newRow("gzip of 1 GiB is cut")
            << QByteArray("gzip") << bomb << QString(NewsClient::MaxTextBytes, 'a') << none;
        QTest::newRow("unknown encoding") << QByteArray("br") << QByteArray("hello") << none << "br";
        QTest::newRow("not gzip") << QByteArray("gzip") << QByteArray("hello") << none << "header";
        QTest::newRow("gzip cut short") << QByteArray("gzip") << hello.chopped(4) << none << "ends early";
    }
    void compressedReplies()
    {
        QFETCH(QByteArray, encoding);
        QFETCH(QByteArray, body);
        QFETCH(QString, text);
        QFETCH(QString, reason);
        LocalHttpServer server;
        HttpReply reply = Reply(200, body, "12");
        reply.headers.append({"Content-Encoding", encoding});
        server.SetReply(reply);
        if (!reason.isEmpty())
            QTest::ignoreMessage(QtDebugMsg, QRegularExpression("no news:.*" + reason));
        if (text.size() == NewsClient::MaxTextBytes)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("longer than"));

        QFile peak(QStringLiteral("/proc/self/clear_refs"));
        QVERIFY(peak.open(QIODevice::WriteOnly | QIODevice::Append) && peak.write("5") == 1); // resets VmHWM
        peak.close();
        const qint64 before = MemoryKb("VmRSS");
        NewsClient client(0, QStringLiteral("en-us"), server.BaseUrl());
        QVERIFY(client.WaitForFetch(10000));
        const qint64 grown = MemoryKb("VmHWM") - before;
        QVERIFY2(grown < 64 * 1024, qPrintable(QStringLiteral("%1 kB more at the peak").arg(grown)));

        QCOMPARE(client.Items().size(), size_t(!text.isEmpty()));
        if (!text.isEmpty())
            QVERIFY(client.Items().front().text == text);
    }

    void pollRule_data()
    {
        QTest::addColumn<QList<qint64>>("times");
        QTest::addColumn<QList<int>>("results");
        QTest::newRow("10 s apart") << QList<qint64>{1000, 1010} << QList<int>{2, 0};
        QTest::newRow("every 30 s") << QList<qint64>{1000, 1029, 1030, 1059, 1060}
                                    << QList<int>{2, 0, 2, 0, 2};
        QTest::newRow("rejected polls do not count")
            << QList<qint64>{1000, 1020, 1035} << QList<int>{2, 0, 2};
        QTest::newRow("clock set back") << QList<qint64>{1000, 400, 420} << QList<int>{2, 2, 0};
    }
    void pollRule()
    {
        QFETCH(QList<qint64>, times);
        QFETCH(QList<int>, results);
        NewsClient client(4, QStringLiteral("en-us"), QUrl()); // no address: nothing is fetched
        QVERIFY(!client.FetchStarted() && client.WaitForFetch(0));
        QCOMPARE(client.LatestId(), 4);
        for (int i = 0; i < times.size(); ++i)
            QCOMPARE(int(client.Poll(times[i])), results[i]);
    }

    // The request's own limit, made short: an answer within it counts, silence ends at it.
    void requestEndsAtItsTimeLimit_data()
    {
        QTest::addColumn<int>("status");
        QTest::newRow("answered within the limit") << 200;
        QTest::newRow("silent past the limit") << 0;
    }
    void requestEndsAtItsTimeLimit()
    {
        QFETCH(int, status);
        LocalHttpServer server;
        server.SetReply(Reply(status, "on time"));
        BackgroundRequest::Options options;
        options.url = server.BaseUrl();
        options.timeLimitMs = 1000;
        BackgroundRequest::Result result;
        QElapsedTimer elapsed;
        elapsed.start();
        auto request = BackgroundRequest::Start(options, [&result](const auto& r) { result = r; });
        QVERIFY(request->Wait(10000));
        QCOMPARE(std::make_tuple(result.succeeded, result.timedOut, result.cancelled),
                 std::make_tuple(status != 0, status == 0, false));
        QCOMPARE(result.body, status ? QByteArray("on time") : QByteArray());
        QVERIFY2(status || elapsed.elapsed() >= options.timeLimitMs,
                 qPrintable(QString::number(elapsed.elapsed())));
    }

    // Closing does not wait for a fetch the service never answers. (The limit that ends such a
    // request: requestEndsAtItsTimeLimit.)
    void closingDoesNotWaitForASilentService()
    {
        LocalHttpServer server;
        server.SetReply(Reply(0, QByteArray()));
        auto client = std::make_unique<NewsClient>(0, QStringLiteral("en-us"), server.BaseUrl());
        QTRY_COMPARE(server.RequestCount(), 1);
        QElapsedTimer elapsed;
        elapsed.start();
        client.reset();
        QVERIFY2(elapsed.elapsed() < 2500, qPrintable(QString::number(elapsed.elapsed())));
    }
};

QTEST_GUILESS_MAIN(TestNewsClient)
#include "test_news_client.moc"
