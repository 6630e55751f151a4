#include "ui/dialogs/mail_dialog.h"

#include "core/services/news_item.h"

#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr QSize cardSize(680, 480);

} // namespace

namespace UI {

MailDialog::MailDialog(QWidget* parent) : CardDialog(tr("News from Vantorix"), cardSize, parent)
{
    setObjectName(QStringLiteral("mailDialog"));

    m_headline = new QLabel(card());
    m_headline->setObjectName(QStringLiteral("mailHeadline"));
    m_headline->setTextFormat(Qt::PlainText);
    m_headline->setWordWrap(true);
    m_headline->setFont(textFont(19, QFont::Bold));
    m_headline->setAccessibleName(tr("News title"));
    body()->addWidget(m_headline);

    m_textView = new QPlainTextEdit(card());
    m_textView->setObjectName(QStringLiteral("mailText"));
    m_textView->setReadOnly(true);
    m_textView->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_textView->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    m_textView->setTabChangesFocus(true);
    m_textView->setFont(textFont(16));
    m_textView->setFrameShape(QFrame::NoFrame);
    m_textView->document()->setDocumentMargin(14);
    m_textView->setAccessibleName(tr("News text"));
    body()->addWidget(m_textView, 1);

    m_closeButton = addButton(tr("Close"), ButtonKind::Primary);
    m_closeButton->setObjectName(QStringLiteral("mailClose"));
    m_closeButton->setDefault(true);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::accept);

    setTabOrder(m_textView, m_closeButton);
    setNews(QString(), QString());
}

QString MailDialog::shownForm(const QString& text, int maxLength)
{
    QString shown;
    shown.reserve(std::min(text.size(), maxLength));
    int i = 0;
    for (; i < text.size() && shown.size() < maxLength; ++i) {
        const QChar c = text.at(i);
        if (c == QLatin1Char('\r')) {
            if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('\n'))
                continue;
            shown += QLatin1Char('\n');
        } else if (c == QLatin1Char('\n') || c == QLatin1Char('\t')) {
            shown += c;
        } else if (c.isSurrogate()) {
            // Only whole pairs; an unpaired half is left out.
            if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
                shown += c;
                shown += text.at(++i);
            }
        } else if (c.category() == QChar::Other_Control || c.category() == QChar::Other_Format ||
                   c == QChar::ParagraphSeparator || c == QChar::LineSeparator) {
            // Bidirectional overrides and the like could make the text look like something it
            // does not say.
            shown += QLatin1Char(' ');
        } else {
            shown += c;
        }
    }
    if (i >= text.size())
        return shown.trimmed();
    // There is more: cut at a space near the end, when there is one, and say so.
    const QString more = QStringLiteral(" \u2026");
    int cut = std::max(0, maxLength - int(more.size()));
    const int lastSpace = shown.lastIndexOf(QLatin1Char(' '), cut);
    if (lastSpace > cut * 4 / 5)
        cut = lastSpace;
    if (cut > 0 && shown.at(cut - 1).isHighSurrogate())
        --cut;
    const QString kept = shown.left(cut).trimmed();
    return kept.isEmpty() ? more.trimmed() : kept + more;
}

void MailDialog::setNews(const QString& title, const QString& text)
{
    QString shownTitle = shownForm(title, MaxTitleLength).simplified();
    if (shownTitle.isEmpty())
        shownTitle = tr("News");
    m_headline->setText(shownTitle);
    m_textView->setPlainText(shownForm(text, MaxShownLength));
    m_textView->moveCursor(QTextCursor::Start);
}

void MailDialog::setNews(const Core::NewsItem& item)
{
    setNews(QString(), item.text);
}

} // namespace UI
