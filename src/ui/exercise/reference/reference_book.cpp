#include "ui/exercise/reference/reference_book.h"

#include "core/exercise/exercise_symbol_trainer.h"
#include "core/exercise/music_tables.h"
#include "core/exercise/question_data.h"
#include "core/midi/midi_message.h"
#include "core/midi/midi_out_device.h"
#include "core/midi/sound_controller.h"
#include "core/score_builder.h"
#include "ui/widgets/score_board.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHideEvent>
#include <QIcon>
#include <QLabel>
#include <QLoggingCategory>
#include <QPaintEngine>
#include <QPainter>
#include <QPixmap>
#include <QPixmapCache>
#include <QScrollArea>
#include <QScrollBar>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cstdlib>
#include <functional>
#include <limits>

Q_LOGGING_CATEGORY(referenceLog, "cantorela.reference")

namespace UI {
namespace {

using Step = ReferenceBook::ExampleStep;
using PlayFunction = std::function<void(int row, const QVector<Step>& steps)>;

const char* const Context = "UI::ReferenceBook";

QString Tr(const char* text)
{
    return QCoreApplication::translate(Context, text);
}

struct PageEntry
{
    const char* name;
    const char* title;
};

// By section button, for the note and ear trainers (the note trainer has the first three) and for
// the symbol trainer.
const PageEntry pitchedPages[5] = {
    {"SingleNotes", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Single Notes Reference")},
    {"Intervals", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Intervals Reference")},
    {"Chords", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Chords Reference")},
    {"Scales", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Scales Reference")},
    {"Tempo", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Tempo Reference")},
};
const PageEntry symbolPages[5] = {
    {"NoteLengths", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Note Lengths Reference")},
    {"KeySignatures", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Key Signatures Reference")},
    {"Tempo", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Tempo Reference")},
    {"Loudness", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Loudness Reference")},
    {"NoteModifiers", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Note Modifiers Reference")},
};
constexpr int noteTrainerPages = 3;

const PageEntry* Entry(int trainer, int section)
{
    if (section < 0 || section >= 5)
        return nullptr;
    switch (trainer) {
    case 0:
        return section < noteTrainerPages ? &pitchedPages[section] : nullptr;
    case 1:
        return &pitchedPages[section];
    case 2:
        return &symbolPages[section];
    default:
        return nullptr;
    }
}

const PageEntry* EntryByName(const QString& name)
{
    for (const PageEntry* table : {pitchedPages, symbolPages}) {
        for (int i = 0; i < 5; ++i) {
            if (name == QLatin1String(table[i].name))
                return &table[i];
        }
    }
    return nullptr;
}

// The sheet's look. The book's own style sheet wins over those of the screen around it, whatever
// their selectors, so the page reads the same on every screen and on paper.
const char* const sheetStyle = R"(
QScrollArea { background: white; border: none; }
QWidget#referenceSheet { background: white; }
QLabel { color: rgb(29, 30, 36); font: 14px "Tahoma"; background: transparent; }
QLabel[cell="header"] { font: bold 16px "Tahoma"; }
QLabel[cell="name"] { font: bold 14px "Tahoma"; }
QLabel[cell="term"] { font: bold italic 14px "Tahoma"; }
QLabel[cell="group"] { font: bold 16px "Tahoma"; color: rgb(29, 30, 36); }
QLabel[cell="note"] { color: rgb(84, 88, 100); }
QToolButton#referencePlay { color: white; font: 600 14px "Tahoma"; border: 1px solid rgb(98, 104, 118);
    border-radius: 6px; background-color: rgb(75, 80, 92); padding: 4px 12px 4px 8px; }
QToolButton#referencePlay:hover { background-color: rgb(96, 102, 117); }
QToolButton#referencePlay:pressed { background-color: rgb(52, 55, 64); }
QToolButton#referencePlay:focus { border: 2px solid rgb(39, 137, 221); }
)";

const QString playButtonName = QStringLiteral("referencePlay");
// Widgets that only make sense on the screen (the play buttons and their column's header) carry
// this property; PageImage leaves them out.
const char* const screenOnly = "screenOnly";

const QColor ink(29, 30, 36);
const QColor ruleColour(218, 221, 228);
const QColor headerBand(236, 238, 243);
const QColor cardBorder(214, 216, 222);

constexpr int cellSpacing = 15;
constexpr int titleHeight = 56;

// Example and picture sizes, device-independent pixels.
const QSize symbolSize(160, 100);
const QSize signatureSize(144, 90);
const QSize tempoSize(208, 130);
const QSize noteExampleSize(120, 100);
const QSize intervalExampleSize(150, 100);
const QSize chordExampleSize(130, 100);
const QSize scaleExampleSize(300, 100);
// Staff heights of the engraved examples: the scales a little smaller, so that nine notes fit,
// and notes and rests shown alone as large as in the generated pictures.
constexpr int exampleStaff = 34;
constexpr int scaleStaff = 30;
constexpr int symbolStaff = 35;
constexpr int middleC = 39;
constexpr int velocity = 96;

// The pixel ratio of what a painter really paints on: the window's backing store on screen, the
// picture when the sheet is rendered into one (the widget's own ratio would be the screen's).
qreal PaintRatio(QPainter& painter)
{
    const QPaintEngine* engine = painter.paintEngine();
    const QPaintDevice* device = engine ? engine->paintDevice() : nullptr;
    return device ? std::max<qreal>(1.0, device->devicePixelRatioF()) : 1.0;
}

// A picture of the resources, the "@2x" one for a ratio above 1.
QPixmap ResourcePicture(const QString& path, qreal ratio)
{
    QString chosen = path;
    if (ratio > 1.0 && path.endsWith(QLatin1String(".png")))
        chosen.insert(chosen.size() - 4, QLatin1String("@2x"));
    QPixmap picture;
    if (QPixmapCache::find(chosen, &picture))
        return picture;
    if (!picture.load(chosen) && !picture.load(path)) {
        qCWarning(referenceLog) << "missing picture" << path;
        return picture;
    }
    QPixmapCache::insert(chosen, picture);
    return picture;
}

void DrawCard(QPainter& painter, const QRectF& rect)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(QPen(cardBorder, 1.0));
    painter.setBrush(Qt::white);
    painter.drawRoundedRect(rect.adjusted(0.5, 0.5, -0.5, -0.5), 6, 6);
}

// A picture cell: a generated picture of the resources, an engraved example, or, for a marking
// without a picture, its name on a card. Drawn at the pixel ratio of what it paints on.
class PictureCell : public QWidget
{
public:
    PictureCell(const QSize& size, const QString& accessibleName) : QWidget(nullptr)
    {
        setFixedSize(size);
        setAccessibleName(accessibleName);
    }

    static PictureCell* Resource(const QString& path, const QSize& size, const QString& name)
    {
        auto* cell = new PictureCell(size, name);
        cell->picturePath = path;
        return cell;
    }
    static PictureCell* Engraved(const ReferenceBook* book, const QByteArray& gmn, const QSize& size,
                                 const QString& name, int staffHeight = exampleStaff, bool isolated = false)
    {
        auto* cell = new PictureCell(size, name);
        cell->book = book;
        cell->gmn = gmn;
        cell->staffHeight = staffHeight;
        cell->isolated = isolated;
        return cell;
    }
    static PictureCell* Marking(const QString& text, const QSize& size)
    {
        auto* cell = new PictureCell(size, text);
        cell->marking = text;
        return cell;
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        const qreal ratio = PaintRatio(painter);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        if (!picturePath.isEmpty()) {
            painter.drawPixmap(rect(), ResourcePicture(picturePath, ratio));
            return;
        }
        DrawCard(painter, rect());
        if (book) {
            painter.drawImage(QPointF(0, 0),
                              book->EngravedExample(gmn, size(), ratio, staffHeight, isolated));
        } else {
            QFont font(QStringLiteral("Tahoma"));
            font.setPixelSize(20);
            font.setBold(true);
            font.setItalic(true);
            painter.setFont(font);
            painter.setPen(ink);
            painter.drawText(rect(), Qt::AlignCenter, marking);
        }
    }

private:
    QString picturePath;
    const ReferenceBook* book = nullptr;
    QByteArray gmn;
    int staffHeight = exampleStaff;
    bool isolated = false;
    QString marking;
};

// The table of a page: a grid of cells with a shaded header row and thin rules between rows.
class SheetTable : public QWidget
{
public:
    explicit SheetTable(const QString& name) : grid(new QGridLayout(this))
    {
        setAccessibleName(name);
        grid->setContentsMargins(cellSpacing, cellSpacing / 2, cellSpacing, cellSpacing / 2);
        grid->setHorizontalSpacing(cellSpacing);
        grid->setVerticalSpacing(cellSpacing);
    }

    // The header row; `playColumn` marks the last column as the play buttons'.
    void Header(const QStringList& titles, bool playColumn = false)
    {
        QVector<QWidget*> header;
        for (int column = 0; column < titles.size(); ++column) {
            QLabel* label = Text(titles.at(column), QStringLiteral("header"));
            if (playColumn && column == titles.size() - 1) {
                label->setProperty(screenOnly, true);
                label->setAlignment(Qt::AlignCenter);
            }
            grid->addWidget(label, 0, column);
            header.append(label);
        }
        columns = titles.size();
        rowCells = {header};
    }

    void Row(const QList<QWidget*>& cells)
    {
        const int row = rowCells.size();
        for (int column = 0; column < cells.size(); ++column) {
            QWidget* cell = cells.at(column);
            const bool text = !dynamic_cast<PictureCell*>(cell) && !qobject_cast<QAbstractButton*>(cell);
            grid->addWidget(cell, row, column, text ? Qt::Alignment{} : Qt::AlignCenter);
        }
        rowCells.append(cells.toVector());
    }

    // A row across all columns: a group title or a note.
    void Span(QWidget* cell)
    {
        groupRows.append(rowCells.size());
        grid->addWidget(cell, rowCells.size(), 0, 1, columns);
        rowCells.append({cell});
    }

    // The columns that take the width left over (the descriptions).
    void Stretch(std::initializer_list<int> stretched)
    {
        for (int column : stretched)
            grid->setColumnStretch(column, 1);
    }

    // Cells are plain text on the lines they are given wherever they can be: a label that wraps
    // its words, rich text even more, is laid out again for every width the grid tries.

    // The name of a row's item.
    static QLabel* Name(const QString& text) { return Text(text, QStringLiteral("name")); }

    static QLabel* Text(const QString& text, const QString& kind = QString())
    {
        auto* label = new QLabel(text);
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        if (!kind.isEmpty())
            label->setProperty("cell", kind);
        return label;
    }

    // A line and a second, quieter one under it.
    static QLabel* TwoLines(const QString& first, const QString& second, bool firstBold = false)
    {
        auto* label = new QLabel(QStringLiteral("%1<br><span style='color:rgb(84,88,100);'>%2</span>")
                                     .arg(firstBold ? QStringLiteral("<b>%1</b>").arg(first.toHtmlEscaped())
                                                    : first.toHtmlEscaped(),
                                          second.toHtmlEscaped()));
        label->setTextFormat(Qt::RichText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
        return label;
    }

    // Text that wraps its words to the width it gets.
    static QLabel* Paragraph(const QString& text, Qt::TextFormat format, const QString& kind = QString())
    {
        QLabel* label = Text(text, kind);
        label->setTextFormat(format);
        label->setWordWrap(true);
        return label;
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        // Rows are found from their cells' geometry: the grid's own cell rectangles follow the
        // last height-for-width question asked, which need not be this layout's.
        QVector<QPair<int, int>> spans; // top and bottom of each row
        for (const QVector<QWidget*>& cells : rowCells) {
            int top = std::numeric_limits<int>::max(), bottom = std::numeric_limits<int>::min();
            for (QWidget* cell : cells) {
                if (cell->isHidden())
                    continue;
                top = std::min(top, cell->geometry().top());
                bottom = std::max(bottom, cell->geometry().bottom());
            }
            spans.append({top, bottom});
        }
        if (spans.isEmpty() || spans.first().first > spans.first().second)
            return;
        QPainter painter(this);
        const int left = cellSpacing / 2;
        const int right = width() - cellSpacing / 2;
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(Qt::NoPen);
        painter.setBrush(headerBand);
        const QPair<int, int> header = spans.first();
        painter.drawRoundedRect(QRectF(left, header.first - cellSpacing / 2.0, right - left,
                                       header.second - header.first + 1 + cellSpacing),
                                4, 4);
        painter.setRenderHint(QPainter::Antialiasing, false);
        for (int row = 2; row < spans.size(); ++row) {
            const int above = spans.at(row - 1).second;
            const int below = spans.at(row).first;
            if (above > below)
                continue;
            const int y = (above + below + 1) / 2;
            painter.setPen(QPen(groupRows.contains(row) ? ink : ruleColour, 1));
            painter.drawLine(left, y, right, y);
        }
    }

private:
    QGridLayout* grid;
    int columns = 0;
    QVector<QVector<QWidget*>> rowCells;
    QVector<int> groupRows;
};

QIcon MakePlayIcon()
{
    QIcon icon;
    for (qreal ratio : {1.0, 2.0}) {
        QPixmap pixmap(QSize(12, 12) * ratio);
        pixmap.setDevicePixelRatio(ratio);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing, true);
        painter.setPen(Qt::NoPen);
        painter.setBrush(Qt::white);
        painter.drawPolygon(QPolygonF({QPointF(2, 1), QPointF(11, 6), QPointF(2, 11)}));
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

const QIcon& PlayIcon()
{
    static const QIcon icon = MakePlayIcon();
    return icon;
}

QToolButton* PlayButton(const QString& itemName, const std::function<void()>& play, QObject* context)
{
    auto* button = new QToolButton;
    button->setObjectName(playButtonName);
    button->setText(Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Play")));
    button->setIcon(PlayIcon());
    button->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    button->setAccessibleName(Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Play %1")).arg(itemName));
    button->setToolTip(button->accessibleName());
    button->setCursor(Qt::PointingHandCursor);
    button->setFocusPolicy(Qt::StrongFocus);
    button->setProperty(screenOnly, true);
    QObject::connect(button, &QToolButton::clicked, context, play);
    return button;
}

// ---- Examples ----------------------------------------------------------------------------------

QVector<int> Keys(const std::vector<int>& offsets, int root = middleC)
{
    QVector<int> keys;
    for (int offset : offsets)
        keys.append(root + offset);
    return keys;
}

QString Joined(const QStringList& names)
{
    return names.join(QStringLiteral(" \u2013 "));
}

QVector<Step> NoteSteps(int key)
{
    return {{{key}, 900}};
}

// The lower note, the upper note, then both together.
QVector<Step> IntervalSteps(int lower, int upper)
{
    QVector<Step> steps{{{lower}, 500}, {{upper}, 500}};
    if (upper != lower)
        steps.append({{lower, upper}, 1200});
    return steps;
}

// Broken upwards for a moment, then together.
QVector<Step> ChordSteps(const QVector<int>& keys)
{
    QVector<Step> steps;
    for (int key : keys)
        steps.append({{key}, 200});
    steps.append({keys, 1400});
    return steps;
}

QVector<Step> ScaleSteps(const QVector<int>& keys)
{
    QVector<Step> steps;
    for (int key : keys)
        steps.append({{key}, 250});
    if (!steps.isEmpty())
        steps.last().milliseconds = 600;
    return steps;
}

// ---- Single notes ------------------------------------------------------------------------------

struct NoteRow
{
    int key;
    const char* position;
};

const NoteRow trebleNotes[] = {
    {39, QT_TRANSLATE_NOOP("UI::ReferenceBook", "On a ledger line below the staff")},
    {41, QT_TRANSLATE_NOOP("UI::ReferenceBook", "Just below the bottom line")},
    {43, QT_TRANSLATE_NOOP("UI::ReferenceBook", "Bottom line (line 1)")},
    {44, QT_TRANSLATE_NOOP("UI::ReferenceBook", "First space")},
    {46, QT_TRANSLATE_NOOP("UI::ReferenceBook", "Second line: the G clef curls around it")},
    {48, QT_TRANSLATE_NOOP("UI::ReferenceBook", "Second space")},
    {50, QT_TRANSLATE_NOOP("UI::ReferenceBook", "Middle line (line 3)")},
    {51, QT_TRANSLATE_NOOP("UI::ReferenceBook", "Third space")},
};
const NoteRow bassNotes[] = {
    {27, QT_TRANSLATE_NOOP("UI::ReferenceBook", "Second space")},
    {29, QT_TRANSLATE_NOOP("UI::ReferenceBook", "Middle line (line 3)")},
    {31, QT_TRANSLATE_NOOP("UI::ReferenceBook", "Third space")},
    {32, QT_TRANSLATE_NOOP("UI::ReferenceBook", "Fourth line: between the two dots of the F clef")},
    {34, QT_TRANSLATE_NOOP("UI::ReferenceBook", "Top space")},
    {36, QT_TRANSLATE_NOOP("UI::ReferenceBook", "Top line (line 5)")},
    {38, QT_TRANSLATE_NOOP("UI::ReferenceBook", "Just above the top line")},
    {39, QT_TRANSLATE_NOOP("UI::ReferenceBook", "On a ledger line above the staff")},
};

void SingleNotesTable(SheetTable* table, const ReferenceBook* book, const PlayFunction& play,
                      QObject* context)
{
    table->Header({Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Note")),
                   Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "On the Staff")),
                   Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Where It Sits")),
                   Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Listen"))},
                  true);
    table->Stretch({2});
    int row = 0;
    for (const bool treble : {true, false}) {
        table->Span(SheetTable::Paragraph(
            treble ? Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook",
                                          "Treble Clef<br><span style='font-weight:normal; font-size:14px;'>"
                                          "Lines from the bottom: E G B D F (Every Good Boy Does Fine). "
                                          "Spaces: F A C E.</span>"))
                   : Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook",
                                          "Bass Clef<br><span style='font-weight:normal; font-size:14px;'>"
                                          "Lines from the bottom: G B D F A (Good Boys Do Fine Always). "
                                          "Spaces: A C E G (All Cows Eat Grass).</span>")),
            Qt::RichText, QStringLiteral("group")));
        for (const NoteRow& note : treble ? trebleNotes : bassNotes) {
            const QString name = Core::MusicTables::NoteLabel(note.key, false);
            const QString shownName =
                note.key == middleC
                    ? name + QLatin1Char('\n') + Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Middle C"))
                    : name;
            const QByteArray gmn = Core::ScoreBuilder::WriteQuestion({note.key}, treble, false, 1);
            const int key = note.key;
            table->Row({SheetTable::Name(shownName),
                        PictureCell::Engraved(
                            book, gmn, noteExampleSize,
                            Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "%1 on the staff")).arg(name)),
                        SheetTable::Text(Tr(note.position)),
                        PlayButton(
                            name, [play, row, key] { play(row, NoteSteps(key)); }, context)});
            ++row;
        }
    }
}

// ---- Intervals ---------------------------------------------------------------------------------

// How each interval sounds, by size in semitones.
const char* const intervalCharacters[Core::MusicTables::IntervalCount] = {
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "The same note twice"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "The very next key: sharp, tense"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "One scale step: gently tense"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "Soft and sad, as in a minor chord"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "Bright, as in a major chord"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "Open, a little unsettled"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "Half an octave: restless"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "Open, hollow, very stable"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "Warm and bittersweet"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "Sweet and open"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "Bluesy, wants to move on"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "Dreamy, a key short of C5"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "The same letter, 8 white keys up"),
};

void IntervalsTable(SheetTable* table, const ReferenceBook* book, const PlayFunction& play, QObject* context)
{
    table->Header({Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Interval")),
                   Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Semitones")),
                   Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Example")),
                   Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Notes")),
                   Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Listen"))},
                  true);
    table->Stretch({3});
    for (int size = 0; size < Core::MusicTables::IntervalCount; ++size) {
        const QString name = Core::MusicTables::IntervalShortName(size);
        const int lower = middleC;
        const int upper = middleC + size;
        // Flats spell every interval above C as its name says (C-E flat is a minor third).
        const QByteArray gmn = Core::ScoreBuilder::WriteQuestion({lower, upper}, true, true, 2);
        const QString notes =
            Joined({Core::MusicTables::NoteLabel(lower, true), Core::MusicTables::NoteLabel(upper, true)});
        auto* semitones = SheetTable::Text(QString::number(size));
        semitones->setAlignment(Qt::AlignCenter);
        table->Row(
            {SheetTable::Name(name), semitones,
             PictureCell::Engraved(book, gmn, intervalExampleSize, name + QLatin1String(": ") + notes),
             SheetTable::TwoLines(notes, Tr(intervalCharacters[size])),
             PlayButton(
                 name, [play, size, lower, upper] { play(size, IntervalSteps(lower, upper)); }, context)});
    }
}

// ---- Chords ------------------------------------------------------------------------------------

struct ChordRow
{
    const char* name;
    // Degrees of the major scale on the root, as a chord chart writes them; they also spell the
    // notes (a flattened seventh is a B flat above C, never an A sharp).
    const char* formula;
};

// By chord type.
const ChordRow chordRows[Core::MusicTables::ChordTypeCount] = {
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Major Triad - C"), "1 3 5"},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Minor Triad - Cm"), "1 b3 5"},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Major Sixth - C6"), "1 3 5 6"},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Minor Sixth - Cm6"), "1 b3 5 6"},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Major Seventh - CM7"), "1 3 5 7"},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Minor Seventh - Cm7"), "1 b3 5 b7"},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Dominant Seventh - C7"), "1 3 5 b7"},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Suspended 2 - Csus2"), "1 2 5"},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Suspended 4 - Csus4"), "1 4 5"},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Sixth Suspended 2 - C6sus2"), "1 2 5 6"},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Sixth Suspended 4 - C6sus4"), "1 4 5 6"},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Seventh Suspended 2 - C7sus2"), "1 2 5 b7"},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Seventh Suspended 4 - C7sus4"), "1 4 5 b7"},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Augmented - Caug"), "1 3 #5"},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Augmented Sixth - Caug6"), "1 3 #5 6"},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Augmented Seventh - Caug7"), "1 3 #5 b7"},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Diminished - Cdim"), "1 b3 b5"},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Diminished Seventh - Cdim7"), "1 b3 b5 bb7"},
};

