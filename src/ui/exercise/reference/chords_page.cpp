#include "ui/exercise/reference/chords_page.h"

#include "core/exercise/music_tables.h"
#include "core/exercise/note_spelling.h"
#include "core/score_builder.h"
#include "ui/exercise/reference/reference_sheet.h"

#include <QToolButton>

namespace UI {
namespace Reference {
namespace {

using Core::MusicTables;
namespace NoteSpelling = Core::NoteSpelling;

// By chord type.
const char* const chordNames[MusicTables::ChordTypeCount] = {
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "Major Triad - C"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "Minor Triad - Cm"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "Major Sixth - C6"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "Minor Sixth - Cm6"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "Major Seventh - CM7"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "Minor Seventh - Cm7"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "Dominant Seventh - C7"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "Suspended 2 - Csus2"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "Suspended 4 - Csus4"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "Sixth Suspended 2 - C6sus2"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "Sixth Suspended 4 - C6sus4"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "Seventh Suspended 2 - C7sus2"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "Seventh Suspended 4 - C7sus4"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "Augmented - Caug"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "Augmented Sixth - Caug6"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "Augmented Seventh - Caug7"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "Diminished - Cdim"),
    QT_TRANSLATE_NOOP("UI::ReferenceBook", "Diminished Seventh - Cdim7"),
};

// Broken upwards for a moment, then together.
QVector<ExampleStep> chordSteps(const QVector<int>& keys)
{
    QVector<ExampleStep> steps;
    for (int key : keys)
        steps.append({{key}, 200});
    steps.append({keys, 1400});
    return steps;
}

// The chord on middle C as the score builder writes it, its notes spelled as the formula says
// (the builder spells black keys one way for the whole chord).
QByteArray chordText(const QVector<int>& keys, const std::vector<NoteSpelling::SpelledNote>& spelled,
                     bool flat)
{
    QByteArray text = Core::ScoreBuilder::WriteQuestion(keys, true, flat, 3);
    const int open = text.indexOf(" { ");
    const int close = open < 0 ? -1 : text.indexOf(" } ", open);
    if (close < 0 || int(spelled.size()) != keys.size())
        return text;
    QByteArray chord;
    for (const NoteSpelling::SpelledNote& note : spelled) {
        // In the octave of middle C, the notation's first.
        chord += (chord.isEmpty() ? "" : " , ") + NoteSpelling::notationName(note) + "1";
    }
    return text.left(open + 3) + chord + text.mid(close);
}

} // namespace

QString ChordsPage::introduction() const
{
    return bookText(QT_TRANSLATE_NOOP(
        "UI::ReferenceBook", "Every chord is built on middle C (C4) and shown in root position. The "
                             "second line counts its notes in steps of the major scale from the root: "
                             "\u266D lowers a step by a semitone, \u266F raises it."));
}

void ChordsPage::fillTable(SheetTable& table, const PageContext& context) const
{
    table.header({bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Chord")),
                  bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Example")),
                  bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Notes")),
                  bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Listen"))},
                 true);
    table.stretch({2});
    for (int type = 0; type < MusicTables::ChordTypeCount; ++type) {
        const QString name = bookText(chordNames[type]);
        const char* formula = MusicTables::Chord(type).formula;
        const QVector<int> keys = keysAbove(0, MusicTables::ChordKeys(type, MusicTables::MiddleC, 0));
        const std::vector<NoteSpelling::SpelledNote> spelled = NoteSpelling::chordSpelling(type);
        QStringList names;
        for (const NoteSpelling::SpelledNote& note : spelled)
            names.append(NoteSpelling::displayName(note));
        const bool flat = QByteArray(formula).contains(" b");
        const QString notes = joinedNames(names);
        const auto play = context.play;
        table.row({SheetTable::name(name),
                   PictureCell::engraved(context.engraver, chordText(keys, spelled, flat), chordExampleSize,
                                         name + QLatin1String(": ") + notes),
                   SheetTable::twoLines(notes, NoteSpelling::formulaText(formula)),
                   playButton(
                       name, [play, type, keys] { play(type, chordSteps(keys)); }, context.receiver)});
    }
}

} // namespace Reference
} // namespace UI
