#include "ui/exercise/reference/note_lengths_page.h"

#include "ui/exercise/reference/reference_sheet.h"

namespace UI {
namespace Reference {
namespace {

struct LengthRow
{
    const char* name;
    const char* britishName;
    const char* beats;
    const char* note; // pictures
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
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "128th"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "semihemidemisemiquaver"),
     QT_TRANSLATE_NOOP("UI::ReferenceBook", "1/32 beat"), "hundredtwentyeighthnote.png",
     "hundredtwentyeighthrest.png"},
};

} // namespace

QString NoteLengthsPage::introduction() const
{
    return bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook",
                                      "How long each note and rest lasts, counted in beats when a quarter "
                                      "note gets one beat (as in 4/4 time). Each length is half of the one "
                                      "above it."));
}

void NoteLengthsPage::fillTable(SheetTable& table, const PageContext&) const
{
    table.header({QString(), bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Note")),
                  bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Rest")),
                  bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Duration"))});
    table.stretch({3});
    for (const LengthRow& row : lengthRows) {
        const QString name = bookText(row.name);
        const QString noteName = bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "%1 note")).arg(name);
        const QString restName = bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "%1 rest")).arg(name);
        QWidget* note = PictureCell::resource(pictureFolder + QLatin1String(row.note), symbolSize, noteName);
        QWidget* rest = PictureCell::resource(pictureFolder + QLatin1String(row.rest), symbolSize, restName);
        table.row({SheetTable::name(name), note, rest,
                   SheetTable::twoLines(bookText(row.beats), bookText(row.britishName))});
    }
}

} // namespace Reference
} // namespace UI
