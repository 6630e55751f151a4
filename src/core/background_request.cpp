#include "core/background_request.h"

#include <QEventLoop>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QThreadPool>
#include <QTimer>

#include <chrono>
#include <deque>

Q_LOGGING_CATEGORY(requestLog, "cantorela.services.request")

namespace Core {

QByteArray BackgroundRequest::Result::Header(const QByteArray& name) const
{
    for (const auto& header : headers)
        if (header.first.compare(name, Qt::CaseInsensitive) == 0)
            return header.second;
    return QByteArray();
}

BackgroundRequest::BackgroundRequest(Options options, Completion completion)
    : options(std::move(options)), completion(std::move(completion))
{
}

namespace {

// Requests waiting for a pool thread. They are handed over through this queue and its mutex
// rather than captured in the pool's task, so that the hand-over is a lock the thread sanitizer
// can see (the pool's own locking happens inside Qt). Never destroyed: pool threads may still
// take from it while the program exits.
struct PendingRequests
{
    std::mutex mutex;
    std::deque<std::shared_ptr<BackgroundRequest>> queue;
};

PendingRequests& Pending()
{
    static PendingRequests* pending = new PendingRequests;
    return *pending;
}

} // namespace

std::shared_ptr<BackgroundRequest> BackgroundRequest::Start(Options options, Completion completion)
{
    auto request = std::make_shared<BackgroundRequest>(std::move(options), std::move(completion));
    {
        std::lock_guard<std::mutex> lock(Pending().mutex);
        Pending().queue.push_back(request);
    }
    // One task per request; each takes the oldest waiting request.
    QThreadPool::globalInstance()->start([] {
        std::shared_ptr<BackgroundRequest> next;
        {
            std::lock_guard<std::mutex> lock(Pending().mutex);
            next = std::move(Pending().queue.front());
            Pending().queue.pop_front();
        }
        next->Run();
    });
    return request;
}

void BackgroundRequest::Cancel()
{
    std::lock_guard<std::mutex> lock(mutex);
    cancelled = true;
    // The reply lives on the pool thread; its abort must run there. A queued call to an object
    // that is deleted before it runs is dropped, and the pointer is cleared before deletion.
    if (reply)
        QMetaObject::invokeMethod(reply, "abort", Qt::QueuedConnection);
}

bool BackgroundRequest::Wait(int timeoutMs)
{
    std::unique_lock<std::mutex> lock(mutex);
    if (timeoutMs < 0) {
        finishedCondition.wait(lock, [this] { return finished; });
        return true;
    }
    return finishedCondition.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                      [this] { return finished; });
}

bool BackgroundRequest::IsFinished() const
{
    std::lock_guard<std::mutex> lock(mutex);
    return finished;
}

void BackgroundRequest::Run()
{
    Result result;
    bool cancelledEarly = false;
    {
        std::lock_guard<std::mutex> lock(mutex);
        cancelledEarly = cancelled;
    }

    if (cancelledEarly) {
        result.cancelled = true;
        result.errorText = QStringLiteral("cancelled");
    } else {
        QNetworkAccessManager manager;
        QNetworkRequest request(options.url);
        for (const auto& header : options.headers)
            request.setRawHeader(header.first, header.second);
        if (options.method == Method::Post && !request.hasRawHeader("Content-Type"))
            request.setHeader(QNetworkRequest::ContentTypeHeader,
                              QByteArrayLiteral("text/xml; charset=utf-8"));

        QEventLoop loop;
        QTimer limit;
        limit.setSingleShot(true);
        limit.setTimerType(Qt::PreciseTimer); // a coarse timer may fire up to 5 % early
        limit.start(options.timeLimitMs);

        QNetworkReply* pending =
            options.method == Method::Post ? manager.post(request, options.body) : manager.get(request);
        {
            std::lock_guard<std::mutex> lock(mutex);
            reply = pending;
            if (cancelled)
                QMetaObject::invokeMethod(pending, "abort", Qt::QueuedConnection);
        }

        QByteArray body;
        bool truncated = false;
        bool timedOut = false;
        const auto takeBody = [&] {
            if (truncated || !pending->isOpen())
                return;
            if (options.maxBodyBytes < 0) {
                body += pending->readAll();
                return;
            }
            body += pending->read(options.maxBodyBytes + 1 - body.size());
            if (body.size() > options.maxBodyBytes) {
                body.truncate(int(options.maxBodyBytes));
                truncated = true;
                pending->abort(); // the rest is not wanted; stop the transfer
            }
        };
        QObject::connect(pending, &QNetworkReply::readyRead, pending, takeBody);
        QObject::connect(&limit, &QTimer::timeout, pending, [&] {
            timedOut = true;
            pending->abort();
        });
        QObject::connect(pending, &QNetworkReply::finished, &loop, &QEventLoop::quit);
        if (!pending->isFinished())
            loop.exec();
        takeBody();

        const QNetworkReply::NetworkError error = pending->error();
        result.truncated = truncated;
        result.timedOut = timedOut;
        result.httpStatus = pending->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        result.headers = pending->rawHeaderPairs();
        // Redirects are not followed, and their bodies are no answer: only 2xx counts.
        const bool answered = result.httpStatus >= 200 && result.httpStatus < 300;
        const bool transferred =
            error == QNetworkReply::NoError || (truncated && error == QNetworkReply::OperationCanceledError);
        result.succeeded = answered && transferred;
        if (!result.succeeded) {
            if (timedOut)
                result.errorText = QStringLiteral("no answer within %1 ms").arg(options.timeLimitMs);
            else if (!transferred)
                result.errorText = pending->errorString();
            else
                result.errorText = QStringLiteral("HTTP status %1").arg(result.httpStatus);
            std::lock_guard<std::mutex> lock(mutex);
            result.cancelled = cancelled && !timedOut;
        }
        result.body = std::move(body);

        {
            std::lock_guard<std::mutex> lock(mutex);
            reply = nullptr;
        }
        delete pending;
    }

    if (!result.succeeded)
        qCDebug(requestLog).noquote() << options.url.toDisplayString() << "failed:" << result.errorText;
    if (completion)
        completion(result);

    std::lock_guard<std::mutex> lock(mutex);
    finished = true;
    finishedCondition.notify_all();
}

} // namespace Core
