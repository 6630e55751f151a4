#include "ui/news_notifier.h"

#include "core/services/news_client.h"
#include "core/settings_store.h"
#include "ui/dialogs/mail_dialog.h"

#include <QTimerEvent>
#include <QToolButton>

namespace UI {

NewsNotifier::NewsNotifier(const MainWindowServices& services, QToolButton* mailButton, QWidget* window)
    : QObject(window), m_news(services.news), m_settings(services.settings),
      m_applyGeneralSettings(services.applyGeneralSettings), m_mailButton(mailButton), m_window(window)
{
    m_mailButton->hide(); // shown when news arrive
    connect(m_mailButton, &QToolButton::released, this, &NewsNotifier::showNews);
    if (m_news)
        connect(m_news.get(), &Core::NewsClient::newsReceived, this, &NewsNotifier::updateButton,
                Qt::QueuedConnection);
    m_timer.start(firstPollMs, Qt::CoarseTimer, this);
}

void NewsNotifier::stop()
{
    m_timer.stop();
}

void NewsNotifier::timerEvent(QTimerEvent* event)
{
    if (event->timerId() != m_timer.timerId()) {
        QObject::timerEvent(event);
        return;
    }
    if (m_firstPoll) {
        m_firstPoll = false;
        m_timer.start(pollIntervalMs, Qt::CoarseTimer, this);
    }
    updateButton();
}

NewsNotifier::PollOutcome NewsNotifier::poll()
{
    if (!m_news)
        return PollOutcome::NoNews;
    switch (m_news->Poll()) {
    case Core::NewsClient::PollNewsAvailable:
        return PollOutcome::NewsAvailable;
    case Core::NewsClient::PollNoNews:
        return PollOutcome::NoNews;
    default:
        return PollOutcome::Unchanged;
    }
}

void NewsNotifier::updateButton()
{
    const PollOutcome outcome = poll();
    if (outcome == PollOutcome::NewsAvailable)
        m_mailButton->show();
    else if (outcome == PollOutcome::NoNews)
        m_mailButton->hide();
}

void NewsNotifier::showNews()
{
    if (!m_news)
        return;
    const std::vector<Core::NewsItem> items = m_news->Items();
    if (items.empty())
        return;
    if (!m_mailDialog) {
        m_mailDialog = new MailDialog(m_window);
        connect(m_mailDialog, &BaseDialog::dialogClosed, m_mailButton, &QWidget::hide);
    }
    // The message is seen: it is not announced again, in this run or the next.
    Core::GeneralSettings general = m_settings->generalSettings();
    general.newsId = m_news->CurrentNewsId() > 0 ? m_news->CurrentNewsId() : items.back().id;
    if (m_applyGeneralSettings)
        m_applyGeneralSettings(general);
    m_mailDialog->setNews(items.back());
    m_mailDialog->show();
    m_mailDialog->raise();
}

} // namespace UI