struct SpelledNote
{
    int key = 0;
    QByteArray token; // in the notation text
    QString name;     // as the page prints it
};

// A degree of the formula on middle C: its letter from the degree, its accidentals from the
// signs before it.
SpelledNote Spell(const QByteArray& degree)
{
    static const int naturalOffsets[7] = {0, 2, 4, 5, 7, 9, 11};
    static const char letters[] = "CDEFGAB";
    int alter = 0;
    int at = 0;
    for (; at < degree.size() && (degree[at] == 'b' || degree[at] == '#'); ++at)
        alter += degree[at] == '#' ? 1 : -1;
    const int step = std::clamp(degree.mid(at).toInt() - 1, 0, 6);
    SpelledNote note;
    note.key = middleC + naturalOffsets[step] + alter;
    note.token = QByteArray(1, char(letters[step] - 'A' + 'a')) +
                 QByteArray(std::abs(alter), alter > 0 ? '#' : '&') + QByteArrayLiteral("1");
    note.name = QString(QLatin1Char(letters[step])) +
                QString(std::abs(alter), alter > 0 ? QChar(0x266F) : QChar(0x266D));
    return note;
}

QString FormulaText(const char* formula)
{
    QString text = QString::fromLatin1(formula);
    text.replace(QLatin1Char('b'), QChar(0x266D));
    text.replace(QLatin1Char('#'), QChar(0x266F));
    return text;
}

