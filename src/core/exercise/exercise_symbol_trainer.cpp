#include "core/exercise/exercise_symbol_trainer.h"

#include "core/exercise/music_tables.h"
#include "core/exercise/note_spelling.h"
#include "core/exercise/question_tempo_data.h"
#include "core/exercise/question_validators.h"
#include "core/exercise/tempo_provider.h"
#include "core/midi/midi_bank.h"

#include <QCoreApplication>

#include <cstdlib>
#include <iterator>

namespace Core {
namespace {

constexpr const char* Context = "Core::ExerciseSymbolTrainer";
const QString PictureFolder = QStringLiteral(":/pixmap/exercise/");

struct Row
{
    const char* picture;
    const char* label;
};

const Row lengthRows[] = {
    {"wholenote.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Whole")},
    {"wholerest.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Whole\nRest")},
    {"halfnote.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Half")},
    {"halfrest.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Half\nRest")},
    {"quarternote.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Quarter")},
    {"quarterrest.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Quarter\nRest")},
    {"eighthnote.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Eighth")},
    {"eighthrest.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Eighth\nRest")},
    {"sixteenthnote.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Sixteenth")},
    {"sixteenthrest.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Sixteenth\nRest")},
    {"thirtysecondnote.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Thirty Second")},
    {"thirtysecondrest.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Thirty Second\nRest")},
    {"sixtyfourthnote.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Sixty Fourth")},
    {"sixtyfourthrest.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Sixty Fourth\nRest")},
    {"hundredtwentyeighthnote.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "One Twenty Eighth")},
    {"hundredtwentyeighthrest.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "One Twenty Eighth\nRest")},
};

// Pictures ":/pixmap/exercise/<name>-bass.png" and "-tr.png", and the sharps (positive) or
// flats (negative) of the signature; its label names its major and minor key.
struct SignatureRow
{
    const char* picture;
    int accidentals;
};

const SignatureRow signatureRows[] = {
    {"c-a", 0},    {"g-e", 1},     {"d-b", 2},      {"a-fis", 3},    {"e-cis", 4},
    {"b-gis", 5},  {"fis-dis", 6}, {"ges-ees", -6}, {"des-bes", -5}, {"aes-f", -4},
    {"ees-c", -3}, {"bes-g", -2},  {"f-d", -1},
};

const Row loudnessRows[] = {
    {"pianississimo.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Pianississimo")},
    {"pianissimo.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Pianissimo")},
    {"piano.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Piano")},
    {"mezzopiano.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Mezzo-piano")},
    {"mezzoforte.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Mezzo-forte")},
    {"forte.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Forte")},
    {"fortissimo.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Fortissimo")},
    {"fortississimo.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Fortississimo")},
    {"sforzando.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Sforzando")},
    {"crescendo.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Crescendo")},
    {"diminuendo.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Diminuendo")},
};

const Row modifierRows[] = {
    {"staccato.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Staccato")},
    {"staccatissimo.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Staccatissimo")},
    {"accent.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Accent")},
    {"fermata.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Fermata")},
    {"flat.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Flat")},
    {"tie.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Tie")},
    {"marcato.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Marcato")},
    {"natural.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Natural")},
    {"ottavaalta.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Ottava Alta")},
    {"ottavabassa.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Ottava Bassa")},
    {"pedaldown.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Pedal Down")},
    {"pedalup.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Pedal Up")},
    {"repeat.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Repeat")},
    {"sharp.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Sharp")},
    {"volte.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Volta")},
    {"tremolo.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Tremolo")},
    {"trill.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Trill")},
    {"appoggiatura.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Appoggiatura")},
    {"doubleflat.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Double Flat")},
    {"doublesharp.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Double Sharp")},
    {"arpeggio.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Arpeggio")},
    {"tenuto.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Tenuto")},
    {"legato.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Slur")},
    {"acciaccatura.png", QT_TRANSLATE_NOOP("Core::ExerciseSymbolTrainer", "Acciaccatura")},
};

