#include "ui/exercise/reference/notes_page.h"

#include "core/exercise/music_tables.h"
#include "core/score_builder.h"
#include "ui/exercise/reference/reference_sheet.h"

#include <QToolButton>

namespace UI {
namespace Reference {
namespace {

using Core::MusicTables;

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

QVector<ExampleStep> noteSteps(int key)
{
    return {{{key}, 900}};
}

} // namespace

QString NotesPage::introduction() const
{
    return bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook",
                                      "Where the notes from C3 to C5 sit on the staff. Middle C (C4) is "
                                      "written on a short ledger line: below the treble staff, above the "
                                      "bass staff."));
}

void NotesPage::fillTable(SheetTable& table, const PageContext& context) const
{
    table.header({bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Note")),
                  bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "On the Staff")),
                  bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Where It Sits")),
                  bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Listen"))},
                 true);
    table.stretch({2});
    int row = 0;
    for (const bool treble : {true, false}) {
        table.span(SheetTable::paragraph(
            treble
                ? bookText(QT_TRANSLATE_NOOP(
                      "UI::ReferenceBook", "Treble Clef<br><span style='font-weight:normal; font-size:14px;'>"
                                           "Lines from the bottom: E G B D F (Every Good Boy Does Fine). "
                                           "Spaces: F A C E.</span>"))
                : bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook",
                                             "Bass Clef<br><span style='font-weight:normal; font-size:14px;'>"
                                             "Lines from the bottom: G B D F A (Good Boys Do Fine Always). "
                                             "Spaces: A C E G (All Cows Eat Grass).</span>")),
            Qt::RichText, QStringLiteral("group")));
        for (const NoteRow& note : treble ? trebleNotes : bassNotes) {
            const QString name = MusicTables::NoteLabel(note.key, false);
            const QString shownName =
                note.key == MusicTables::MiddleC
                    ? name + QLatin1Char('\n') + bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Middle C"))
                    : name;
            const QByteArray gmn = Core::ScoreBuilder::WriteQuestion({note.key}, treble, false, 1);
            const int key = note.key;
            const auto play = context.play;
            table.row({SheetTable::name(shownName),
                       PictureCell::engraved(
                           context.engraver, gmn, noteExampleSize,
                           bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "%1 on the staff")).arg(name)),
                       SheetTable::text(bookText(note.position)),
                       playButton(
                           name, [play, row, key] { play(row, noteSteps(key)); }, context.receiver)});
            ++row;
        }
    }
}

} // namespace Reference
} // namespace UI
