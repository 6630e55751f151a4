#include "ui/exercise/statistics_rows.h"

#include "ui/widgets/progress.h"

#include <QEvent>
#include <QFontMetrics>
#include <QLabel>
#include <QScrollBar>

#include <algorithm>

namespace {

constexpr int columnGap = 12;
constexpr int minimumBarWidth = 60;
constexpr int maximumDetailWidth = 320;

} // namespace

namespace UI {

StatisticsRows::StatisticsRows(QWidget* parent) : QScrollArea(parent)
{
    setFrameShape(QFrame::NoFrame);
    setWidgetResizable(false);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    // The keyboard stays with the screen (its space bar); the wheel scrolls the rows.
    setFocusPolicy(Qt::NoFocus);
    content = new QWidget;
    content->setObjectName(QStringLiteral("statisticsRowsContent"));
    setWidget(content);
    // The pane's own background shows through.
    content->setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    emptyLabel = new QLabel(content);
    emptyLabel->setObjectName(QStringLiteral("statisticsEmpty"));
    emptyLabel->hide();
}

QLabel* StatisticsRows::NameLabel(int row) const
{
    return row >= 0 && row < shown ? rows[size_t(row)].name : nullptr;
}

Progress* StatisticsRows::Bar(int row) const
{
    return row >= 0 && row < shown ? rows[size_t(row)].bar : nullptr;
}

QLabel* StatisticsRows::DetailLabel(int row) const
{
    return row >= 0 && row < shown ? rows[size_t(row)].detail : nullptr;
}

void StatisticsRows::SetEmptyText(const QString& text)
{
    emptyLabel->setText(text);
}

void StatisticsRows::EnsureRows(int count)
{
    while (int(rows.size()) < count) {
        Row row;
        row.name = new QLabel(content);
        row.name->setObjectName(QStringLiteral("statisticsName"));
        row.name->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        row.bar = new Progress(0, content);
        row.bar->setObjectName(QStringLiteral("statisticsBar"));
        row.detail = new QLabel(content);
        row.detail->setObjectName(QStringLiteral("statisticsDetail"));
        row.detail->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        for (QWidget* part : {static_cast<QWidget*>(row.name), static_cast<QWidget*>(row.bar),
                              static_cast<QWidget*>(row.detail)}) {
            part->hide();
            part->ensurePolished();
        }
        rows.push_back(row);
    }
}

void StatisticsRows::SetItems(const std::vector<Item>& items)
{
    const int count = int(items.size());
    hasDetail =
        std::any_of(items.begin(), items.end(), [](const Item& item) { return !item.detail.isEmpty(); });
    EnsureRows(count);
    for (int i = 0; i < count; ++i) {
        const Item& item = items[size_t(i)];
        const Row& row = rows[size_t(i)];
        // A name too long for its column is cut short; the whole name is its tooltip.
        const QString shownName = row.name->fontMetrics().elidedText(item.name, Qt::ElideRight, NameWidth);
        if (row.name->text() != shownName)
            row.name->setText(shownName);
        row.name->setToolTip(shownName != item.name ? item.name : QString());
        row.bar->setValues(item.wrong, item.right);
        if (row.bar->accessibleName() != item.name)
            row.bar->setAccessibleName(item.name);
        if (row.detail->text() != item.detail)
            row.detail->setText(item.detail);
    }
    // Only the rows whose visibility changes are touched.
    for (int i = 0; i < int(rows.size()); ++i) {
        const Row& row = rows[size_t(i)];
        const bool visible = i < count;
        if (row.name->isVisibleTo(content) != visible) {
            row.name->setVisible(visible);
            row.bar->setVisible(visible);
        }
        const bool detailVisible = visible && hasDetail;
        if (row.detail->isVisibleTo(content) != detailVisible)
            row.detail->setVisible(detailVisible);
    }
    shown = count;
    emptyLabel->setVisible(count == 0 && !emptyLabel->text().isEmpty());
    PlaceRows();
    updateGeometry();
    verticalScrollBar()->setValue(0);
}

int StatisticsRows::DetailWidth() const
{
    if (!hasDetail)
        return 0;
    int widest = 0;
    for (int i = 0; i < shown; ++i) {
        const QLabel* detail = rows[size_t(i)].detail;
        widest = std::max(widest, detail->fontMetrics().horizontalAdvance(detail->text()));
    }
    return std::min(widest + 4, maximumDetailWidth);
}

void StatisticsRows::PlaceRows()
{
    const int width = viewport()->width();
    const int detailWidth = DetailWidth();
    const int barLeft = NameWidth + columnGap;
    const int barWidth =
        std::max(minimumBarWidth, width - barLeft - (detailWidth > 0 ? detailWidth + columnGap : 0));
    for (int i = 0; i < shown; ++i) {
        const Row& row = rows[size_t(i)];
        const int y = i * RowHeight;
        row.name->setGeometry(0, y, NameWidth, RowHeight);
        row.bar->setGeometry(barLeft, y + (RowHeight - BarHeight) / 2, barWidth, BarHeight);
        if (detailWidth > 0)
            row.detail->setGeometry(barLeft + barWidth + columnGap, y, detailWidth, RowHeight);
    }
    emptyLabel->setGeometry(0, 0, width, RowHeight);
    content->resize(width, std::max(shown, 1) * RowHeight);
}

bool StatisticsRows::viewportEvent(QEvent* event)
{
    const bool result = QScrollArea::viewportEvent(event);
    // The viewport narrows when the scroll bar comes: the bars follow its width.
    if (event->type() == QEvent::Resize)
        PlaceRows();
    return result;
}

QSize StatisticsRows::sizeHint() const
{
    const int frame = 2 * frameWidth();
    const int detailWidth = DetailWidth();
    return {NameWidth + columnGap + 300 + (detailWidth > 0 ? detailWidth + columnGap : 0) + frame,
            std::max(shown, 1) * RowHeight + frame};
}

QSize StatisticsRows::minimumSizeHint() const
{
    const int frame = 2 * frameWidth();
    return {NameWidth + columnGap + minimumBarWidth + frame,
            std::min(std::max(shown, 1), 3) * RowHeight + frame};
}

} // namespace UI
