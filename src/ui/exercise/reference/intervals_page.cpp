#include "ui/exercise/reference/intervals_page.h"

#include "core/exercise/music_tables.h"
#include "core/score_builder.h"
#include "ui/exercise/reference/reference_sheet.h"

#include <QToolButton>

namespace UI {
namespace Reference {
namespace {

using Core::MusicTables;

// How each interval sounds, by size in semitones.
const char* const intervalCharacters[MusicTables::IntervalCount] = {
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

// The lower note, the upper note, then both together.
QVector<ExampleStep> intervalSteps(int lower, int upper)
{
    QVector<ExampleStep> steps{{{lower}, 500}, {{upper}, 500}};
    if (upper != lower)
        steps.append({{lower, upper}, 1200});
    return steps;
}

} // namespace

QString IntervalsPage::introduction() const
{
    return bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook",
                                      "An interval is the distance between two notes, counted in semitones "
                                      "(half steps): one semitone takes you to the very next key, black or "
                                      "white. Every example starts on middle C (C4)."));
}

void IntervalsPage::fillTable(SheetTable& table, const PageContext& context) const
{
    table.header({bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Interval")),
                  bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Semitones")),
                  bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Example")),
                  bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Notes")),
                  bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Listen"))},
                 true);
    table.stretch({3});
    for (int size = 0; size < MusicTables::IntervalCount; ++size) {
        const QString name = MusicTables::IntervalShortName(size);
        const int lower = MusicTables::MiddleC;
        const int upper = MusicTables::MiddleC + size;
        // Flats spell every interval above C as its name says (C-E flat is a minor third).
        const QByteArray gmn = Core::ScoreBuilder::WriteQuestion({lower, upper}, true, true, 2);
        const QString notes =
            joinedNames({MusicTables::NoteLabel(lower, true), MusicTables::NoteLabel(upper, true)});
        auto* semitones = SheetTable::text(QString::number(size));
        semitones->setAlignment(Qt::AlignCenter);
        const auto play = context.play;
        table.row({SheetTable::name(name), semitones,
                   PictureCell::engraved(context.engraver, gmn, intervalExampleSize,
                                         name + QLatin1String(": ") + notes),
                   SheetTable::twoLines(notes, bookText(intervalCharacters[size])),
                   playButton(
                       name, [play, size, lower, upper] { play(size, intervalSteps(lower, upper)); },
                       context.receiver)});
    }
}

} // namespace Reference
} // namespace UI
