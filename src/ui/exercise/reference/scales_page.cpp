#include "ui/exercise/reference/scales_page.h"

#include "core/exercise/music_tables.h"
#include "core/score_builder.h"
#include "ui/exercise/reference/reference_sheet.h"

#include <QToolButton>

#include <cstdlib>

namespace UI {
namespace Reference {
namespace {

using Core::MusicTables;

struct ScaleRow
{
    const char* name;
    const char* tableName; // the scale's name in the scale table
    bool descending;
};

// The scale table's pool order differs from the order a teacher lists them in; rows find their
// scale by its name there.
const ScaleRow scaleRows[] = {
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Major"), "Major", false},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Natural Minor"), "Natural m", false},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Melodic Minor"), "Melodic m", false},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Melodic Minor (Descending)"), "Melodic m", true},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Harmonic Minor"), "Harmonic m", false},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Pentatonic Major"), "Pentatonic", false},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Pentatonic Minor"), "Pentatonic m", false},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Diminished"), "Diminished", false},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Augmented"), "Augmented", false},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Blues"), "Blues", false},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Arabian"), "Arabian", false},
    {QT_TRANSLATE_NOOP("UI::ReferenceBook", "Whole Tone"), "Whole Tone", false},
};

const MusicTables::Scale* findScale(const char* tableName)
{
    for (int i = 0; i < MusicTables::ShownScaleCount; ++i) {
        const MusicTables::Scale& scale = MusicTables::ScaleAt(i);
        if (qstrcmp(scale.name, tableName) == 0)
            return &scale;
    }
    qCWarning(referenceLog) << "no scale named" << tableName;
    return nullptr;
}

// "W W H W W W H": whole and half steps between neighbours, W+H for three semitones. The
// letters are the language's own, as the page's introduction explains them.
QString stepPattern(const QVector<int>& keys)
{
    QStringList steps;
    for (int i = 1; i < keys.size(); ++i) {
        switch (std::abs(keys.at(i) - keys.at(i - 1))) {
        case 1:
            steps.append(QCoreApplication::translate("UI::ReferenceBook", "H", "a half step (1 semitone)"));
            break;
        case 2:
            steps.append(QCoreApplication::translate("UI::ReferenceBook", "W", "a whole step (2 semitones)"));
            break;
        case 3:
            steps.append(QCoreApplication::translate("UI::ReferenceBook", "W+H", "3 semitones"));
            break;
        default:
            steps.append(QCoreApplication::translate("UI::ReferenceBook", "2W", "4 semitones"));
            break;
        }
    }
    return steps.join(QLatin1Char(' '));
}

QVector<ExampleStep> scaleSteps(const QVector<int>& keys)
{
    QVector<ExampleStep> steps;
    for (int key : keys)
        steps.append({{key}, 250});
    if (!steps.isEmpty())
        steps.last().milliseconds = 600;
    return steps;
}

} // namespace

QString ScalesPage::introduction() const
{
    return bookText(QT_TRANSLATE_NOOP(
        "UI::ReferenceBook", "Every scale starts on middle C (C4). Steps: W = whole step (2 semitones), "
                             "H = half step (1 semitone), W+H = 3 semitones, 2W = 4 semitones."));
}

void ScalesPage::fillTable(SheetTable& table, const PageContext& context) const
{
    table.header({bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Scale")),
                  bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Example")),
                  bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Notes and Steps")),
                  bookText(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Listen"))},
                 true);
    table.stretch({2});
    int row = 0;
    for (const ScaleRow& scaleRow : scaleRows) {
        const QString name = bookText(scaleRow.name);
        const MusicTables::Scale* scale = findScale(scaleRow.tableName);
        const bool flat = scale && scale->flatSpelling;
        const QVector<int> keys =
            scale
                ? keysAbove(MusicTables::MiddleC, scaleRow.descending ? scale->descending : scale->ascending)
                : QVector<int>();
        QStringList names;
        for (int key : keys)
            names.append(MusicTables::NoteName(MusicTables::PitchClass(key), flat));
        const QString notes = names.join(QLatin1Char(' '));
        const QByteArray gmn = Core::ScoreBuilder::WriteQuestion(keys, true, flat, 0);
        const auto play = context.play;
        table.row({SheetTable::name(name),
                   PictureCell::engraved(context.engraver, gmn, scaleExampleSize,
                                         name + QLatin1String(": ") + notes, scaleStaff),
                   SheetTable::twoLines(notes, stepPattern(keys)),
                   playButton(
                       name, [play, row, keys] { play(row, scaleSteps(keys)); }, context.receiver)});
        ++row;
    }
}

} // namespace Reference
} // namespace UI
