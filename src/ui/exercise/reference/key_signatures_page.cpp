#include "ui/exercise/reference/key_signatures_page.h"

#include "core/exercise/exercise_symbol_trainer.h"
#include "core/exercise/note_spelling.h"
#include "core/exercise/question_data.h"
#include "ui/exercise/reference/reference_sheet.h"

namespace UI {
namespace Reference {
namespace {

QString accidentalsText(int count)
{
    if (count == 0)
        return bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "No sharps or flats"));
    QStringList notes;
    for (const Core::NoteSpelling::SpelledNote& note : Core::NoteSpelling::signatureAccidentals(count))
        notes.append(Core::NoteSpelling::displayName(note));
    const QString what =
        count > 0 ? (count == 1 ? bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "1 sharp"))
                                : bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "%1 sharps")).arg(count))
                  : (count == -1 ? bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "1 flat"))
                                 : bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "%1 flats")).arg(-count));
    return what + QStringLiteral(": ") + notes.join(QLatin1Char(' '));
}

} // namespace

QString KeySignaturesPage::introduction() const
{
    return bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook",
                                      "The sharps or flats at the start of every staff hold for the whole "
                                      "piece. Each signature belongs to a major key and to its relative "
                                      "minor (lower-case letter), three semitones below. Sharps always "
                                      "come in the order F C G D A E B, flats in the order B E A D G C F."));
}

void KeySignaturesPage::fillTable(SheetTable& table, const PageContext&) const
{
    using Core::ExerciseSymbolTrainer;
    table.header({bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Treble Clef")),
                  bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Bass Clef")),
                  bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Key")),
                  bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Sharps or Flats"))});
    table.stretch({2, 3});
    const Core::QuestionPool& items =
        ExerciseSymbolTrainer::ItemTable(ExerciseSymbolTrainer::SignaturesSection);
    for (int row = 0; row < int(items.size()); ++row) {
        const QString label = items[size_t(row)]->caption2;
        const int accidentals = ExerciseSymbolTrainer::SignatureAccidentals(row);
        const Core::NoteSpelling::SignatureKeys spelled = Core::NoteSpelling::signatureKeys(accidentals);
        const QString keys = bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "%1 major, %2 minor"))
                                 .arg(Core::NoteSpelling::keyName(spelled.major, false),
                                      Core::NoteSpelling::keyName(spelled.minor, true));
        table.row({PictureCell::resource(
                       ExerciseSymbolTrainer::SignaturePicture(row, true), signatureSize,
                       bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "%1 in the treble clef")).arg(keys)),
                   PictureCell::resource(
                       ExerciseSymbolTrainer::SignaturePicture(row, false), signatureSize,
                       bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "%1 in the bass clef")).arg(keys)),
                   SheetTable::twoLines(label, keys, true), SheetTable::text(accidentalsText(accidentals))});
    }
}

} // namespace Reference
} // namespace UI
