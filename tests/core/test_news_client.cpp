// The news client against a local HTTP service on 127.0.0.1: the request it sends, what it makes
// of the replies, the poll rule, the time limit, and closing while a request is pending.

#include "core/news_client.h"
#include "local_http_server.h"

#include <QElapsedTimer>
#include <QTcpServer>
#include <QtTest>

#include <memory>

using Core::NewsClient;

namespace {

HttpReply Reply(int status, const QByteArray& body, const QByteArray& newsId = QByteArray())
{
    HttpReply reply;
    reply.status = status;
    reply.body = body;
    if (!newsId.isNull())
        reply.headers.append({"NewsID", newsId});
    return reply;
}

} // namespace

class TestNewsClient : public QObject
{
    Q_OBJECT

private slots:
    void requestAndItem()
    {
        LocalHttpServer server;
        server.SetReply(Reply(200, "New lessons are here.", "42"));
        NewsClient client(7, QStringLiteral("en-us"), server.BaseUrl());
        int received = 0;
        connect(&client, &NewsClient::newsReceived, this, [&received] { ++received; });
        // Read the list while the fetch may be filling it on its own thread.
        QTRY_VERIFY(client.LatestId() == 42 && !client.Items().empty());
        QTRY_COMPARE(received, 1);

        const QList<HttpRequest> requests = server.Requests();
        QCOMPARE(requests.size(), 1);
        QCOMPARE(requests.first().method, QByteArray("GET"));
        QCOMPARE(requests.first().path, QByteArray("/Services/News.ashx"));
        QCOMPARE(requests.first().Header("NewsId"), QByteArray("7"));
        QCOMPARE(requests.first().Header("LocalizationCode"), QByteArray("en-us"));

        const auto items = client.Items();
        QCOMPARE(items.size(), size_t(1));
        QCOMPARE(items.front().id, 42);
        QCOMPARE(items.front().text, QStringLiteral("New lessons are here."));
        QCOMPARE(client.LatestId(), 42);
        QCOMPARE(client.Poll(), NewsClient::PollNewsAvailable);
        QCOMPARE(client.CurrentNewsId(), 42);
    }

    void replies_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QByteArray>("body");
        QTest::addColumn<QByteArray>("newsId"); // null: no header
        QTest::addColumn<bool>("item");
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("text");

