#pragma once
// The news dialog: shows a message received from the maker's news service, with a "Close"
// button. The text comes from the network, so it is shown strictly as plain text, never as
// markup, cut to MaxShownLength characters, with control characters other than line breaks and
// tabs made spaces; a long text scrolls. The main window creates it over itself on first use,
// fills it with setNews() and listens to dialogClosed(). A fading card (UI::CardDialog).
// GUI thread only.

#include "ui/dialogs/card_dialog.h"

namespace Core {
struct NewsItem;
}

class QLabel;
class QPlainTextEdit;

namespace UI {

class MailDialog : public CardDialog
{
    Q_OBJECT
public:
    // The longest text shown, in characters; a longer message is cut at a word and ends in "…".
    static constexpr int MaxShownLength = 10000;
    // The longest title shown.
    static constexpr int MaxTitleLength = 120;

    explicit MailDialog(QWidget* parent = nullptr);

    // Shows `text` under `title` ("News" when empty), both as plain text.
    void setNews(const QString& title, const QString& text);
    void setNews(const Core::NewsItem& item);

    QPlainTextEdit* textView() const { return m_textView; }
    QPushButton* closeButton() const { return m_closeButton; }

    // `text` cleaned and cut to `maxLength` characters as the dialog shows it.
    static QString shownForm(const QString& text, int maxLength);

private:
    QLabel* m_headline = nullptr;
    QPlainTextEdit* m_textView = nullptr;
    QPushButton* m_closeButton = nullptr;
};

} // namespace UI
