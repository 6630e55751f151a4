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
    m_content = new QWidget;
    m_content->setObjectName(QStringLiteral("statisticsRowsContent"));
    setWidget(m_content);
    // The pane's own background shows through.
    m_content->setAutoFillBackground(false);
    viewport()->setAutoFillBackground(false);
    m_emptyLabel = new QLabel(m_content);
    m_emptyLabel->setObjectName(QStringLiteral("statisticsEmpty"));
    m_emptyLabel->hide();
}

void StatisticsRows::setEmptyText(const QString& text)
{
    m_emptyLabel->setText(text);
}

void StatisticsRows::ensureRows(int count)
{
    while (int(m_rows.size()) < count) {
        Row row;
        row.name = new QLabel(m_content);
        row.name->setObjectName(QStringLiteral("statisticsName"));
        row.name->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        row.bar = new Progress(0, m_content);
        row.bar->setObjectName(QStringLiteral("statisticsBar"));
        row.detail = new QLabel(m_content);
        row.detail->setObjectName(QStringLiteral("statisticsDetail"));
        row.detail->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        for (QWidget* part : {static_cast<QWidget*>(row.name), static_cast<QWidget*>(row.bar),
                              static_cast<QWidget*>(row.detail)}) {
            part->hide();
            part->ensurePolished();
        }
        m_rows.push_back(row);
    }
}

void StatisticsRows::setItems(const std::vector<Item>& items)
{
    const int count = int(items.size());
    m_hasDetail =
        std::any_of(items.begin(), items.end(), [](const Item& item) { return !item.detail.isEmpty(); });
    ensureRows(count);
    for (int i = 0; i < count; ++i) {
        const Item& item = items[size_t(i)];
        const Row& row = m_rows[size_t(i)];
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
    for (int i = 0; i < int(m_rows.size()); ++i) {
        const Row& row = m_rows[size_t(i)];
        const bool visible = i < count;
        if (row.name->isVisibleTo(m_content) != visible) {
            row.name->setVisible(visible);
            row.bar->setVisible(visible);
        }
        const bool detailVisible = visible && m_hasDetail;
        if (row.detail->isVisibleTo(m_content) != detailVisible)
            row.detail->setVisible(detailVisible);
    }
    m_shown = count;
    m_emptyLabel->setVisible(count == 0 && !m_emptyLabel->text().isEmpty());
    placeRows();
    updateGeometry();
    verticalScrollBar()->setValue(0);
}

int StatisticsRows::detailWidth() const
{
    if (!m_hasDetail)
        return 0;
    int widest = 0;
    for (int i = 0; i < m_shown; ++i) {
        const QLabel* detail = m_rows[size_t(i)].detail;
        widest = std::max(widest, detail->fontMetrics().horizontalAdvance(detail->text()));
    }
    return std::min(widest + 4, maximumDetailWidth);
}

void StatisticsRows::placeRows()
{
    const int width = viewport()->width();
    const int detail = detailWidth();
    const int barLeft = NameWidth + columnGap;
    const int barWidth =
        std::max(minimumBarWidth, width - barLeft - (detail > 0 ? detail + columnGap : 0));
    for (int i = 0; i < m_shown; ++i) {
        const Row& row = m_rows[size_t(i)];
        const int y = i * RowHeight;
        row.name->setGeometry(0, y, NameWidth, RowHeight);
        row.bar->setGeometry(barLeft, y + (RowHeight - BarHeight) / 2, barWidth, BarHeight);
        if (detail > 0)
            row.detail->setGeometry(barLeft + barWidth + columnGap, y, detail, RowHeight);
    }
    m_emptyLabel->setGeometry(0, 0, width, RowHeight);
    m_content->resize(width, std::max(m_shown, 1) * RowHeight);
}

bool StatisticsRows::viewportEvent(QEvent* event)
{
    const bool result = QScrollArea::viewportEvent(event);
    // The viewport narrows when the scroll bar comes: the bars follow its width.
    if (event->type() == QEvent::Resize)
        placeRows();
    return result;
}

QSize StatisticsRows::sizeHint() const
{
    const int frame = 2 * frameWidth();
    const int detail = detailWidth();
    return {NameWidth + columnGap + 300 + (detail > 0 ? detail + columnGap : 0) + frame,
            std::max(m_shown, 1) * RowHeight + frame};
}

QSize StatisticsRows::minimumSizeHint() const
{
    const int frame = 2 * frameWidth();
    return {NameWidth + columnGap + minimumBarWidth + frame,
            std::min(std::max(m_shown, 1), 3) * RowHeight + frame};
}

} // namespace UI
