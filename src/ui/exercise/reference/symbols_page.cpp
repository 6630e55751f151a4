#include "ui/exercise/reference/symbols_page.h"

#include "ui/exercise/reference/reference_sheet.h"

#include <QVBoxLayout>

namespace UI {
namespace Reference {
namespace {

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

template <size_t N> void fillSymbolTable(SheetTable& table, const SymbolRow (&rows)[N], bool nameColumn)
{
    QStringList headers{bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Symbol"))};
    if (nameColumn)
        headers.append(bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Name")));
    headers.append(bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Definition")));
    table.header(headers);
    table.stretch({headers.size() - 1});
    for (const SymbolRow& row : rows) {
        const QString name = bookText(row.name);
        QList<QWidget*> cells{
            PictureCell::resource(pictureFolder + QLatin1String(row.picture), symbolSize, name)};
        if (nameColumn) {
            cells.append(SheetTable::name(name));
            cells.append(SheetTable::paragraph(bookText(row.definition), Qt::PlainText));
        } else {
            // The name over its definition, in one cell.
            auto* cell = new QWidget;
            auto* lines = new QVBoxLayout(cell);
            lines->setContentsMargins(0, 0, 0, 0);
            lines->setSpacing(2);
            lines->addStretch(1);
            lines->addWidget(SheetTable::name(name));
            lines->addWidget(SheetTable::paragraph(bookText(row.definition), Qt::PlainText));
            lines->addStretch(1);
            cells.append(cell);
        }
        table.row(cells);
    }
}

} // namespace

QString LoudnessPage::introduction() const
{
    return bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook",
                                      "Dynamics tell how loudly to play. They are Italian words, written in "
                                      "short form below the staff."));
}

void LoudnessPage::fillTable(SheetTable& table, const PageContext&) const
{
    fillSymbolTable(table, loudnessRows, true);
}

QString NoteModifiersPage::introduction() const
{
    return bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook",
                                      "Signs written on, above or next to notes that change how they are "
                                      "played."));
}

void NoteModifiersPage::fillTable(SheetTable& table, const PageContext&) const
{
    fillSymbolTable(table, modifierRows, false);
}

} // namespace Reference
} // namespace UI
