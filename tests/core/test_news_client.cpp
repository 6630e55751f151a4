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

using Core::NewsClient;

Q_DECLARE_METATYPE(HttpReply)

namespace {

constexpr int NoItem = std::numeric_limits<int>::min();

// The service's reply; status 0: a service that never answers.
HttpReply Reply(int status, const QByteArray& body, const QByteArray& newsId = QByteArray(),
                const QByteArray& encoding = QByteArray())
{
    HttpReply reply;
    reply.status = status;
    reply.body = body;
    if (!newsId.isNull())
        reply.headers.append({"NewsID", newsId});
    if (!encoding.isNull())
        reply.headers.append({"Content-Encoding", encoding});
    reply.respond = status > 0;
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
    // What is made of each reply: an item with its id and text, or none. The text is cut at the
    // cap, and a character the cap falls into is left out whole; a compressed one is inflated up
    // to the cap and no further, whatever it would grow to. One that cannot be decoded gives no
    // item, with the reason logged.
    void replies_data()
    {
        QTest::addColumn<HttpReply>("reply"); // status -1: no service listening
        QTest::addColumn<int>("id");          // NoItem: none
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("reason"); // logged when the text cannot be decoded
        const auto row = [](const QByteArray& name, const HttpReply& reply, int id,
                            const QByteArray& text = QByteArray(), const char* reason = "") {
            QTest::newRow(name.constData()) << reply << id << text << QString::fromLatin1(reason);
        };
        row("no NewsID header", Reply(200, "hello"), 0, "hello");
        row("NewsID not a number", Reply(200, "hello", "abc"), 0, "hello");
        row("negative NewsID", Reply(200, "hello", "-3"), -3, "hello");
        row("empty body", Reply(200, "", "9"), NoItem);
        row("status 299 is an answer", Reply(299, "hi", "9"), 9, "hi");
        row("status 300 is none", Reply(300, "moved", "9"), NoItem);
        row("not found", Reply(404, "missing", "9"), NoItem);
        row("utf-8 and line ends", Reply(200, "Gr\u00fc\u00dfe\r\nzwei\x01\tdrei\rvier", "6"), 6,
            "Gr\u00fc\u00dfe\nzwei\tdrei\nvier");
        row("only control characters", Reply(200, "\x01\x02", "6"), NoItem);
        row("no service listening", Reply(-1, ""), NoItem);

        const int cap = NewsClient::MaxTextBytes;
        const QByteArray a(cap, 'a'), hello = Compressed("hello", 1, GzipBits);
        row("ascii at the cap", Reply(200, a, "12"), 12, a);
        row("ascii one past the cap", Reply(200, a + "b", "12"), 12, a);
        for (const QByteArray& c :
             {QByteArray("\xc3\xa9"), QByteArray("\xe2\x82\xac"), QByteArray("\xf0\x9d\x84\x9e")}) {
            const QByteArray ending = a.left(cap - c.size()) + c, bytes = QByteArray::number(c.size());
            row(bytes + "-byte character ending at the cap", Reply(200, ending + "zz", "12"), 12, ending);
            row(bytes + "-byte character one byte past the cap", Reply(200, "a" + ending, "12"), 12,
                "a" + ending.left(cap - c.size()));
        }
        row("gzip", Reply(200, hello, "12", "gzip"), 12, "hello");
        row("deflate", Reply(200, Compressed("hello", 1, ZlibBits), "12", "Deflate"), 12, "hello");
        row("gzip of 1 GiB is cut", // 1 MiB fed 1024 times
            Reply(200, Compressed(QByteArray(1 << 20, 'a'), 1024, GzipBits), "12", "gzip"), 12, a);
        row("unknown encoding", Reply(200, "hello", "12", "br"), NoItem, "", "br");
        row("not gzip", Reply(200, "hello", "12", "gzip"), NoItem, "", "header");
        row("gzip cut short", Reply(200, hello.chopped(4), "12", "gzip"), NoItem, "", "ends early");
    }
    void replies()
    {
        QFETCH(HttpReply, reply);
        QFETCH(int, id);
        QFETCH(QByteArray, text);
        QFETCH(QString, reason);
        LocalHttpServer server;
        server.SetReply(reply);
        if (!reason.isEmpty())
            QTest::ignoreMessage(QtDebugMsg, QRegularExpression("no news:.*" + reason));
        const bool encoded = !reply.headers.isEmpty() && reply.headers.last().first == "Content-Encoding";
        if (encoded ? text.size() == NewsClient::MaxTextBytes : reply.body.size() > NewsClient::MaxTextBytes)
            QTest::ignoreMessage(QtWarningMsg, QRegularExpression("longer than"));

        QFile peak(QStringLiteral("/proc/self/clear_refs"));
        QVERIFY(peak.open(QIODevice::WriteOnly | QIODevice::Append) && peak.write("5") == 1); // resets VmHWM
        peak.close();
        const qint64 before = MemoryKb("VmRSS");
        NewsClient client(3, QStringLiteral("en-us"), reply.status < 0 ? ClosedPort() : server.BaseUrl());
        int received = 0;
        connect(&client, &NewsClient::newsReceived, this, [&received] { ++received; });
        const bool item = id != NoItem;
        // The list is read while the fetch may be filling it on its own thread.
        QTRY_COMPARE(client.Items().size(), size_t(item));
        QVERIFY(client.WaitForFetch(10000));
        const qint64 grown = MemoryKb("VmHWM") - before;
        QVERIFY2(grown < 64 * 1024, qPrintable(QStringLiteral("%1 kB more at the peak").arg(grown)));
        QCoreApplication::processEvents(); // delivers newsReceived, queued to the client's thread
        QCOMPARE(received, int(item));

        QCOMPARE(server.RequestCount(), int(reply.status >= 0));
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
        if (item) {
            const QByteArray got = client.Items().front().text.toUtf8();
            QCOMPARE(got.size(), text.size());
            QVERIFY(got == text);
        }
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

    // Against a service that reads the request and never answers: closing the client does not
    // wait for its fetch, and a request's own limit, made short, ends the silence. (An answer
    // within the limit: replies.)
    void silentService()
    {
        LocalHttpServer server;
        server.SetReply(Reply(0, QByteArray()));
        // Closing does not wait for the service to answer.
        auto client = std::make_unique<NewsClient>(0, QStringLiteral("en-us"), server.BaseUrl());
        QTRY_COMPARE(server.RequestCount(), 1);
        QElapsedTimer elapsed;
        elapsed.start();
        client.reset();
        QVERIFY2(elapsed.elapsed() < 2500, qPrintable(QString::number(elapsed.elapsed())));
        // A fetch left unanswered gives up at its time limit, with no news.
        elapsed.start();
        client = std::make_unique<NewsClient>(0, QStringLiteral("en-us"), server.BaseUrl());
        QVERIFY(client->WaitForFetch(NewsClient::FetchTimeLimitMs + 3000));
        QVERIFY2(elapsed.elapsed() >= NewsClient::FetchTimeLimitMs, qPrintable(QString::number(elapsed.elapsed())));
        QVERIFY(client->Items().empty());
    }
};

QTEST_GUILESS_MAIN(TestNewsClient)
#include "test_news_client.moc"
