#pragma once
// The rows of the exercise screen's statistics pages: one row per asked item (a note, an
// interval, a chord, a scale, a symbol, a tempo marking), with the item's name in a column 202
// pixels wide, a Progress bar of its right and wrong answers and, where the page has one, a short
// description after the bar. A page longer than the room it gets scrolls.
//
// The row widgets are made once and reused: a page with fewer items hides the surplus rows, so
// that switching sections, octaves or the history switch only sets texts and counts. Rows are
// placed by hand at a fixed height (no layout pass over them). GUI thread only.

#include <QScrollArea>
#include <QString>

#include <vector>

class Progress;
class QLabel;

namespace UI {

class StatisticsRows : public QScrollArea
{
    Q_OBJECT
public:
    struct Item
    {
        QString name;
        QString detail; // shown after the bar; empty for none
        int wrong = 0;
        int right = 0;
    };

    static constexpr int NameWidth = 202;
    static constexpr int RowHeight = 30;
    static constexpr int BarHeight = 24;

    explicit StatisticsRows(QWidget* parent = nullptr);

    // Shows one row per item, in the given order, and scrolls back to the top.
    void setItems(const std::vector<Item>& items);
    // The text shown in place of the rows when there are none.
    void setEmptyText(const QString& text);

    int itemCount() const { return m_shown; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool viewportEvent(QEvent* event) override;

private:
    struct Row
    {
        QLabel* name = nullptr;
        Progress* bar = nullptr;
        QLabel* detail = nullptr;
    };

    void ensureRows(int count);
    void placeRows();
    int detailWidth() const;

    QWidget* m_content = nullptr;
    QLabel* m_emptyLabel = nullptr;
    std::vector<Row> m_rows;
    int m_shown = 0;
    bool m_hasDetail = false;
};

} // namespace UI
