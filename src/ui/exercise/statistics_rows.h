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
    void SetItems(const std::vector<Item>& items);
    // The text shown in place of the rows when there are none.
    void SetEmptyText(const QString& text);

    int ItemCount() const { return shown; }
    // The widgets of a shown row (null past the shown rows).
    QLabel* NameLabel(int row) const;
    Progress* Bar(int row) const;
    QLabel* DetailLabel(int row) const;

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

    void EnsureRows(int count);
    void PlaceRows();
    int DetailWidth() const;

    QWidget* content = nullptr;
    QLabel* emptyLabel = nullptr;
    std::vector<Row> rows;
    int shown = 0;
    bool hasDetail = false;
};

} // namespace UI
