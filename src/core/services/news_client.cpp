#include "core/services/news_client.h"

#include "core/services/background_request.h"

#include <QDateTime>
#include <QLoggingCategory>

#include <mutex>

Q_LOGGING_CATEGORY(newsLog, "cantorela.news")

namespace Core {
namespace NewsClientImpl {

// State shared by the client and its fetch task, so that the task never depends on the client
// object still being alive.
struct ClientData
{
    qint32 lastSeenId = 0;
    QString localizationCode;

    mutable std::mutex listMutex; // guards items, latestId, lastPoll and currentNewsId
    std::vector<NewsItem> items;
    qint32 latestId = 0;
    qint64 lastPoll = 0;
    bool polled = false;
    qint32 currentNewsId = 0;

    // Guards owner: the fetch posts through it, the client's destructor clears it first.
    std::mutex ownerMutex;
    NewsClient* owner = nullptr;
};

} // namespace NewsClientImpl

namespace {

// At most maxBytes of the body, without a UTF-8 sequence cut off at the end (the transfer stops
// at the cap, which may fall inside a character).
QByteArray CompleteUtf8(QByteArray bytes, int maxBytes)
{
    if (bytes.size() > maxBytes)
        bytes.truncate(maxBytes);
    int lead = bytes.size() - 1;
    int continuation = 0;
    while (lead >= 0 && continuation < 3 && (uchar(bytes[lead]) & 0xC0) == 0x80) {
        --lead;
        ++continuation;
    }
    if (lead < 0)
        return bytes;
    const uchar first = uchar(bytes[lead]);
    const int length = first < 0x80           ? 1
                       : (first >> 5) == 0x6  ? 2
                       : (first >> 4) == 0xE  ? 3
                       : (first >> 3) == 0x1E ? 4
                                              : 1;
    if (continuation + 1 < length)
        bytes.truncate(lead);
    return bytes;
}

// The message as plain text: UTF-8 decoded, line ends as "\n", control characters other than
// tab and line feed removed.
QString PlainText(const QByteArray& body)
{
    QString text = QString::fromUtf8(body);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QString clean;
    clean.reserve(text.size());
    for (const QChar c : qAsConst(text)) {
        const ushort u = c.unicode();
        if ((u < 0x20 && u != '\n' && u != '\t') || u == 0x7F)
            continue;
        clean.append(c);
    }
    return clean;
}

} // namespace

NewsClient::NewsClient(qint32 lastSeenId, const QString& localizationCode, const QUrl& servicesUrl,
                       QObject* parent)
    : QObject(parent), data(std::make_shared<NewsClientImpl::ClientData>())
{
    data->lastSeenId = lastSeenId;
    data->localizationCode = localizationCode;
    data->latestId = lastSeenId;
    data->owner = this;

    const QUrl url = ServicesAddress::ServiceUrl(servicesUrl, QLatin1String(ServicePath));
    if (url.isEmpty()) {
        qCDebug(newsLog) << "no services address configured; news are not fetched";
        return;
    }

    BackgroundRequest::Options options;
    options.method = BackgroundRequest::Method::Get;
    options.url = url;
    options.headers.append({QByteArrayLiteral("NewsId"), QByteArray::number(lastSeenId)});
    options.headers.append({QByteArrayLiteral("LocalizationCode"), localizationCode.toUtf8()});
    options.timeLimitMs = FetchTimeLimitMs;
    options.maxBodyBytes = MaxTextBytes;

    std::shared_ptr<NewsClientImpl::ClientData> shared = data;
    fetch = BackgroundRequest::Start(std::move(options), [shared](const BackgroundRequest::Result& result) {
        if (!result.succeeded) {
            qCDebug(newsLog).noquote() << "no news:" << result.errorText;
            return;
        }
        if (result.truncated)
            qCWarning(newsLog) << "news message longer than" << MaxTextBytes << "bytes; cut there";
        const QString text = PlainText(CompleteUtf8(result.body, MaxTextBytes));
        if (text.isEmpty())
            return;
        bool ok = false;
        qint32 id = result.Header(QByteArrayLiteral("NewsID")).trimmed().toInt(&ok);
        if (!ok)
            id = 0;
        {
            std::lock_guard<std::mutex> lock(shared->listMutex);
            shared->items.push_back(NewsItem{id, text});
            shared->latestId = shared->items.back().id;
        }
        // Emitted on the owner's thread, from its event queue: a receiver connected after the
        // client was made, before that thread's events run again, hears it too. A client gone by
        // then takes its queued call with it.
        std::lock_guard<std::mutex> ownerLock(shared->ownerMutex);
        if (NewsClient* owner = shared->owner)
            QMetaObject::invokeMethod(
                owner, [owner] { Q_EMIT owner->newsReceived(); }, Qt::QueuedConnection);
    });
}

NewsClient::~NewsClient()
{
    {
        std::lock_guard<std::mutex> lock(data->ownerMutex);
        data->owner = nullptr;
    }
    if (!fetch)
        return;
    fetch->Cancel();
    // The abort is handled at once by the fetch's event loop; the bound only guards against a
    // task that has not even started because the thread pool is busy. Such a task sees the
    // cancellation when it runs and ends without touching the network.
    if (!fetch->Wait(FetchTimeLimitMs))
        qCWarning(newsLog) << "news fetch did not end in time; left behind";
}

std::vector<NewsItem> NewsClient::Items() const
{
    std::lock_guard<std::mutex> lock(data->listMutex);
    return data->items;
}

qint32 NewsClient::LatestId() const
{
    std::lock_guard<std::mutex> lock(data->listMutex);
    return data->latestId;
}

NewsClient::PollResult NewsClient::Poll()
{
    return Poll(QDateTime::currentSecsSinceEpoch());
}

NewsClient::PollResult NewsClient::Poll(qint64 now)
{
    std::lock_guard<std::mutex> lock(data->listMutex);
    if (data->polled && now >= data->lastPoll && now - data->lastPoll < PollIntervalSeconds)
        return PollTooSoon;
    data->polled = true;
    data->lastPoll = now;
    if (data->items.empty())
        return PollNoNews;
    data->currentNewsId = data->items.back().id;
    return PollNewsAvailable;
}

qint32 NewsClient::CurrentNewsId() const
{
    std::lock_guard<std::mutex> lock(data->listMutex);
    return data->currentNewsId;
}

bool NewsClient::FetchStarted() const
{
    return fetch != nullptr;
}

bool NewsClient::WaitForFetch(int timeoutMs) const
{
    return !fetch || fetch->Wait(timeoutMs);
}

} // namespace Core
