#pragma once
// Fetches one news message from the maker's news service ("/Services/News.ashx") once per run,
// in the background, telling the service the last message the user has seen ("NewsId") and the
// user's localization code ("LocalizationCode"). The application creates the one client at
// start-up; the main window polls it and shows a received message once, then stores LatestId()
// as the setting "Settings.NewsId".
//
// With no services address configured (Core::ServicesAddress) nothing is fetched and the poll
// reports no news. The fetch is limited to FetchTimeLimitMs, the message to MaxTextBytes of
// UTF-8 and to plain text. Destruction cancels a fetch in flight and returns promptly.
//
// Threads: the fetch runs on a global thread-pool thread; newsReceived() is emitted on the
// client's own thread, from its event queue, so that a receiver connected right after the client
// was made cannot miss it. Every other operation is for the GUI thread, but all of them lock and
// may run anywhere.

#include "core/services/news_item.h"
#include "core/services/services_address.h"

#include <QObject>
#include <QString>
#include <QUrl>

#include <memory>
#include <vector>

namespace Core {

class BackgroundRequest;

namespace NewsClientImpl {
struct ClientData;
}

class NewsClient : public QObject
{
    Q_OBJECT

public:
    static constexpr const char* ServicePath = "/Services/News.ashx";
    static constexpr int FetchTimeLimitMs = 5000;
    static constexpr int MaxTextBytes = 64 * 1024;
    static constexpr qint64 PollIntervalSeconds = 30;

    enum PollResult
    {
        PollTooSoon = 0, // less than PollIntervalSeconds since the last poll; nothing looked at
        PollNewsAvailable = 1,
        PollNoNews = 2,
    };

    // Starts the fetch at once when servicesUrl is not empty.
    NewsClient(qint32 lastSeenId, const QString& localizationCode,
               const QUrl& servicesUrl = ServicesAddress::Configured(), QObject* parent = nullptr);
    ~NewsClient() override;

    // Copies of the received messages, oldest first.
    std::vector<NewsItem> Items() const;
    // Identifier of the newest received message; the lastSeenId given at construction while none
    // has arrived.
    qint32 LatestId() const;

    // The main window's periodic check. Returns PollTooSoon when fewer than PollIntervalSeconds
    // of wall-clock time have passed since the last poll that got through (a clock set back
    // counts as time passed); otherwise records the time and returns PollNewsAvailable (and
    // remembers the newest message's id as CurrentNewsId()) or PollNoNews.
    PollResult Poll();
    PollResult Poll(qint64 nowSecondsSinceEpoch);
    qint32 CurrentNewsId() const;

    // Whether a fetch was started, and waiting for it to end (bounded, any thread but the
    // fetch's own). True when no fetch was started.
    bool FetchStarted() const;
    bool WaitForFetch(int timeoutMs) const;

Q_SIGNALS:
    void newsReceived();

private:
    std::shared_ptr<NewsClientImpl::ClientData> data;
    std::shared_ptr<BackgroundRequest> fetch;
};

} // namespace Core
