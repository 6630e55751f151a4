#pragma once
// The built-in guide for students and teachers: the trainers, lessons and levels, how to answer,
// connecting a MIDI keyboard, the settings, where the files are kept and the starting options.
// The guide is the compiled-in page ":/help/guide.html", or its translation into the language in
// force (":/help/guide_de.html"), shown read-only; its links move within the page, links leading
// elsewhere are not followed. "Close" or Escape closes the dialog. The main window creates it over
// itself. A fading card (UI::CardDialog). GUI thread only.

#include "ui/dialogs/card_dialog.h"

class QTextBrowser;

namespace UI {

class HelpDialog : public CardDialog
{
    Q_OBJECT
public:
    static constexpr const char* GuideResource = ":/help/guide.html";

    explicit HelpDialog(QWidget* parent = nullptr);

    // The guide page in `language` ("de"), or the English one when there is none.
    static QString guideResource(const QString& language);

    QPushButton* closeButton() const { return m_closeButton; }

private:
    void followLink(const QUrl& link);

    QTextBrowser* m_guide = nullptr;
    QPushButton* m_closeButton = nullptr;
};

} // namespace UI
