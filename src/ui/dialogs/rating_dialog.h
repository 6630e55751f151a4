#pragma once
// Asks the student, now and then, to rate Cantorela on the maker's web site: five star buttons,
// "Not now" and "Don't ask again". A star opens the rating page with the number of stars through
// the function the owner passes (the application opens it in the browser) and closes the dialog;
// "Don't ask again" stores "Settings.DontAskRating" = true in the group "GlobalSetting" of the
// process's settings. The main window asks shouldShow() once per run, when the user leaves, and
// shows the dialog modally (exec()) when it says yes. A fading card (UI::CardDialog).
// GUI thread only.

#include "ui/dialogs/card_dialog.h"

#include <QUrl>

#include <functional>

class QAbstractButton;

namespace UI {

class RatingDialog : public CardDialog
{
    Q_OBJECT
public:
    static constexpr const char* SettingsGroup = "GlobalSetting";
    static constexpr const char* DontAskKey = "Settings.DontAskRating";
    static constexpr const char* RunsKey = "Settings.RatingRuns";
    // The dialog is offered on every RunsPerRequest-th run.
    static constexpr int RunsPerRequest = 10;

    // `servicesBase` is the maker's services address (Core::ServicesAddress); with an empty one
    // the stars only close the dialog. `openUrl` is called with the rating page's address.
    RatingDialog(const QUrl& servicesBase, std::function<void(const QString& url)> openUrl,
                 QWidget* parent = nullptr);

    // Whether to offer the dialog at the end of this run; call it once per run, since each call
    // counts a run. Never without a services address, never after "Don't ask again"; otherwise
    // the runs are counted in "Settings.RatingRuns" and the answer is yes on the tenth, which
    // starts the count again: a new user is first asked after ten runs, and "Not now" (or
    // Escape, or ignoring the stars) means ten more runs before the next question.
    static bool shouldShow(const QUrl& servicesBase);

    // The rating page for `stars` (1 to 5): the services address with the path "/Home/Rate" and
    // the query "stars=N". Empty without an address.
    static QUrl ratingUrl(const QUrl& servicesBase, int stars);

protected:
    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void rate(int stars);
    void dontAskAgain();
    void highlight(int stars);

    QUrl m_servicesBase;
    std::function<void(const QString&)> m_openUrl;
    QList<QAbstractButton*> m_stars;
    QPushButton* m_notNow = nullptr;
    QPushButton* m_dontAsk = nullptr;
};

} // namespace UI
