#pragma once
// One HTTP exchange with the maker's services, run on a global thread-pool thread with its own
// network manager and event loop: used by the telemetry upload (POST) and the news fetch (GET).
//
// Every exchange has a hard time limit; when it passes, the request is aborted and completes
// with an error. The owner can cancel it from any thread and wait for it with a bound, so closing
// the program never hangs on a dead network. The task holds only shared state, never its owner,
// so an owner may go away while a cancelled request is still unwinding.
//
// A gzip or deflate body is inflated here as it arrives, never past the cap; any other
// Content-Encoding, or a compressed body that cannot be decoded, fails the exchange.

#include <QByteArray>
#include <QList>
#include <QPair>
#include <QString>
#include <QUrl>

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

class QNetworkReply;

namespace Core {

class BackgroundRequest
{
public:
    enum class Method
    {
        Get,
        Post
    };
    using Headers = QList<QPair<QByteArray, QByteArray>>;

    struct Options
    {
        Method method = Method::Get;
        QUrl url;
        Headers headers;
        QByteArray body;          // sent with POST
        int timeLimitMs = 5000;   // the whole exchange, from the moment the task runs
        qint64 maxBodyBytes = -1; // longer replies are cut there (and the transfer stopped);
                                  // a compressed one is measured as inflated
    };

    struct Result
    {
        bool succeeded = false; // an HTTP reply arrived without network or HTTP error
        bool timedOut = false;
        bool cancelled = false;
        bool truncated = false; // the body was cut at maxBodyBytes
        int httpStatus = 0;
        QString errorText;
        QByteArray body;
        Headers headers; // reply headers as received

        // Value of a reply header; names compare without regard to case.
        QByteArray Header(const QByteArray& name) const;
    };

    // Runs on the pool thread when the exchange ends, before waiters are released.
    using Completion = std::function<void(const Result&)>;

    // Queues the exchange on the global thread pool.
    static std::shared_ptr<BackgroundRequest> Start(Options options, Completion completion);

    // Aborts the exchange promptly; any thread. The completion still runs, with cancelled set.
    void Cancel();

    // Waits until the exchange and its completion have ended, at most timeoutMs (negative: no
    // bound). Returns whether it ended. Any thread but the pool thread running it.
    bool Wait(int timeoutMs);

    bool IsFinished() const;

    BackgroundRequest(Options options, Completion completion);

private:
    void Run();

    const Options options;
    const Completion completion;

    mutable std::mutex mutex; // guards the three fields below
    std::condition_variable finishedCondition;
    bool cancelled = false;
    bool finished = false;
    QNetworkReply* reply = nullptr; // set while the reply exists; Cancel posts its abort to it
};

} // namespace Core