template <size_t N> QuestionPool Table(const Row (&rows)[N])
{
    QuestionPool pool;
    for (size_t id = 0; id < N; ++id) {
        auto item = std::make_shared<QuestionData>();
        item->statisticsKey = qint32(id);
        item->caption = PictureFolder + QLatin1String(rows[id].picture);
        item->caption2 = QCoreApplication::translate(Context, rows[id].label);
        pool.push_back(std::move(item));
    }
    return pool;
}

// "F♯ / d♯" (German "Fis / dis"): the major key, then the minor in lower case.
QuestionPool SignatureTable()
{
    QuestionPool pool;
    for (size_t id = 0; id < std::size(signatureRows); ++id) {
        const NoteSpelling::SignatureKeys keys = NoteSpelling::signatureKeys(signatureRows[id].accidentals);
        auto item = std::make_shared<QuestionData>();
        item->statisticsKey = qint32(id);
        item->caption = ExerciseSymbolTrainer::SignaturePicture(int(id), true);
        item->caption2 = NoteSpelling::signatureCaption(keys);
        pool.push_back(std::move(item));
    }
    return pool;
}

struct ItemTables
{
    QuestionPool lengths = Table(lengthRows);
    QuestionPool signatures = SignatureTable();
    QuestionPool loudness = Table(loudnessRows);
    QuestionPool modifiers = Table(modifierRows);
};

const ItemTables& Tables()
{
    static const ItemTables tables;
    return tables;
}

} // namespace

ExerciseSymbolTrainer::ExerciseSymbolTrainer(const TrainerSettingsSource* settings,
                                             std::shared_ptr<MidiBank> pieceBank)
{
    tempoPieces.Build(pieceBank);
    SetSettingsSource(settings);
    Initialize(nullptr, SymbolTrainerIndex);
    Reset();
}

ExerciseSymbolTrainer::~ExerciseSymbolTrainer()
{
    Shutdown();
}

const QuestionPool& ExerciseSymbolTrainer::ItemTable(int section)
{
    static const QuestionPool none;
    switch (section) {
    case LengthsSection:
        return Tables().lengths;
    case SignaturesSection:
        return Tables().signatures;
    case LoudnessSection:
        return Tables().loudness;
    case ModifiersSection:
        return Tables().modifiers;
    default:
        return none;
    }
}

QString ExerciseSymbolTrainer::SignaturePicture(int row, bool treble)
{
    if (row < 0 || row >= int(std::size(signatureRows)))
        return QString();
    return PictureFolder + QLatin1String(signatureRows[row].picture) +
           (treble ? QStringLiteral("-tr.png") : QStringLiteral("-bass.png"));
}

int ExerciseSymbolTrainer::SignatureAccidentals(int row)
{
    return row >= 0 && row < int(std::size(signatureRows)) ? signatureRows[row].accidentals : 0;
}

void ExerciseSymbolTrainer::RegisterSections(std::vector<SectionTitle>& out)
{
    out.push_back({tr("Note Lengths"), tr("Train Note Lengths")});
    out.push_back({tr("Key Signatures"), tr("Train Key Signatures")});
    out.push_back({tr("Tempo"), tr("Train Tempo")});
    out.push_back({tr("Loudness"), tr("Train Loudness")});
    out.push_back({tr("Note Modifiers"), tr("Train Note Modifiers")});
    Tables();
}

void ExerciseSymbolTrainer::InitQuestionRecord(int, std::vector<QuestionRecord>& pool)
{
    QuestionRecord record;
    record.kind = QuestionRecord::SymbolQuestion;
    record.answerModes = QuestionRecord::ChoiceMode;
    pool.push_back(record);
}

void ExerciseSymbolTrainer::SetUpSections()
{
    TrainerSettings settings;
    if (!ReadSettings(settings))
        return;
    const SymbolTrainerSettings& s = settings.symbolTrainer;
    ApplyDurations({&s.lengths.duration, &s.keySignatures.duration, &s.tempo.duration, &s.loudness.duration,
                    &s.noteModifiers.duration});
}

