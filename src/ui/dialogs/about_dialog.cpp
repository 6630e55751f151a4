#include "ui/dialogs/about_dialog.h"

#include <QCoreApplication>
#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QRegularExpression>
#include <QTextBrowser>
#include <QVBoxLayout>

// Resources compiled into a static library are registered by name from inside it, outside any
// namespace; registering twice is harmless.
static void initializeAboutResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace {

constexpr QSize cardSize(800, 660);
const char* tempoPiecesResource = ":/about/tempo_pieces.md";

// What Cantorela is built with: name, what it does here, licence. Proper names stay as they are;
// the names and licences that say what they are in words are translated.
struct Component
{
    const char* name;
    const char* role;
    const char* licence;
};

const Component components[] = {
    {"Qt 5", QT_TRANSLATE_NOOP("UI::AboutDialog", "application framework"), "GNU LGPL v3"},
    {"RtMidi", QT_TRANSLATE_NOOP("UI::AboutDialog", "MIDI input and output"),
     QT_TRANSLATE_NOOP("UI::AboutDialog", "MIT-style licence")},
    {"FluidSynth", QT_TRANSLATE_NOOP("UI::AboutDialog", "built-in synthesizer"), "GNU LGPL 2.1"},
    {QT_TRANSLATE_NOOP("UI::AboutDialog", "FluidR3 Mono General MIDI soundfont"),
     QT_TRANSLATE_NOOP("UI::AboutDialog", "the synthesizer's instruments"),
     QT_TRANSLATE_NOOP("UI::AboutDialog", "MIT licence")},
    {"libsmf", QT_TRANSLATE_NOOP("UI::AboutDialog", "reading Standard MIDI Files"),
     QT_TRANSLATE_NOOP("UI::AboutDialog", "BSD 2-clause licence")},
    {QT_TRANSLATE_NOOP("UI::AboutDialog", "Bravura music font"),
     QT_TRANSLATE_NOOP("UI::AboutDialog", "engraved music"), "SIL Open Font License 1.1"},
    {QT_TRANSLATE_NOOP("UI::AboutDialog", "Lato fonts"),
     QT_TRANSLATE_NOOP("UI::AboutDialog", "interface text"), "SIL Open Font License 1.1"},
};

QString inlineMarkup(const QString& text)
{
    QString html = text.toHtmlEscaped();
    static const QRegularExpression code(QStringLiteral("`([^`]+)`"));
    static const QRegularExpression strong(QStringLiteral("\\*\\*([^*]+)\\*\\*"));
    static const QRegularExpression emphasis(QStringLiteral("(^|[^\\w*])\\*([^*\\s][^*]*)\\*(?!\\w)"));
    html.replace(code, QStringLiteral("<code>\\1</code>"));
    html.replace(strong, QStringLiteral("<b>\\1</b>"));
    html.replace(emphasis, QStringLiteral("\\1<i>\\2</i>"));
    return html;
}

QStringList tableCells(const QString& line)
{
    QString row = line.trimmed();
    if (row.startsWith(QLatin1Char('|')))
        row.remove(0, 1);
    if (row.endsWith(QLatin1Char('|')))
        row.chop(1);
    QStringList cells = row.split(QLatin1Char('|'));
    for (QString& cell : cells)
        cell = cell.trimmed();
    return cells;
}

// The part of the tempo pieces' notes from its "Credits" heading on; all of it when it has none.
QString creditsSection(const QString& markdown)
{
    static const QRegularExpression heading(QStringLiteral("^#+\\s*Credits\\s*$"),
                                            QRegularExpression::MultilineOption |
                                                QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = heading.match(markdown);
    return match.hasMatch() ? markdown.mid(match.capturedEnd()) : markdown;
}

} // namespace

namespace UI {

QString AboutDialog::markdownToHtml(const QString& markdown)
{
    static const QRegularExpression headingLine(QStringLiteral("^(#{1,6})\\s+(.*)$"));
    static const QRegularExpression separatorRow(QStringLiteral("^\\|?[\\s:|-]+\\|?$"));
    QString html;
    QStringList paragraph;
    QStringList item;
    QStringList block;
    bool inList = false;
    int tableRows = -1; // -1: no table open

    auto closeParagraph = [&] {
        if (!paragraph.isEmpty())
            html += QStringLiteral("<p>") + inlineMarkup(paragraph.join(QLatin1Char(' '))) +
                    QStringLiteral("</p>\n");
        paragraph.clear();
    };
    auto closeItem = [&] {
        if (!item.isEmpty())
            html += QStringLiteral("<li>") + inlineMarkup(item.join(QLatin1Char(' '))) +
                    QStringLiteral("</li>\n");
        item.clear();
    };
    auto closeList = [&] {
        closeItem();
        if (inList)
            html += QStringLiteral("</ul>\n");
        inList = false;
    };
    auto closeTable = [&] {
        if (tableRows >= 0)
            html += QStringLiteral("</table>\n");
        tableRows = -1;
    };
    auto closeBlock = [&] {
        if (!block.isEmpty())
            html += QStringLiteral("<pre>") + block.join(QLatin1Char('\n')).toHtmlEscaped() +
                    QStringLiteral("</pre>\n");
        block.clear();
    };
    auto closeAll = [&] {
        closeParagraph();
        closeList();
        closeTable();
        closeBlock();
    };

    const QStringList lines =
        QString(markdown).replace(QStringLiteral("\r\n"), QStringLiteral("\n")).split(QLatin1Char('\n'));
    for (const QString& line : lines) {
        const QString trimmed = line.trimmed();
        if (trimmed.isEmpty()) {
            closeParagraph();
            closeList();
            closeTable();
            // An indented block may hold blank lines; they end it only when nothing follows.
            if (!block.isEmpty())
                block.append(QString());
            continue;
        }
        if (line.startsWith(QLatin1String("    ")) && paragraph.isEmpty() && !inList && tableRows < 0) {
            block.append(line.mid(4));
            continue;
        }
        while (!block.isEmpty() && block.last().isEmpty())
            block.removeLast();
        closeBlock();
        const QRegularExpressionMatch heading = headingLine.match(trimmed);
        if (heading.hasMatch()) {
            closeAll();
            const int level = std::min(heading.capturedLength(1) + 2, 6);
            html += QStringLiteral("<h%1>%2</h%1>\n").arg(level).arg(inlineMarkup(heading.captured(2)));
        } else if (trimmed.startsWith(QLatin1Char('|'))) {
            closeParagraph();
            closeList();
            if (separatorRow.match(trimmed).hasMatch())
                continue;
            if (tableRows < 0) {
                html += QStringLiteral("<table cellspacing=\"0\" cellpadding=\"4\" width=\"100%\">\n");
                tableRows = 0;
            }
            const QString cellTag = tableRows == 0 ? QStringLiteral("th") : QStringLiteral("td");
            html += tableRows % 2 == 1 ? QStringLiteral("<tr>") : QStringLiteral("<tr class=\"even\">");
            for (const QString& cell : tableCells(trimmed))
                html += QStringLiteral("<%1>%2</%1>").arg(cellTag, inlineMarkup(cell));
            html += QStringLiteral("</tr>\n");
            ++tableRows;
        } else if (trimmed.startsWith(QLatin1String("- ")) || trimmed.startsWith(QLatin1String("* "))) {
            closeParagraph();
            closeTable();
            closeItem();
            if (!inList)
                html += QStringLiteral("<ul>\n");
            inList = true;
            item.append(trimmed.mid(2));
        } else if (inList && line.startsWith(QLatin1Char(' '))) {
            item.append(trimmed);
        } else {
            closeList();
            closeTable();
            paragraph.append(trimmed);
        }
    }
    while (!block.isEmpty() && block.last().isEmpty())
        block.removeLast();
    closeAll();
    return html;
}

QString AboutDialog::creditsHtml(const QString& tempoPiecesMarkdown)
{
    QString html =
        QStringLiteral("<html><head><style>"
                       "body { font-family: 'Lato'; font-size: 14px; color: #1d1e24; }"
                       "h3 { font-size: 17px; color: #1d1e24; margin-top: 14px; margin-bottom: 6px; }"
                       "h4, h5, h6 { font-size: 15px; margin-top: 10px; margin-bottom: 4px; }"
                       "p { margin-top: 4px; margin-bottom: 6px; }"
                       "th { background-color: #343740; color: white; text-align: left; font-weight: bold; }"
                       "tr.even td { background-color: #f4f2ee; }"
                       "td { vertical-align: top; }"
                       "pre { font-size: 12px; background-color: #f4f2ee; }"
                       ".licence { color: #5b606c; }"
                       "</style></head><body>");
    html += QStringLiteral("<h3>%1</h3>\n<table cellspacing=\"0\" cellpadding=\"4\" width=\"100%\">\n")
                .arg(tr("Built with").toHtmlEscaped());
    int row = 0;
    for (const Component& component : components) {
        QString role = QCoreApplication::translate("UI::AboutDialog", component.role);
        if (QLatin1String(component.name) == QLatin1String("Qt 5"))
            role = tr("%1, version %2 in use").arg(role, QString::fromLatin1(qVersion()));
        html += QStringLiteral("<tr%1><td><b>%2</b><br/>%3</td><td class=\"licence\">%4</td></tr>\n")
                    .arg(row++ % 2 == 0 ? QStringLiteral(" class=\"even\"") : QString(),
                         tr(component.name).toHtmlEscaped(), role.toHtmlEscaped(),
                         tr(component.licence).toHtmlEscaped());
    }
    html += QStringLiteral("</table>\n<h3>%1</h3>\n").arg(tr("Tempo pieces").toHtmlEscaped());
    if (tempoPiecesMarkdown.trimmed().isEmpty())
        html += QStringLiteral("<p>%1</p>")
                    .arg(tr("The credits of the tempo pieces are missing.").toHtmlEscaped());
    else
        html += markdownToHtml(creditsSection(tempoPiecesMarkdown));
    html += QStringLiteral("</body></html>");
    return html;
}

AboutDialog::AboutDialog(QWidget* parent) : CardDialog(tr("About Cantorela"), cardSize, parent)
{
    initializeAboutResources();
    setObjectName(QStringLiteral("aboutDialog"));

    auto* name = new QLabel(QStringLiteral("Cantorela"), card());
    name->setObjectName(QStringLiteral("aboutName"));
    name->setFont(textFont(30, QFont::Bold));
    const QString versionText = QCoreApplication::applicationVersion().isEmpty()
                                    ? QString()
                                    : tr("Version %1").arg(QCoreApplication::applicationVersion());
    auto* version = new QLabel(versionText, card());
    version->setObjectName(QStringLiteral("aboutVersion"));
    version->setProperty("muted", true);
    version->setFont(textFont(16));
    auto* nameRow = new QHBoxLayout;
    nameRow->setSpacing(14);
    nameRow->addWidget(name, 0, Qt::AlignBaseline);
    nameRow->addWidget(version, 0, Qt::AlignBaseline);
    nameRow->addStretch(1);
    body()->addLayout(nameRow);

    auto* description = new QLabel(
        tr("A trainer of music reading and ear skills for piano students: notes, intervals, chords, "
           "scales, tempo and the symbols of written music."),
        card());
    description->setObjectName(QStringLiteral("aboutDescription"));
    description->setFont(textFont(15));
    description->setWordWrap(true);
    auto* maker = new QLabel(tr("© Vantorix. The parts below are used under their own licences."), card());
    maker->setObjectName(QStringLiteral("aboutMaker"));
    maker->setProperty("muted", true);
    maker->setFont(textFont(14));
    maker->setWordWrap(true);
    body()->addWidget(description);
    body()->addWidget(maker);

    m_credits = new QTextBrowser(card());
    m_credits->setObjectName(QStringLiteral("aboutCredits"));
    m_credits->setOpenLinks(false);
    m_credits->setOpenExternalLinks(false);
    m_credits->setTabChangesFocus(true);
    m_credits->setFont(textFont(14));
    m_credits->document()->setDocumentMargin(12);
    m_credits->setAccessibleName(tr("Credits"));
    QString tempoPieces;
    QFile notes(QString::fromLatin1(tempoPiecesResource));
    if (notes.open(QIODevice::ReadOnly))
        tempoPieces = QString::fromUtf8(notes.readAll());
    m_credits->setHtml(creditsHtml(tempoPieces));
    body()->addWidget(m_credits, 1);

    m_closeButton = addButton(tr("Close"), ButtonKind::Primary);
    m_closeButton->setObjectName(QStringLiteral("aboutClose"));
    m_closeButton->setDefault(true);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::accept);
    setTabOrder(m_credits, m_closeButton);
}

} // namespace UI
