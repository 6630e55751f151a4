#include "ui/exercise/reference/tempo_page.h"

#include "core/exercise/music_tables.h"
#include "ui/exercise/reference/reference_sheet.h"

namespace UI {
namespace Reference {
namespace {

using Core::MusicTables;

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

} // namespace

QString TempoPage::introduction() const
{
    return translate(QT_TRANSLATE_NOOP(
        "UI::ReferenceBook", "Tempo markings tell how fast the beat goes; bpm means beats per minute. "
                             "The numbers are a guide, not a rule."));
}

void TempoPage::fillTable(SheetTable& table, const PageContext&) const
{
    table.header({translate(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Tempo")),
                  translate(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Name")),
                  translate(QT_TRANSLATE_NOOP("UI::ReferenceBook", "Description"))});
    table.stretch({2});
    for (const TempoRow& row : tempoRows) {
        const QString name = QString::fromLatin1(row.name);
        QString picture;
        for (int t = 0; t < MusicTables::TempoCount; ++t) {
            if (qstrcmp(MusicTables::TempoAt(t).name, row.name) == 0)
                picture = MusicTables::TempoPicture(t);
        }
        QWidget* cell = picture.isEmpty() ? PictureCell::marking(name, tempoSize)
                                          : PictureCell::resource(picture, tempoSize, name);
        table.row({cell, SheetTable::text(name, QStringLiteral("term")),
                   SheetTable::text(translate(row.description))});
    }
}

} // namespace Reference
} // namespace UI