bool ExerciseSymbolTrainer::DrawQuestion(int section, QuestionRecord& question)
{
    TrainerSettings settings;
    if (!ReadSettings(settings))
        return false;
    const SymbolTrainerSettings& s = settings.symbolTrainer;
    question.kind = QuestionRecord::SymbolQuestion;
    question.answerModes = QuestionRecord::ChoiceMode;

    std::vector<unsigned> ids;
    int position = -1;
    const QuestionPool& table = ItemTable(section);
    switch (section) {
    case LengthsSection: {
        LengthValidator validator(&s.lengths);
        position = DrawCandidates(unsigned(table.size()), &validator, nullptr, ids);
        break;
    }
    case SignaturesSection: {
        SignatureValidator validator(&s.keySignatures);
        position = DrawCandidates(unsigned(table.size()), &validator, nullptr, ids);
        break;
    }
    case TempoSection: {
        TrainerSupport::TempoPieceValidator validator(&s.tempo, tempoPieces);
        position = DrawCandidates(TrainerSupport::TempoPieces::IdBound(), &validator,
                                  &TempoProvider::Instance(), ids);
        break;
    }
    case LoudnessSection: {
        LoudnessValidator validator(&s.loudness);
        position = DrawCandidates(unsigned(table.size()), &validator, nullptr, ids);
        break;
    }
    case ModifiersSection: {
        ModifiersValidator validator(&s.noteModifiers);
        position = DrawCandidates(unsigned(table.size()), &validator, nullptr, ids);
        break;
    }
    default:
        return false;
    }
    if (position < 0)
        return false;
    question.correctIndex = position;
    question.candidates.clear();
    for (unsigned id : ids) {
        if (section == TempoSection) {
            // The buttons name what the marking means: its description.
            const auto entry = std::dynamic_pointer_cast<const QuestionTempoData>(tempoPieces.Entry(id));
            if (!entry)
                return false;
            auto shown = std::make_shared<QuestionTempoData>(*entry);
            shown->caption2 = entry->description;
            question.candidates.push_back(std::move(shown));
        } else if (section == SignaturesSection) {
            // Each candidate on a staff of its own, treble or bass at random.
            auto shown = std::make_shared<QuestionData>(*table[id]);
            shown->caption = SignaturePicture(int(id), (std::rand() & 1) == 0);
            question.candidates.push_back(std::move(shown));
        } else {
            question.candidates.push_back(table[id]);
        }
    }
    return true;
}

int ExerciseSymbolTrainer::AnswerInputMode(const QuestionRecord&)
{
    return 1;
}

bool ExerciseSymbolTrainer::AcceptsKeyAnswers()
{
    return false;
}

QString ExerciseSymbolTrainer::QuestionLabel(int section, int id)
{
    if (section == TempoSection)
        return TrainerSupport::TempoLabel(id);
    const QuestionPool& table = ItemTable(section);
    if (id < 0 || size_t(id) >= table.size())
        return QString();
    return TrainerSupport::OneLine(table[size_t(id)]->caption2);
}

std::shared_ptr<const QuestionData> ExerciseSymbolTrainer::ItemOf(int section, qint32 key) const
{
    if (key < 0)
        return nullptr;
    if (section == TempoSection) {
        const auto entry = std::dynamic_pointer_cast<const QuestionTempoData>(tempoPieces.Find(unsigned(key)));
        if (!entry)
            return nullptr;
        auto shown = std::make_shared<QuestionTempoData>(*entry);
        shown->caption2 = entry->description;
        return shown;
    }
    const QuestionPool& table = ItemTable(section);
    return size_t(key) < table.size() ? table[size_t(key)] : nullptr;
}

bool ExerciseSymbolTrainer::IsSameAnswer(int section, int a, int b)
{
    return section == TempoSection ? TrainerSupport::SameTempo(a, b) : a == b;
}

QString ExerciseSymbolTrainer::AnswerText(int section, int id)
{
    return QuestionLabel(section, id);
}

void ExerciseSymbolTrainer::ChoiceIds(int section, std::vector<int>& out)
{
    if (section == TempoSection) {
        TrainerSupport::TempoChoiceIds(out);
        return;
    }
    const size_t rows = ItemTable(section).size();
    for (size_t id = 0; id < rows; ++id)
        out.push_back(int(id));
}

} // namespace Core