// The chord on middle C as the score builder writes it, its notes spelled as the formula says.
QByteArray ChordText(const QVector<int>& keys, const std::vector<SpelledNote>& spelled, bool flat)
{
    QByteArray text = Core::ScoreBuilder::WriteQuestion(keys, true, flat, 3);
    const int open = text.indexOf(" { ");
    const int close = open < 0 ? -1 : text.indexOf(" } ", open);
    if (close < 0 || int(spelled.size()) != keys.size())
        return text;
    QByteArray chord;
    for (const SpelledNote& note : spelled)
        chord += (chord.isEmpty() ? "" : " , ") + note.token;
    return text.left(open + 3) + chord + text.mid(close);
}

void ChordsTable(SheetTable* table, const ReferenceBook* book, const PlayFunction& play, QObject* context)
{
    table->Header({Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Chord")),
                   Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Example")),
                   Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Notes")),
                   Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Listen"))},
                  true);
    table->Stretch({2});
    for (int type = 0; type < Core::MusicTables::ChordTypeCount; ++type) {
        const QString name = Tr(chordRows[type].name);
        const QVector<int> keys = Keys(Core::MusicTables::ChordKeys(type, middleC, 0), 0);
        std::vector<SpelledNote> spelled;
        QStringList names;
        bool flat = false;
        for (const QByteArray& degree : QByteArray(chordRows[type].formula).split(' ')) {
            spelled.push_back(Spell(degree));
            names.append(spelled.back().name);
            flat = flat || degree.startsWith('b');
        }
        const bool matches = std::equal(spelled.begin(), spelled.end(), keys.begin(), keys.end(),
                                        [](const SpelledNote& note, int key) { return note.key == key; });
        if (!matches) {
            // The chord table and the formula disagree: the notes the table gives are played and
            // shown as the builder spells them.
            qCWarning(referenceLog) << "chord formula does not match the chord table:" << name;
            spelled.clear();
            names.clear();
            for (int key : keys)
                names.append(Core::MusicTables::NoteName(Core::MusicTables::PitchClass(key), flat));
        }
        const QString notes = Joined(names);
        table->Row({SheetTable::Name(name),
                    PictureCell::Engraved(book, ChordText(keys, spelled, flat), chordExampleSize,
                                          name + QLatin1String(": ") + notes),
                    SheetTable::TwoLines(notes, FormulaText(chordRows[type].formula)),
                    PlayButton(
                        name, [play, type, keys] { play(type, ChordSteps(keys)); }, context)});
    }
}

// ---- Scales ------------------------------------------------------------------------------------

struct ScaleRow
{
    const char* name;
    const char* tableName; // the scale table's entry; nullptr: `steps` below
    bool descending;
    bool flat;
    std::vector<int> steps;
};

// The scale table's pool order differs from the order a teacher lists them in; rows find their
// scale by its name there. The Arabian (major Locrian) scale has no entry of its own.
const ScaleRow scaleRows[] = {
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Major"), "Major", false, false, {}},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Natural Minor"), "Natural m", false, true, {}},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Melodic Minor"), "Melodic m", false, true, {}},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Melodic Minor (Descending)"), "Melodic m", true, true, {}},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Harmonic Minor"), "Harmonic m", false, true, {}},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Pentatonic Major"), "Pentatonic", false, false, {}},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Pentatonic Minor"), "Pentatonic m", false, true, {}},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Diminished"), "Diminished", false, true, {}},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Augmented"), "Augmented", false, true, {}},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Blues"), "Blues", false, true, {}},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Arabian"), nullptr, false, true, {0, 2, 4, 5, 6, 8, 10, 12}},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Whole Tone"), "Whole Tone", false, false, {}},
};

