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
    text = new QLabel(this);
    text->setObjectName(QStringLiteral("saveWarningText"));
    text->setWordWrap(true);
    text->setTextFormat(Qt::PlainText);
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(text, 1);
    close = new QToolButton(this);
    close->setObjectName(QStringLiteral("saveWarningClose"));
    close->setText(tr("Close"));
    close->setAccessibleName(tr("Close the saving warning"));
    close->setFocusPolicy(Qt::TabFocus);
    close->setCursor(Qt::PointingHandCursor);
    layout->addWidget(close, 0, Qt::AlignVCenter);
    connect(close, &QToolButton::clicked, this, &QWidget::hide);
    hide();

    // The listener goes in the destructor, before the bar; a call still queued then is dropped
    // with the bar.
    if (store)
        store->SetSaveListener([this](const Core::ExerciseStatistics::SaveState& state) {
            QMetaObject::invokeMethod(
                this,
                [this, state] { SetSaveState(state.saving, state.problem, state.folder, state.detail); },
                Qt::QueuedConnection);
        });
}

SaveWarningBar::~SaveWarningBar()
{
    if (store)
        store->SetSaveListener({});
}

QString SaveWarningBar::Message(Core::DataFile::Problem problem, const QString& folder, const QString& detail)
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

void SaveWarningBar::SetSaveState(bool saving, Core::DataFile::Problem problem, const QString& folder,
                                  const QString& detail)
{
    if (saving) {
        shownFor.clear();
        hide();
        return;
    }
    const QString message = Message(problem, folder, detail);
    // The detail may differ from one try to the next; the problem and the place are what count.
    const QString key = QString::number(int(problem)) + QLatin1Char('|') + folder;
    if (key == shownFor)
        return;
    shownFor = key;
    text->setText(message);
    setAccessibleDescription(message);
    show();
    QAccessibleEvent alert(this, QAccessible::Alert);
    QAccessible::updateAccessibility(&alert);
}

QString SaveWarningBar::Text() const
{
    return text->text();
}

} // namespace UI
