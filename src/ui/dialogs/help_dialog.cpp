#include "ui/dialogs/help_dialog.h"

#include "ui/translation.h"

#include <QFile>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

// Resources compiled into a static library are registered by name from inside it, outside any
// namespace; registering twice is harmless.
static void initializeHelpResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace {

constexpr QSize cardSize(860, 760);

} // namespace

namespace UI {

HelpDialog::HelpDialog(QWidget* parent) : CardDialog(tr("Cantorela guide"), cardSize, parent)
{
    initializeHelpResources();
    setObjectName(QStringLiteral("helpDialog"));

    m_guide = new QTextBrowser(card());
    m_guide->setObjectName(QStringLiteral("helpGuide"));
    // Links are handled here: anchors scroll the page, nothing is loaded from elsewhere.
    m_guide->setOpenLinks(false);
    m_guide->setOpenExternalLinks(false);
    m_guide->setFont(textFont(15));
    m_guide->document()->setDocumentMargin(18);
    m_guide->setAccessibleName(tr("Guide"));
    QFile page(guideResource(Translation::language()));
    if (page.open(QIODevice::ReadOnly))
        m_guide->setHtml(QString::fromUtf8(page.readAll()));
    else
        m_guide->setPlainText(tr("The guide is missing from this build."));
    connect(m_guide, &QTextBrowser::anchorClicked, this, &HelpDialog::followLink);
    body()->addWidget(m_guide, 1);

    m_closeButton = addButton(tr("Close"), ButtonKind::Primary);
    m_closeButton->setObjectName(QStringLiteral("helpClose"));
    m_closeButton->setDefault(true);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::accept);
    setTabOrder(m_guide, m_closeButton);
}

QString HelpDialog::guideResource(const QString& language)
{
    initializeHelpResources();
    const QString translated = QStringLiteral(":/help/guide_%1.html").arg(language);
    return QFile::exists(translated) ? translated : QString::fromLatin1(GuideResource);
}

void HelpDialog::followLink(const QUrl& link)
{
    // Only links within the guide: "#name".
    if (link.isRelative() && link.path().isEmpty() && link.hasFragment())
        m_guide->scrollToAnchor(link.fragment());
}

} // namespace UI