std::vector<int> ScaleOffsets(const ScaleRow& row)
{
    if (!row.tableName)
        return row.steps;
    for (int i = 0; i < Core::MusicTables::ScaleCount; ++i) {
        const Core::MusicTables::Scale& scale = Core::MusicTables::ScaleAt(i);
        if (qstrcmp(scale.name, row.tableName) == 0)
            return row.descending ? scale.descending : scale.ascending;
    }
    qCWarning(referenceLog) << "no scale named" << row.tableName;
    return {};
}

// "W W H W W W H": whole and half steps between neighbours, W+H for three semitones.
QString StepPattern(const QVector<int>& keys)
{
    QStringList steps;
    for (int i = 1; i < keys.size(); ++i) {
        switch (std::abs(keys.at(i) - keys.at(i - 1))) {
        case 1:
            steps.append(QStringLiteral("H"));
            break;
        case 2:
            steps.append(QStringLiteral("W"));
            break;
        case 3:
            steps.append(QStringLiteral("W+H"));
            break;
        default:
            steps.append(QStringLiteral("2W"));
            break;
        }
    }
    return steps.join(QLatin1Char(' '));
}

void ScalesTable(SheetTable* table, const ReferenceBook* book, const PlayFunction& play, QObject* context)
{
    table->Header({Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Scale")),
                   Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Example")),
                   Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Notes and Steps")),
                   Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Listen"))},
                  true);
    table->Stretch({2});
    int row = 0;
    for (const ScaleRow& scale : scaleRows) {
        const QString name = Tr(scale.name);
        const QVector<int> keys = Keys(ScaleOffsets(scale));
        QStringList names;
        for (int key : keys)
            names.append(Core::MusicTables::NoteName(Core::MusicTables::PitchClass(key), scale.flat));
        const QString notes = names.join(QLatin1Char(' '));
        const QByteArray gmn = Core::ScoreBuilder::WriteQuestion(keys, true, scale.flat, 0);
        table->Row({SheetTable::Name(name),
                    PictureCell::Engraved(book, gmn, scaleExampleSize, name + QLatin1String(": ") + notes,
                                          scaleStaff),
                    SheetTable::TwoLines(notes, StepPattern(keys)),
                    PlayButton(
                        name, [play, row, keys] { play(row, ScaleSteps(keys)); }, context)});
        ++row;
    }
}

// ---- Tempo -------------------------------------------------------------------------------------

struct TempoRow
{
    const char* name; // also the tempo table's name, where the marking has a picture
    const char* description;
};

const TempoRow tempoRows[] = {
    {"Grave", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Slow and solemn (20-40 bpm)")},
    {"Largo", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Very slow (40-60 bpm)")},
    {"Adagio", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Slow and stately (66-76 bpm)")},
    {"Andante", QT_TRANSLATE_NOOP("UI::ReferenceBook", "At a walking pace (76-108 bpm)")},
    {"Moderato", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Moderately (101-110 bpm)")},
    {"Allegro", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Fast and bright (120-139 bpm)")},
    {"Vivace", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Lively and fast (130-155 bpm)")},
    {"Presto", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Very fast (168-200 bpm)")},
    {"Prestissimo", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Extremely fast (more than 200 bpm)")},
};

void TempoTable(SheetTable* table)
{
    table->Header({Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Tempo")),
                   Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Name")),
                   Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Description"))});
    table->Stretch({2});
    for (const TempoRow& row : tempoRows) {
        const QString name = QString::fromLatin1(row.name);
        QString picture;
        for (int t = 0; t < Core::MusicTables::TempoCount; ++t) {
            if (qstrcmp(Core::MusicTables::TempoAt(t).name, row.name) == 0)
                picture = Core::MusicTables::TempoPicture(t);
        }
        QWidget* cell = picture.isEmpty() ? PictureCell::Marking(name, tempoSize)
                                          : PictureCell::Resource(picture, tempoSize, name);
        table->Row(
            {cell, SheetTable::Text(name, QStringLiteral("term")), SheetTable::Text(Tr(row.description))});
    }
}

// ---- Note lengths ------------------------------------------------------------------------------

struct LengthRow
{
    const char* name;
    const char* britishName;
    const char* beats;
    const char* note; // picture; nullptr: engraved
    const char* rest;
};

const LengthRow lengthRows[] = {
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Whole"), QT_TRANSLATE_NOOP("UI::ReferenceBook", "semibreve"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "4 beats"), "wholenote.png", "wholerest.png"},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Half"), QT_TRANSLATE_NOOP("UI::ReferenceBook", "minim"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "2 beats"), "halfnote.png", "halfrest.png"},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Quarter"), QT_TRANSLATE_NOOP("UI::ReferenceBook", "crotchet"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "1 beat"), "quarternote.png", "quarterrest.png"},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Eighth"), QT_TRANSLATE_NOOP("UI::ReferenceBook", "quaver"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "1/2 beat"), "eighthnote.png", "eighthrest.png"},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "16th"), QT_TRANSLATE_NOOP("UI::ReferenceBook", "semiquaver"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "1/4 beat"), "sixteenthnote.png", "sixteenthrest.png"},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "32nd"), QT_TRANSLATE_NOOP("UI::ReferenceBook", "demisemiquaver"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "1/8 beat"), "thirtysecondnote.png", "thirtysecondrest.png"},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "64th"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "hemidemisemiquaver"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "1/16 beat"), "sixtyfourthnote.png", "sixtyfourthrest.png"},
    // No picture has five flags: the 128th note and rest are engraved.
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "128th"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "semihemidemisemiquaver"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "1/32 beat"), nullptr, nullptr},
};