        QTest::newRow("no NewsID header")
            << 200 << QByteArray("hello") << QByteArray() << true << 0 << "hello";
        QTest::newRow("NewsID not a number")
            << 200 << QByteArray("hello") << QByteArray("abc") << true << 0 << "hello";
        QTest::newRow("negative NewsID")
            << 200 << QByteArray("hello") << QByteArray("-3") << true << -3 << "hello";
        QTest::newRow("empty body") << 200 << QByteArray() << QByteArray("9") << false << 0 << "";
        QTest::newRow("not found") << 404 << QByteArray("missing") << QByteArray("9") << false << 0 << "";
        QTest::newRow("redirect") << 302 << QByteArray("moved") << QByteArray("9") << false << 0 << "";
        QTest::newRow("server error") << 500 << QByteArray("oops") << QByteArray("9") << false << 0 << "";
        QTest::newRow("markup stays text")
            << 200 << QByteArray("<b>Bold</b> <img src=\"x\">&amp;") << QByteArray("5") << true << 5
            << "<b>Bold</b> <img src=\"x\">&amp;";
        QTest::newRow("utf-8 and line ends") << 200
                                             << QByteArray("Gr\xc3\xbc\xc3\x9f"
                                                           "e\r\nzwei\x01\tdrei")
                                             << QByteArray("6") << true << 6
                                             << QString::fromUtf8("Gr\xc3\xbc\xc3\x9f"
                                                                  "e\nzwei\tdrei");
        QTest::newRow("only control characters")
            << 200 << QByteArray("\x01\x02") << QByteArray("6") << false << 0 << "";
    }

    void replies()
    {
        QFETCH(int, status);
        QFETCH(QByteArray, body);
        QFETCH(QByteArray, newsId);
        QFETCH(bool, item);
        QFETCH(int, id);
        QFETCH(QString, text);

        LocalHttpServer server;
        server.SetReply(Reply(status, body, newsId));
        NewsClient client(3, QStringLiteral("en-us"), server.BaseUrl());
        int received = 0;
        connect(&client, &NewsClient::newsReceived, this, [&received] { ++received; });
        QVERIFY(client.WaitForFetch(10000));
        QCOMPARE(server.RequestCount(), 1);
        QCoreApplication::processEvents(); // deliver a queued newsReceived, if any

        const auto items = client.Items();
        QCOMPARE(items.size(), size_t(item ? 1 : 0));
        QCOMPARE(received, item ? 1 : 0);
        if (item) {
            QCOMPARE(items.front().id, id);
            QCOMPARE(items.front().text, text);
            QCOMPARE(client.LatestId(), id);
            QCOMPARE(client.Poll(0), NewsClient::PollNewsAvailable);
        } else {
            QCOMPARE(client.LatestId(), 3); // nothing new: the last seen message stays the latest
            QCOMPARE(client.Poll(0), NewsClient::PollNoNews);
        }
    }

    void longMessageIsCapped()
    {
        // One byte, then two-byte characters: the cap at 64 KiB falls inside a character.
        QByteArray body = "x";
        for (int i = 0; i < 35000; ++i)
            body += "\xc3\xa9";
        LocalHttpServer server;
        server.SetReply(Reply(200, body, "11"));
        NewsClient client(0, QStringLiteral("en-us"), server.BaseUrl());
        QVERIFY(client.WaitForFetch(10000));
        const auto items = client.Items();
        QCOMPARE(items.size(), size_t(1));
        QCOMPARE(items.front().id, 11);
        const QString& text = items.front().text;
        QCOMPARE(text.toUtf8().size(), NewsClient::MaxTextBytes - 1);
        QVERIFY(!text.contains(QChar::ReplacementCharacter));
        QVERIFY(text.endsWith(QChar(0xe9)));
    }

    void serviceUnreachable()
    {
        quint16 port = 0;
        {
            QTcpServer probe; // a port that was just free and is closed again
            QVERIFY(probe.listen(QHostAddress::LocalHost, 0));
            port = probe.serverPort();
        }
        NewsClient client(4, QStringLiteral("en-us"), QUrl(QStringLiteral("http://127.0.0.1:%1").arg(port)));
        QVERIFY(client.WaitForFetch(10000));
        QVERIFY(client.Items().empty());
        QCOMPARE(client.Poll(), NewsClient::PollNoNews);
        QCOMPARE(client.LatestId(), 4);
    }

    void nothingConfiguredNothingFetched()
    {
        NewsClient client(12, QStringLiteral("en-us"), QUrl());
        QVERIFY(!client.FetchStarted());
        QVERIFY(client.WaitForFetch(0));
        QCOMPARE(client.Poll(), NewsClient::PollNoNews);
        QCOMPARE(client.LatestId(), 12);
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
        NewsClient client(0, QStringLiteral("en-us"), QUrl());
        for (int i = 0; i < times.size(); ++i)
            QCOMPARE(int(client.Poll(times[i])), results[i]);
    }

    void fetchGivesUpAtTimeLimit()
    {
        LocalHttpServer server;
        HttpReply silent;
        silent.respond = false;
        server.SetReply(silent);
        QElapsedTimer elapsed;
        elapsed.start();
        NewsClient client(0, QStringLiteral("en-us"), server.BaseUrl());
        QVERIFY(client.WaitForFetch(NewsClient::FetchTimeLimitMs + 3000));
        QVERIFY2(elapsed.elapsed() >= NewsClient::FetchTimeLimitMs,
                 qPrintable(QString::number(elapsed.elapsed())));
        QVERIFY(client.Items().empty());
        QCOMPARE(server.RequestCount(), 1);
    }

    void closingWhileRequestPending()
    {
        LocalHttpServer server;
        HttpReply silent;
        silent.respond = false;
        server.SetReply(silent);
        auto client = std::make_unique<NewsClient>(0, QStringLiteral("en-us"), server.BaseUrl());
        QTRY_COMPARE(server.RequestCount(), 1);
        QElapsedTimer elapsed;
        elapsed.start();
        client.reset();
        // Well under the 5 s fetch limit: closing does not wait for the silent server.
        QVERIFY2(elapsed.elapsed() < 2500, qPrintable(QString::number(elapsed.elapsed())));
    }
};

QTEST_GUILESS_MAIN(TestNewsClient)
#include "test_news_client.moc"
