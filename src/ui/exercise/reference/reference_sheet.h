#pragma once
// The parts every reference page is made of: the sheet's look, the table of a page (a grid with
// a shaded header row and thin rules between its rows), its text cells, the picture cells (a
// picture of the resources, an engraved example, or a marking's name on a card) and the play
// buttons. The pages fill a table with them; UI::ReferenceBook puts the table on a sheet.
// GUI thread only.

#include <QColor>
#include <QCoreApplication>
#include <QLabel>
#include <QLoggingCategory>
#include <QSize>
#include <QString>
#include <QWidget>

#include <functional>
#include <initializer_list>

class QGridLayout;
class QToolButton;

namespace UI {
namespace Reference {

Q_DECLARE_LOGGING_CATEGORY(referenceLog)

class ExampleEngraver;

// The texts of the reference are translated in the book's context. Each is marked where it is
// written with QT_TRANSLATE_NOOP("UI::ReferenceBook", ...), which lupdate finds; it does not read
// the texts handed to a function of its own name "translate".
inline QString bookText(const char* text)
{
    return QCoreApplication::translate("UI::ReferenceBook", text);
}

// The book's style sheet. It wins over those of the screen around it, whatever their
// selectors, so the page reads the same on every screen and on paper.
extern const char* const sheetStyle;
// Widgets that only make sense on the screen (the play buttons and their column's header)
// carry this property; the printed page leaves them out.
extern const char* const screenOnly;

extern const QColor ink;

constexpr int cellSpacing = 15;

// Example and picture sizes, device-independent pixels.
constexpr QSize symbolSize(160, 100);
constexpr QSize signatureSize(144, 90);
constexpr QSize tempoSize(208, 130);
constexpr QSize noteExampleSize(120, 100);
constexpr QSize intervalExampleSize(150, 100);
constexpr QSize chordExampleSize(130, 100);
constexpr QSize scaleExampleSize(300, 100);
// Staff heights of the engraved examples: the scales a little smaller, so that nine notes fit,
// and notes and rests shown alone as large as in the generated pictures.
constexpr int exampleStaff = 34;
constexpr int scaleStaff = 30;
constexpr int symbolStaff = 35;

extern const QString pictureFolder;

// A picture cell: a generated picture of the resources, an engraved example, or, for a marking
// without a picture, its name on a card. Drawn at the pixel ratio of what it paints on.
class PictureCell : public QWidget
{
public:
    static PictureCell* resource(const QString& path, const QSize& size, const QString& name);
    static PictureCell* engraved(const ExampleEngraver* engraver, const QByteArray& gmn, const QSize& size,
                                 const QString& name, int staffHeight = exampleStaff, bool isolated = false);
    static PictureCell* marking(const QString& text, const QSize& size);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PictureCell(const QSize& size, const QString& accessibleName);

    QString m_picturePath;
    const ExampleEngraver* m_engraver = nullptr;
    QByteArray m_gmn;
    int m_staffHeight = exampleStaff;
    bool m_isolated = false;
    QString m_marking;
};

// The table of a page: a grid of cells with a shaded header row and thin rules between rows.
class SheetTable : public QWidget
{
public:
    explicit SheetTable(const QString& name);

    // The header row; `playColumn` marks the last column as the play buttons'.
    void header(const QStringList& titles, bool playColumn = false);
    void row(const QList<QWidget*>& cells);
    // A row across all columns: a group title or a note.
    void span(QWidget* cell);
    // The columns that take the width left over (the descriptions).
    void stretch(std::initializer_list<int> stretched);

    // Cells are plain text on the lines they are given wherever they can be: a label that wraps
    // its words, rich text even more, is laid out again for every width the grid tries.

    // The name of a row's item.
    static QLabel* name(const QString& text);
    static QLabel* text(const QString& text, const QString& kind = QString());
    // A line and a second, quieter one under it.
    static QLabel* twoLines(const QString& first, const QString& second, bool firstBold = false);
    // Text that wraps its words to the width it gets.
    static QLabel* paragraph(const QString& text, Qt::TextFormat format, const QString& kind = QString());

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QGridLayout* m_grid;
    int m_columns = 0;
    QVector<QVector<QWidget*>> m_rowCells;
    QVector<int> m_groupRows;
};

// A play button for the example of the row naming `itemName`; `play` runs in `receiver`'s
// thread when it is clicked.
QToolButton* playButton(const QString& itemName, const std::function<void()>& play, QObject* receiver);

} // namespace Reference
} // namespace UI