const QString pictureFolder = QStringLiteral(":/pixmap/exercise/");

void NoteLengthsTable(SheetTable* table, const ReferenceBook* book)
{
    table->Header({QString(), Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Note")),
                   Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Rest")),
                   Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Duration"))});
    table->Stretch({3});
    for (const LengthRow& row : lengthRows) {
        const QString name = Tr(row.name);
        const QString noteName = Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "%1 note")).arg(name);
        const QString restName = Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "%1 rest")).arg(name);
        QWidget* note;
        QWidget* rest;
        if (row.note) {
            note = PictureCell::Resource(pictureFolder + QLatin1String(row.note), symbolSize, noteName);
            rest = PictureCell::Resource(pictureFolder + QLatin1String(row.rest), symbolSize, restName);
        } else {
            note = PictureCell::Engraved(book, QByteArrayLiteral("{ [ \\staff<1> _/1 \\stemsUp g1/128 ] }"),
                                         symbolSize, noteName, symbolStaff, true);
            rest = PictureCell::Engraved(book, QByteArrayLiteral("{ [ \\staff<1> _/1 _/128 ] }"), symbolSize,
                                         restName, symbolStaff, true);
        }
        table->Row(
            {SheetTable::Name(name), note, rest, SheetTable::TwoLines(Tr(row.beats), Tr(row.britishName))});
    }
}

// ---- Key signatures ----------------------------------------------------------------------------

// By row of the symbol trainer's key-signature table: sharps (positive) or flats (negative), and
// the two keys in words.
struct SignatureRow
{
    int accidentals;
    const char* keys;
};

const SignatureRow signatureRows[] = {
    {0, QT_TRANSLATE_NOOP("UI::ReferenceBook", "C major, A minor")},
    {1, QT_TRANSLATE_NOOP("UI::ReferenceBook", "G major, E minor")},
    {2, QT_TRANSLATE_NOOP("UI::ReferenceBook", "D major, B minor")},
    {3, QT_TRANSLATE_NOOP("UI::ReferenceBook", "A major, F\u266F minor")},
    {4, QT_TRANSLATE_NOOP("UI::ReferenceBook", "E major, C\u266F minor")},
    {5, QT_TRANSLATE_NOOP("UI::ReferenceBook", "B major, G\u266F minor")},
    {6, QT_TRANSLATE_NOOP("UI::ReferenceBook", "F\u266F major, D\u266F minor")},
    {-6, QT_TRANSLATE_NOOP("UI::ReferenceBook", "G\u266D major, E\u266D minor")},
    {-5, QT_TRANSLATE_NOOP("UI::ReferenceBook", "D\u266D major, B\u266D minor")},
    {-4, QT_TRANSLATE_NOOP("UI::ReferenceBook", "A\u266D major, F minor")},
    {-3, QT_TRANSLATE_NOOP("UI::ReferenceBook", "E\u266D major, C minor")},
    {-2, QT_TRANSLATE_NOOP("UI::ReferenceBook", "B\u266D major, G minor")},
    {-1, QT_TRANSLATE_NOOP("UI::ReferenceBook", "F major, D minor")},
};

