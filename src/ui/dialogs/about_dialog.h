#pragma once
// The about box of the main window: the program's name, version and purpose, its maker, and the
// credits of what it is built with (libraries, synthesizer and soundfont, fonts, with their
// licences and the Qt version it runs on) and of the tempo pieces, read from the compiled-in
// ":/about/tempo_pieces.md". The credits scroll in a read-only view; "Close" or Escape closes
// the dialog. The main window creates it over itself on first use. A fading card
// (UI::CardDialog). GUI thread only.

#include "ui/dialogs/card_dialog.h"

class QTextBrowser;

namespace UI {

class AboutDialog : public CardDialog
{
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);

    QPushButton* closeButton() const { return m_closeButton; }

    // The credits as HTML, with the tempo pieces' part taken from `tempoPiecesMarkdown`.
    static QString creditsHtml(const QString& tempoPiecesMarkdown);

    // Simple HTML for a text in the Markdown of the project's notes: headings, paragraphs, bullet
    // lists, tables, indented blocks and `code`, *emphasis*, **strong**. Everything else, markup
    // included, is shown as written: the text is escaped before any tag is added.
    static QString markdownToHtml(const QString& markdown);

private:
    QTextBrowser* m_credits = nullptr;
    QPushButton* m_closeButton = nullptr;
};

} // namespace UI
