#include "ui/dialogs/help_dialog.h"

#include <QFile>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

// Resources compiled into a static library are registered by name from inside it, outside any
// namespace; registering twice is harmless.
static void InitializeHelpResources()
{
    Q_INIT_RESOURCE(resources);
}

namespace {

constexpr QSize cardSize(860, 760);

} // namespace

namespace UI {

HelpDialog::HelpDialog(QWidget* parent) : CardDialog(tr("Cantorela guide"), cardSize, parent)
{
    InitializeHelpResources();
    setObjectName(QStringLiteral("helpDialog"));

    guide = new QTextBrowser(Card());
    guide->setObjectName(QStringLiteral("helpGuide"));
    // Links are handled here: anchors scroll the page, nothing is loaded from elsewhere.
    guide->setOpenLinks(false);
    guide->setOpenExternalLinks(false);
    guide->setFont(TextFont(15));
    guide->document()->setDocumentMargin(18);
    guide->setAccessibleName(tr("Guide"));
    QFile page(QString::fromLatin1(GuideResource));
    if (page.open(QIODevice::ReadOnly))
        guide->setHtml(QString::fromUtf8(page.readAll()));
    else
        guide->setPlainText(tr("The guide is missing from this build."));
    connect(guide, &QTextBrowser::anchorClicked, this, &HelpDialog::FollowLink);
    Body()->addWidget(guide, 1);

    closeButton = AddButton(tr("Close"), ButtonKind::Primary);
    closeButton->setObjectName(QStringLiteral("helpClose"));
    closeButton->setDefault(true);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    setTabOrder(guide, closeButton);
}

void HelpDialog::FollowLink(const QUrl& link)
{
    // Only links within the guide: "#name".
    if (link.isRelative() && link.path().isEmpty() && link.hasFragment())
        guide->scrollToAnchor(link.fragment());
}

} // namespace UI