QString AccidentalsText(int count)
{
    if (count == 0)
        return Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "No sharps or flats"));
    static const char sharpOrder[] = "FCGDAEB";
    static const char flatOrder[] = "BEADGCF";
    const bool sharps = count > 0;
    QStringList notes;
    for (int i = 0; i < std::abs(count); ++i)
        notes.append(QString(QLatin1Char((sharps ? sharpOrder : flatOrder)[i])) +
                     QChar(sharps ? 0x266F : 0x266D));
    const QString what =
        sharps ? (count == 1 ? Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "1 sharp"))
                             : Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "%1 sharps")).arg(count))
               : (count == -1 ? Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "1 flat"))
                              : Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "%1 flats")).arg(-count));
    return what + QStringLiteral(": ") + notes.join(QLatin1Char(' '));
}

void KeySignaturesTable(SheetTable* table)
{
    table->Header({Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Treble Clef")),
                   Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Bass Clef")),
                   Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Key")),
                   Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Sharps or Flats"))});
    table->Stretch({2, 3});
    const Core::QuestionPool& items =
        Core::ExerciseSymbolTrainer::ItemTable(Core::ExerciseSymbolTrainer::SignaturesSection);
    const int count = std::min(int(items.size()), int(sizeof(signatureRows) / sizeof(signatureRows[0])));
    for (int row = 0; row < count; ++row) {
        const QString label = items[size_t(row)]->caption2;
        const QString keys = Tr(signatureRows[row].keys);
        table->Row({PictureCell::Resource(
                        Core::ExerciseSymbolTrainer::SignaturePicture(row, true), signatureSize,
                        Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "%1 in the treble clef")).arg(keys)),
                    PictureCell::Resource(
                        Core::ExerciseSymbolTrainer::SignaturePicture(row, false), signatureSize,
                        Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "%1 in the bass clef")).arg(keys)),
                    SheetTable::TwoLines(label, keys, true),
                    SheetTable::Text(AccidentalsText(signatureRows[row].accidentals))});
    }
}

// ---- Loudness and note modifiers ---------------------------------------------------------------

struct SymbolRow
{
    const char* picture;
    const char* name;
    const char* definition;
};

const SymbolRow loudnessRows[] = {
    {"fortississimo.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Fortississimo"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "As loud as possible: louder than fortissimo.")},
    {"fortissimo.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Fortissimo"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "Very loud.")},
    {"forte.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Forte"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "Loud (Italian for \u201Cstrong\u201D).")},
    {"mezzoforte.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Mezzo forte"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "Moderately loud: a little softer than forte.")},
    {"mezzopiano.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Mezzo piano"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "Moderately soft: a little louder than piano.")},
    {"piano.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Piano"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "Soft (Italian for \u201Cquiet\u201D).")},
    {"pianissimo.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Pianissimo"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "Very soft.")},
    {"pianississimo.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Pianississimo"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "As soft as possible: softer than pianissimo.")},
    {"sforzando.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Sforzando"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook",
                       "A sudden, strong accent on one note or chord, then back to the loudness around it.")},
    {"crescendo.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Crescendo"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook",
                       "Gradually louder, for as long as the opening hairpin (or the word cresc.) lasts.")},
    {"diminuendo.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Diminuendo"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook",
                       "Gradually softer, for as long as the closing hairpin (or the word dim.) lasts.")},
};

const SymbolRow modifierRows[] = {
    {"arpeggio.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Arpeggio"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook",
                       "Roll the chord: play its notes quickly one after another, from the bottom up.")},
    {"tremolo.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Tremolo"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook",
                       "Repeat the note (or alternate two notes) very quickly for its whole length.")},
    {"accent.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Accent"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "Play the note louder than the notes around it.")},
    {"staccato.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Staccato"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "Short and detached: let go of the key early.")},
    {"staccatissimo.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Staccatissimo"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "Very short and sharply detached, shorter than staccato.")},
    {"tenuto.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Tenuto"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "Hold the note for its full length, with a little weight.")},
    {"marcato.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Marcato"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "Strongly marked: louder and more forceful than an accent.")},
    {"legato.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Legato"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook",
                       "A slur over different notes: play them smoothly connected, without gaps.")},
    {"tie.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Tie"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook",
                       "Joins two notes of the same pitch: play the first and hold it through the second.")},
    {"pedaldown.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Pedal Down"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "Press the sustain (right) pedal.")},
    {"pedalup.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Pedal Up"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "Release the sustain pedal.")},
    {"fermata.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Fermata"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook",
                       "Hold the note or rest longer than written, as long as sounds right.")},
    {"trill.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Trill"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook",
                       "Alternate quickly between the written note and the note above it.")},
    {"appoggiatura.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Appoggiatura"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook",
                       "A small leaning note played on the beat; it takes time from the main note, "
                       "usually half.")},
    {"acciaccatura.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Acciaccatura"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook",
                       "A small crossed-out note, crushed in as quickly as possible before the main note.")},
    {"ottavaalta.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Ottava Alta"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "8va: play the notes under the line one octave higher.")},
    {"ottavabassa.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Ottava Bassa"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "8vb: play the notes over the line one octave lower.")},
    {"repeat.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Repeat"),
     QT_TRANSLATE_NOOP(
         "UI::ReferenceBook",
         "Go back to the facing repeat sign (or to the beginning) and play the passage again.")},
    {"volte.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Volta Brackets"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook",
                       "First and second endings: play ending 1 the first time; on the repeat skip it and "
                       "play ending 2.")},
    {"flat.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Flat"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook",
                       "Lowers the note by a half step: the very next key to the left.")},
    {"doubleflat.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Double Flat"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "Lowers the note by two half steps (a whole step).")},
    {"sharp.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Sharp"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook",
                       "Raises the note by a half step: the very next key to the right.")},
    {"doublesharp.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Double Sharp"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "Raises the note by two half steps (a whole step).")},
    {"natural.png", QT_TRANSLATE_NOOP("UI::ReferenceBook", "Natural"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "Cancels a sharp or flat: play the plain white key.")},
};

