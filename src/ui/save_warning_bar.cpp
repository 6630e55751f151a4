#include "ui/save_warning_bar.h"

#include "core/exercise/exercise_statistics.h"
#include "ui/interface_fonts.h"

#include <QAccessible>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace UI {

SaveWarningBar::SaveWarningBar(std::shared_ptr<Core::ExerciseStatistics> watched, QWidget* parent)
    : QFrame(parent), store(std::move(watched))
{
    setObjectName(QStringLiteral("saveWarningBar"));
    setAccessibleName(tr("Saving problem"));
    setFocusPolicy(Qt::NoFocus);
    setStyleSheet(
        QStringLiteral("#saveWarningBar { background: rgb(255, 193, 94); }"
                       "#saveWarningBar QLabel { color: rgb(18, 24, 38); font-size: 15px; }"
                       "#saveWarningBar QToolButton { color: rgb(18, 24, 38); border: 1px solid "
                       "rgba(18, 24, 38, 120); border-radius: 4px; padding: 3px 10px; }"
                       "#saveWarningBar QToolButton:hover { background: rgba(255, 255, 255, 90); }"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(16, 6, 10, 6);
    layout->setSpacing(12);
    m_text = new QLabel(this);
    m_text->setObjectName(QStringLiteral("saveWarningText"));
    m_text->setWordWrap(true);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(m_text, 1);
    m_closeButton = new QToolButton(this);
    m_closeButton->setObjectName(QStringLiteral("saveWarningClose"));
    m_closeButton->setText(tr("Close"));
    m_closeButton->setAccessibleName(tr("Close the saving warning"));
    m_closeButton->setFocusPolicy(Qt::TabFocus);
    m_closeButton->setCursor(Qt::PointingHandCursor);
    layout->addWidget(m_closeButton, 0, Qt::AlignVCenter);
    connect(m_closeButton, &QToolButton::clicked, this, &QWidget::hide);
    hide();

    // The listener goes in the destructor, before the bar; a call still queued then is dropped
    // with the bar.
    if (store)
        store->SetSaveListener([this](const Core::ExerciseStatistics::SaveState& state) {
            QMetaObject::invokeMethod(
                this,
                [this, state] { setSaveState(state.saving, state.problem, state.folder, state.detail); },
                Qt::QueuedConnection);
        });
}

SaveWarningBar::~SaveWarningBar()
{
    if (store)
        store->SetSaveListener({});
}

QString SaveWarningBar::message(Core::DataFile::Problem problem, const QString& folder, const QString& detail)
{
    using Problem = Core::DataFile::Problem;
    const QString where = QDir::toNativeSeparators(folder);
    switch (problem) {
    case Problem::DiskFull:
        return tr("Your answers could not be saved: the disk is full. They are kept until they can be.");
    case Problem::NotWritable:
        return tr("Your answers could not be saved: the folder %1 cannot be written. They are kept until "
                  "they can be.")
            .arg(where);
    case Problem::None:
    case Problem::Other:
        break;
    }
    return tr("Your answers could not be saved in %1 (%2). They are kept until they can be.")
        .arg(where, detail);
}

void SaveWarningBar::setSaveState(bool saving, Core::DataFile::Problem problem, const QString& folder,
                                  const QString& detail)
{
    if (saving) {
        shownFor.clear();
        hide();
        return;
    }
    const QString shown = message(problem, folder, detail);
    // The detail may differ from one try to the next; the problem and the place are what count.
    const QString key = QString::number(int(problem)) + QLatin1Char('|') + folder;
    if (key == shownFor)
        return;
    shownFor = key;
    m_text->setText(shown);
    setAccessibleDescription(shown);
    show();
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

QString SaveWarningBar::text() const
{
    return m_text->text();
}

} // namespace UI
