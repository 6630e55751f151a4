#include "core/services/background_request.h"

#include <QEventLoop>
#include <QLoggingCategory>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QThreadPool>
#include <QTimer>

#include <zlib.h>

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

// Reply bytes are taken this many at a time, and Qt is asked to buffer no more than this.
constexpr qint64 ReadChunkBytes = 16 * 1024;

// Undoes the reply's Content-Encoding as the body arrives. Qt would inflate a compressed body
// whole before the cap could look at it, so the request asks for encodings itself (which turns
// Qt's decoding off) and decodes here, never making more output than is wanted.
class BodyDecoder
{
public:
    BodyDecoder() = default;
    BodyDecoder(const BodyDecoder&) = delete;
    BodyDecoder& operator=(const BodyDecoder&) = delete;
    ~BodyDecoder()
    {
        if (inflating)
            inflateEnd(&stream);
    }

    // The reply's Content-Encoding; false when it is not one this decoder knows.
    bool Start(const QByteArray& contentEncoding)
    {
        const QByteArray encoding = contentEncoding.trimmed().toLower();
        if (encoding.isEmpty() || encoding == "identity")
            return true;
        if (encoding != "gzip" && encoding != "deflate") {
            error = QStringLiteral("unsupported Content-Encoding \"%1\"").arg(QString::fromLatin1(encoding));
            return false;
        }
        // 15 + 32: the largest window, with the gzip or zlib wrapper told apart by its header
        // (servers send either for "deflate").
        inflating = inflateInit2(&stream, 15 + 32) == Z_OK;
        if (!inflating)
            error = QStringLiteral("cannot inflate the reply");
        return inflating;
    }

    // Decodes `size` bytes onto `out` until it holds `limit` bytes (negative: no limit); the
    // input beyond is dropped. False when the data cannot be decoded.
    bool Feed(const char* data, qint64 size, QByteArray& out, qint64 limit)
    {
        if (!inflating) {
            out.append(data, int(limit < 0 ? size : qMin(size, qMax<qint64>(0, limit - out.size()))));
            return true;
        }
        stream.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
        stream.avail_in = uInt(size);
        started = started || size > 0;
        while (stream.avail_in > 0 && !ended && (limit < 0 || out.size() < limit)) {
            const int room = int(limit < 0 ? ReadChunkBytes : qMin(ReadChunkBytes, limit - out.size()));
            const int filled = out.size();
            out.resize(filled + room);
            stream.next_out = reinterpret_cast<Bytef*>(out.data() + filled);
            stream.avail_out = uInt(room);
            const int status = inflate(&stream, Z_NO_FLUSH);
            out.resize(filled + room - int(stream.avail_out));
            if (status == Z_STREAM_END) {
                ended = true; // anything after the compressed data is not part of the body
            } else if (status == Z_BUF_ERROR) {
                break; // no progress possible; if input was left, Finish reports the stream cut
            } else if (status != Z_OK) {
                error = QStringLiteral("compressed reply cannot be decoded: %1")
                            .arg(QString::fromLatin1(stream.msg ? stream.msg : "corrupt data"));
                return false;
            }
        }
        return true;
    }

    // Whether the body ended where its encoding ends; asked when the whole reply has arrived.
    bool Finish()
    {
        if (inflating && started && !ended) {
            error = QStringLiteral("compressed reply ends early");
            return false;
        }
        return true;
    }

    QString error;

private:
    z_stream stream{};
    bool inflating = false;
    bool started = false; // any compressed byte arrived: an empty body is no stream at all
    bool ended = false;
};

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
        // Naming the encodings ourselves keeps Qt from inflating the body; BodyDecoder does it.
        if (!request.hasRawHeader("Accept-Encoding"))
            request.setRawHeader("Accept-Encoding", "gzip, deflate");
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
        pending->setReadBufferSize(ReadChunkBytes);
        {
            std::lock_guard<std::mutex> lock(mutex);
            reply = pending;
            if (cancelled)
                QMetaObject::invokeMethod(pending, "abort", Qt::QueuedConnection);
        }

        QByteArray body;
        BodyDecoder decoder;
        bool decoderStarted = false;
        bool undecodable = false;
        bool truncated = false;
        bool timedOut = false;
        // One byte past the cap shows that the body is longer.
        const qint64 wanted = options.maxBodyBytes < 0 ? -1 : options.maxBodyBytes + 1;
        const auto takeBody = [&] {
            if (truncated || undecodable || !pending->isOpen())
                return;
            if (!decoderStarted) {
                decoderStarted = true;
                undecodable = !decoder.Start(pending->rawHeader("Content-Encoding"));
            }
            char chunk[ReadChunkBytes];
            qint64 size = 0;
            while (!undecodable && !truncated && (size = pending->read(chunk, sizeof chunk)) > 0) {
                undecodable = !decoder.Feed(chunk, size, body, wanted);
                if (options.maxBodyBytes >= 0 && body.size() > options.maxBodyBytes) {
                    body.truncate(int(options.maxBodyBytes));
                    truncated = true;
                }
            }
            if (truncated || undecodable)
                pending->abort(); // the rest is not wanted, or cannot be read; stop the transfer
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
        if (!truncated && !undecodable && error == QNetworkReply::NoError)
            undecodable = !decoder.Finish();

        result.truncated = truncated;
        result.timedOut = timedOut;
        result.httpStatus = pending->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        result.headers = pending->rawHeaderPairs();
        // Redirects are not followed, and their bodies are no answer: only 2xx counts.
        const bool answered = result.httpStatus >= 200 && result.httpStatus < 300;
        const bool transferred =
            error == QNetworkReply::NoError ||
            ((truncated || undecodable) && error == QNetworkReply::OperationCanceledError);
        result.succeeded = answered && transferred && !undecodable;
        if (!result.succeeded) {
            if (timedOut)
                result.errorText = QStringLiteral("no answer within %1 ms").arg(options.timeLimitMs);
            else if (!transferred)
                result.errorText = pending->errorString();
            else if (!answered)
                result.errorText = QStringLiteral("HTTP status %1").arg(result.httpStatus);
            else
                result.errorText = decoder.error;
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