template <size_t N> void SymbolTable(SheetTable* table, const SymbolRow (&rows)[N], bool nameColumn)
{
    QStringList headers{Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Symbol"))};
    if (nameColumn)
        headers.append(Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Name")));
    headers.append(Tr(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Definition")));
    table->Header(headers);
    table->Stretch({headers.size() - 1});
    for (const SymbolRow& row : rows) {
        const QString name = Tr(row.name);
        QList<QWidget*> cells{
            PictureCell::Resource(pictureFolder + QLatin1String(row.picture), symbolSize, name)};
        if (nameColumn) {
            cells.append(SheetTable::Name(name));
            cells.append(SheetTable::Paragraph(Tr(row.definition), Qt::PlainText));
        } else {
            // The name over its definition, in one cell.
            auto* cell = new QWidget;
            auto* lines = new QVBoxLayout(cell);
            lines->setContentsMargins(0, 0, 0, 0);
            lines->setSpacing(2);
            lines->addStretch(1);
            lines->addWidget(SheetTable::Name(name));
            lines->addWidget(SheetTable::Paragraph(Tr(row.definition), Qt::PlainText));
            lines->addStretch(1);
            cells.append(cell);
        }
        table->Row(cells);
    }
}

const char* IntroText(const QString& page)
{
    static const struct
    {
        const char* page;
        const char* text;
    } intros[] = {
        {"SingleNotes", QT_TRANSLATE_NOOP("UI::ReferenceBook",
                                          "Where the notes from C3 to C5 sit on the staff. Middle C (C4) is "
                                          "written on a short ledger line: below the treble staff, above the "
                                          "bass staff.")},
        {"Intervals", QT_TRANSLATE_NOOP("UI::ReferenceBook",
                                        "An interval is the distance between two notes, counted in semitones "
                                        "(half steps): one semitone takes you to the very next key, black or "
                                        "white. Every example starts on middle C (C4).")},
        {"Chords",
         QT_TRANSLATE_NOOP("UI::ReferenceBook",
                           "Every chord is built on middle C (C4) and shown in root position. The "
                           "second line counts its notes in steps of the major scale from the root: "
                           "\u266D lowers a step by a semitone, \u266F raises it.")},
        {"Scales",
         QT_TRANSLATE_NOOP("UI::ReferenceBook",
                           "Every scale starts on middle C (C4). Steps: W = whole step (2 semitones), "
                           "H = half step (1 semitone), W+H = 3 semitones, 2W = 4 semitones.")},
        {"Tempo", QT_TRANSLATE_NOOP("UI::ReferenceBook",
                                    "Tempo markings tell how fast the beat goes; bpm means beats per minute. "
                                    "The numbers are a guide, not a rule.")},
        {"NoteLengths",
         QT_TRANSLATE_NOOP("UI::ReferenceBook",
                           "How long each note and rest lasts, counted in beats when a quarter "
                           "note gets one beat (as in 4/4 time). Each length is half of the one "
                           "above it.")},
        {"KeySignatures",
         QT_TRANSLATE_NOOP("UI::ReferenceBook",
                           "The sharps or flats at the start of every staff hold for the whole "
                           "piece. Each signature belongs to a major key and to its relative "
                           "minor (lower-case letter), three semitones below. Sharps always "
                           "come in the order F C G D A E B, flats in the order B E A D G C F.")},
        {"Loudness", QT_TRANSLATE_NOOP("UI::ReferenceBook",
                                       "Dynamics tell how loudly to play. They are Italian words, written in "
                                       "short form below the staff.")},
        {"NoteModifiers",
         QT_TRANSLATE_NOOP("UI::ReferenceBook",
                           "Signs written on, above or next to notes that change how they are "
                           "played.")},
    };
    for (const auto& intro : intros) {
        if (page == QLatin1String(intro.page))
            return intro.text;
    }
    return "";
}

// After cells were hidden or shown: the layouts and the sizes they keep of their widgets are
// worked out again at once, not when the posted layout request arrives.
void Relayout(QWidget* sheet)
{
    for (QWidget* widget : sheet->findChildren<QWidget*>()) {
        if (widget->layout())
            widget->updateGeometry();
    }
    for (QLayout* layout : sheet->findChildren<QLayout*>())
        layout->invalidate();
    sheet->layout()->invalidate();
}

} // namespace

ReferenceBook::ReferenceBook(std::shared_ptr<Core::SoundController> soundController, QWidget* parent)
    : QStackedWidget(parent), sound(std::move(soundController)), blankPage(new QWidget(this)),
      stepTimer(new QTimer(this))
{
    setStyleSheet(QString::fromLatin1(sheetStyle));
    blankPage->setObjectName(QString());
    addWidget(blankPage);
    stepTimer->setSingleShot(true);
    connect(stepTimer, &QTimer::timeout, this, &ReferenceBook::NextStep);
}

ReferenceBook::~ReferenceBook()
{
    // A note still sounding is ended, never left hanging on the output.
    StopExample();
}

QString ReferenceBook::PageName(int trainer, int section)
{
    const PageEntry* entry = Entry(trainer, section);
    return entry ? QString::fromLatin1(entry->name) : QString();
}

QString ReferenceBook::PageTitle(int trainer, int section)
{
    const PageEntry* entry = Entry(trainer, section);
    return entry ? tr(entry->title) : QString();
}

QString ReferenceBook::ShowPage(int trainer, int section)
{
    StopExample();
    const PageEntry* entry = Entry(trainer, section);
    if (!entry) {
        setCurrentWidget(blankPage);
        return QString();
    }
    setCurrentWidget(Page(QString::fromLatin1(entry->name)));
    return tr(entry->title);
}

QString ReferenceBook::CurrentPageName() const
{
    QWidget* page = currentWidget();
    return page && page != blankPage ? page->objectName() : QString();
}

QScrollArea* ReferenceBook::Page(const QString& name)
{
    if (QScrollArea* page = pages.value(name))
        return page;
    auto* page = new QScrollArea;
    page->setObjectName(name);
    const PageEntry* entry = EntryByName(name);
    page->setAccessibleName(entry ? tr(entry->title) : name);
    page->setFrameShape(QFrame::NoFrame);
    page->setWidgetResizable(true);
    // The play buttons take the focus, and the page scrolls to the one Tab reaches; the space
    // bar stays with the screen.
    page->setFocusPolicy(Qt::NoFocus);
    page->setWidget(BuildPage(name));
    addWidget(page);
    pages.insert(name, page);
    return page;
}

QWidget* ReferenceBook::BuildPage(const QString& name)
{
    auto* sheet = new QWidget;
    sheet->setObjectName(QStringLiteral("referenceSheet"));
    auto* outer = new QHBoxLayout(sheet);
    outer->setContentsMargins(0, 24, 0, 32);
    outer->setSpacing(0);
    auto* column = new QVBoxLayout;
    column->setSpacing(cellSpacing);
    // 80 % of the width, centred.
    outer->addStretch(1);
    outer->addLayout(column, 8);
    outer->addStretch(1);

    const PageEntry* entry = EntryByName(name);
    auto* table = new SheetTable(entry ? tr(entry->title) : name);
    const QString intro = tr(IntroText(name));
    if (!intro.isEmpty()) {
        QLabel* introLabel = SheetTable::Paragraph(intro, Qt::PlainText, QStringLiteral("note"));
        introLabel->setContentsMargins(cellSpacing, 0, cellSpacing, 0);
        column->addWidget(introLabel);
    }
    column->addWidget(table);
    column->addStretch(1);

    const PlayFunction play = [this, name](int row, const QVector<Step>& steps) {
        PlayExample(name, row, steps);
    };
    if (name == QLatin1String("SingleNotes"))
        SingleNotesTable(table, this, play, this);
    else if (name == QLatin1String("Intervals"))
        IntervalsTable(table, this, play, this);
    else if (name == QLatin1String("Chords"))
        ChordsTable(table, this, play, this);
    else if (name == QLatin1String("Scales"))
        ScalesTable(table, this, play, this);
    else if (name == QLatin1String("Tempo"))
        TempoTable(table);
    else if (name == QLatin1String("NoteLengths"))
        NoteLengthsTable(table, this);
    else if (name == QLatin1String("KeySignatures"))
        KeySignaturesTable(table);
    else if (name == QLatin1String("Loudness"))
        SymbolTable(table, loudnessRows, true);
    else if (name == QLatin1String("NoteModifiers"))
        SymbolTable(table, modifierRows, false);
    return sheet;
}

QImage ReferenceBook::PageImage(int width, qreal devicePixelRatio) const
{
    auto* page = qobject_cast<QScrollArea*>(currentWidget());
    QWidget* sheet = page ? page->widget() : nullptr;
    if (!sheet)
        return QImage();
    const qreal ratio = devicePixelRatio > 0 ? devicePixelRatio : 1.0;
    // A page never shown has not had its style sheet applied yet, and its sizes would be wrong.
    sheet->ensurePolished();

    // The play buttons stay on the screen; the focus comes back to the one that had it, and the
    // view to where it was scrolled.
    QWidget* focused = QApplication::focusWidget();
    const QPoint scrolled(page->horizontalScrollBar()->value(), page->verticalScrollBar()->value());
    QList<QWidget*> hidden;
    for (QWidget* widget : sheet->findChildren<QWidget*>()) {
        if (widget->property(screenOnly).toBool() && !widget->isHidden()) {
            widget->hide();
            hidden.append(widget);
        }
    }
    Relayout(sheet);

    const int sheetWidth = std::max(width, sheet->minimumSizeHint().width());
    const int sheetHeight =
        std::max(sheet->hasHeightForWidth() ? sheet->heightForWidth(sheetWidth) : sheet->sizeHint().height(),
                 sheet->minimumSizeHint().height());
    const QSize shownSize = sheet->size();
    sheet->resize(sheetWidth, sheetHeight);
    sheet->layout()->activate();

    QImage image(QSize(sheetWidth, sheetHeight + titleHeight) * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.setRenderHint(QPainter::TextAntialiasing, true);
        QFont font(QStringLiteral("Tahoma"));
        font.setPixelSize(24);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(ink);
        painter.drawText(QRect(0, 0, sheetWidth, titleHeight), Qt::AlignHCenter | Qt::AlignBottom,
                         page->accessibleName());
    }
    sheet->render(&image, QPoint(0, titleHeight), QRegion(), QWidget::DrawChildren);

    for (QWidget* widget : hidden)
        widget->show();
    Relayout(sheet);
    sheet->resize(shownSize);
    if (focused && !focused->hasFocus() && focused->isVisible())
        focused->setFocus();
    page->horizontalScrollBar()->setValue(scrolled.x());
    page->verticalScrollBar()->setValue(scrolled.y());
    return image;
}

QImage ReferenceBook::EngravedExample(const QByteArray& gmn, const QSize& size, qreal ratio, int staffHeight,
                                      bool isolated) const
{
    const QString key = QStringLiteral("%1|%2x%3@%4|%5%6")
                            .arg(QString::fromLatin1(gmn))
                            .arg(size.width())
                            .arg(size.height())
                            .arg(ratio)
                            .arg(staffHeight)
                            .arg(isolated ? QStringLiteral("i") : QString());
    auto found = engravings.constFind(key);
    if (found != engravings.constEnd())
        return *found;

    if (!engraver) {
        engraver = std::make_unique<ScoreBoard>();
        engraver->setAttribute(Qt::WA_DontShowOnScreen);
        engraver->SetDrawingMode(1);
    }
    // The staff follows the board's height, a fifth of it; the board is as wide as the picture
    // and the music is centred across it. The picture is the band around the staff.
    const int boardHeight = std::max(1, staffHeight) * 5;
    engraver->resize(size.width(), boardHeight);
    QImage picture(size * ratio, QImage::Format_ARGB32_Premultiplied);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    if (engraver->SetScore(gmn)) {
        QImage board(QSize(size.width(), boardHeight) * ratio, QImage::Format_ARGB32_Premultiplied);
        board.setDevicePixelRatio(ratio);
        board.fill(Qt::transparent);
        engraver->render(&board, QPoint(), QRegion(), QWidget::DrawChildren);
        const Notation::GraphicMap map = engraver->LastMap();
        const Notation::MapElement* staff = map.FindNth(Notation::MapElement::staffType, 1);
        const QRectF staffBox = staff ? staff->box : QRectF(0, 0, size.width(), boardHeight);
        QPainter painter(&picture);
        QPointF offset(0, size.height() / 2.0 - staffBox.center().y());
        if (isolated) {
            // Only the last note or rest on a short piece of staff, centred, as the generated
            // symbol pictures show them. What stands before it (the clef, a rest that keeps the
            // clef away) is cut off halfway between the two.
            const Notation::MapElement* last = nullptr;
            qreal before = 0.0;
            for (const Notation::MapElement& element : map.elements) {
                if (element.type != Notation::MapElement::eventType)
                    continue;
                if (last)
                    before = std::max(before, last->box.right());
                last = &element;
            }
            if (last) {
                const QRectF box = last->box;
                const qreal gap = before > 0.0 ? (box.left() - before) / 2.0 : box.left();
                const qreal margin = std::min(staffBox.height() * 0.6, std::max<qreal>(0.0, gap));
                const QRectF kept = box.adjusted(-margin, 0, margin, 0);
                offset.setX(size.width() / 2.0 - kept.center().x());
                painter.setClipRect(QRectF(kept.left() + offset.x(), 0, kept.width(), size.height()));
            }
        }
        painter.drawImage(offset, board);
    } else {
        qCWarning(referenceLog) << "example not engraved:" << gmn;
    }
    engravings.insert(key, picture);
    return picture;
}

void ReferenceBook::PlayExample(const QString& pageName, int row, const QVector<ExampleStep>& exampleSteps)
{
    StopExample();
    emit examplePlayed(pageName, row);
    output = sound ? sound->CurrentOutputDevice() : nullptr;
    if (!output)
        return;
    steps = exampleSteps;
    nextStep = 0;
    NextStep();
}

void ReferenceBook::NextStep()
{
    if (nextStep >= steps.size()) {
        StopExample();
        return;
    }
    const ExampleStep& step = steps.at(nextStep++);
    SendKeys(sounding, false);
    sounding = step.keys;
    SendKeys(sounding, true);
    emit exampleSounding(sounding);
    stepTimer->start(step.milliseconds);
}

void ReferenceBook::StopExample()
{
    stepTimer->stop();
    const bool wasSounding = !sounding.isEmpty();
    SendKeys(sounding, false);
    sounding.clear();
    steps.clear();
    nextStep = 0;
    output.reset();
    if (wasSounding)
        emit exampleSounding(sounding);
}

void ReferenceBook::SendKeys(const QVector<int>& keys, bool on)
{
    if (!output)
        return;
    for (int key : keys) {
        if (key < 0 || key >= Core::MusicTables::KeyCount)
            continue;
        output->Send(MidiMessage(on ? 0x90 : 0x80, 0, quint8(key + 21), velocity));
    }
}

void ReferenceBook::hideEvent(QHideEvent* event)
{
    StopExample();
    QStackedWidget::hideEvent(event);
}

} // namespace UI
