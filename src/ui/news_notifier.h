#pragma once
// The news of the maker's service on the main window's tool bar: polls the news client (first
// after a second, then every thirty seconds, and whenever it says news arrived), shows the mail
// button while there is a message the student has not seen and hides it otherwise, and shows the
// message in the mail dialog. A message shown is stored as seen (GeneralSettings::newsId), so
// that it is not announced again, in this run or the next. GUI thread only.

#include "ui/main_window_services.h"

#include <QBasicTimer>
#include <QObject>
#include <QPointer>

class QToolButton;
class QWidget;

namespace UI {

class MailDialog;

class NewsNotifier : public QObject
{
    Q_OBJECT
public:
    static constexpr int firstPollMs = 1000;
    static constexpr int pollIntervalMs = 30000;

    // `mailButton` is shown and hidden; the mail dialog is a child of `window`.
    NewsNotifier(const MainWindowServices& services, QToolButton* mailButton, QWidget* window);

    // No more polls (the program ends).
    void stop();

public Q_SLOTS:
    // The newest message in the mail dialog (the mail button's action).
    void showNews();

protected:
    void timerEvent(QTimerEvent* event) override;

private:
    enum class PollOutcome
    {
        Unchanged,
        NewsAvailable,
        NoNews,
    };
    PollOutcome poll();
    void updateButton();

    std::shared_ptr<Core::NewsClient> m_news;
    Core::SettingsStore* m_settings = nullptr;
    std::function<void(const Core::GeneralSettings&)> m_applyGeneralSettings;
    QToolButton* m_mailButton = nullptr;
    QWidget* m_window = nullptr;
    QPointer<MailDialog> m_mailDialog;
    QBasicTimer m_timer;
    bool m_firstPoll = true;
};

} // namespace UI
