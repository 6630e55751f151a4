#include "core/settings_store.h"

#include "core/data_file.h"
#include "core/exercise/difficulty_presets.h"
#include "core/exercise/music_tables.h"
#include "core/settings_file_format.h"

#include <QCoreApplication>
#include <QFile>
#include <QLoggingCategory>
#include <QSettings>

#include <algorithm>
#include <optional>

Q_LOGGING_CATEGORY(settingsLog, "cantorela.settings")

namespace Core {
namespace {

// Key names of the switch records, in field order. Stored files depend on these exact texts,
// misspellings included.
const char* const ChordKeys[] = {
    "Chord.MajorTriad",        "Chord.MinorTriad",        "Chord.MajorSixth",      "Chord.MinorSixth",
    "Chord.MajorSeventh",      "Chord.MinorSeventh",      "Chord.DominantSeventh", "Chord.Suspended2",
    "Chord.Suspended4",        "Chord.SuspendedSixth2",   "Chord.SuspendedSixth4", "Chord.SuspendedSeventh2",
    "Chord.SuspendedSeventh4", "Chord.Augmented",         "Chord.AugmentedSixth",  "Chord.AugmentedSeventh",
    "Chord.Diminished",        "Chord.DiminishedSeventh", "Chord.FirstInversion",  "Chord.SecondInversion",
    "Chord.Arpeggiated",       "Chord.ChordNotation"};
const char* const ScaleKeys[] = {"Scales.NaturalMaj",
                                 "Scales.NaturalMin",
                                 "Scales.PentatonicMaj",
                                 "Scales.PentatonicMin",
                                 "Scales.Harmonic",
                                 "Scales.MelodicMin",
                                 "Scales.Diminished",
                                 "Scales.Blues",
                                 "Scales.Augmented",
                                 "Scales.WholeTone",
                                 "Scales.ApplyDifferentScaleModes",
                                 "Scales.Ascending",
                                 "Scales.Descending"};
const char* const TempoKeys[] = {"Tempo.Largo",    "Tempo.Adagio", "Tempo.Andante",     "Tempo.Allegro",
                                 "Tempo.Moderato", "Tempo.Presto", "Tempo.Prestissimo", "Tempo.Vivace"};
const char* const LengthKeys[] = {
    "Length.Whole",     "Length.Half",         "Length.Quarter",     "Length.Eights",
    "Length.Sixteenth", "Length.ThirtySecond", "Length.SixtyFourth", "Length.HundredTwentyEight",
    "Length.Rests"};
const char* const SignatureKeys[] = {"Signatures.CMaj",  "Signatures.AMaj",  "Signatures.GMaj",
                                     "Signatures.EMaj",  "Signatures.DMaj",  "Signatures.BMaj",
                                     "Signatures.FMaj",  "Signatures.GbMaj", "Signatures.EbMaj",
                                     "Signatures.DbMaj", "Signatures.BbMaj", "Signatures.AbMaj"};
const char* const LoudnessKeys[] = {"Loudness.Pianississimo", "Loudness.Pianissimo",    "Loudness.Piano",
                                    "Loudness.MezzoPiano",    "Loudness.MezzoForte",    "Loudness.Forte",
                                    "Loudness.Fortissimo",    "Loudness.Fortississimo", "Loudness.Sforzando",
                                    "Loudness.Crescendo",     "Loudness.Diminuendo"};
const char* const ModifierKeys[] = {
    "NoteModifiers.Stacatto",      "NoteModifiers.Fermata",      "NoteModifiers.Tremolo",
    "NoteModifiers.Stacattissimo", "NoteModifiers.Trill",        "NoteModifiers.EngagePedal",
    "NoteModifiers.ReleasePedal",  "NoteModifiers.Acent",        "NoteModifiers.Tie",
    "NoteModifiers.OttavaAlto",    "NoteModifiers.Marcato",      "NoteModifiers.OttavaBasso",
    "NoteModifiers.Natural",       "NoteModifiers.Flat",         "NoteModifiers.Sharp",
    "NoteModifiers.RepeatSigns",   "NoteModifiers.VoltaBracket", "NoteModifiers.Appogiatura",
    "NoteModifiers.DoubleFlat",    "NoteModifiers.DoubleSharp",  "NoteModifiers.Arpeggio",
    "NoteModifiers.Tenuto",        "NoteModifiers.Slur",         "NoteModifiers.Acciaccatura"};

static_assert(std::size(ChordKeys) == ChordSettings::Size, "chord keys");
static_assert(std::size(ScaleKeys) == ScalesSettings::Size, "scale keys");
static_assert(std::size(TempoKeys) == TempoSettings::Size, "tempo keys");
static_assert(std::size(LengthKeys) == LengthSettings::Size, "length keys");
static_assert(std::size(SignatureKeys) == KeySignaturesSettings::Size, "signature keys");
static_assert(std::size(LoudnessKeys) == LoudnessSettings::Size, "loudness keys");
static_assert(std::size(ModifierKeys) == NoteModifiersSettings::Size, "modifier keys");

// An integer key whose text is not a number counts as absent.
int ReadInt(const QSettings& settings, const QString& key, int fallback)
{
    bool ok = false;
    const int value = settings.value(key, fallback).toInt(&ok);
    return ok ? value : fallback;
}

// The language setting, in the group "GlobalSetting".
const QString LanguageKey = QStringLiteral("Settings.Language");
const QString WeakSpotsKey = QStringLiteral("Settings.PractiseWeakSpots");
const QString SingingKey = QStringLiteral("Settings.AnswerBySinging");

std::unique_ptr<QSettings> OpenSettingsFile()
{
    return std::make_unique<QSettings>(SettingsFileFormat::Registered(), QSettings::UserScope,
                                       QCoreApplication::organizationName(),
                                       QCoreApplication::applicationName());
}

// Loading and saving walk the same tree; only the leaf operations differ. A reader takes the
// value in memory as the default of every key, so absent keys leave it as it is.
class SettingsReader
{
public:
    explicit SettingsReader(QSettings& s) : settings(s) {}
    template <typename F> void Group(const char* name, F&& body)
    {
        settings.beginGroup(QLatin1String(name));
        body();
        settings.endGroup();
    }
    // fixedDefault: the value an absent key means, whatever is in memory.
    void Bool(const char* key, bool& value, std::optional<bool> fixedDefault = std::nullopt)
    {
        value = settings.value(QLatin1String(key), fixedDefault.value_or(value)).toBool();
    }
    void Int(const char* key, int& value, std::optional<int> fixedDefault = std::nullopt)
    {
        value = ReadInt(settings, QLatin1String(key), fixedDefault.value_or(value));
    }

    // Numbers read are kept within what the settings pages offer: a file edited by hand or
    // damaged must not hand the trainers a count or a range they cannot work with.
    void Limit(DurationSettings& d)
    {
        d.seconds = std::clamp(d.seconds, 0, DurationSettings::MaxSeconds);
        d.questions = std::clamp(d.questions, 0, DurationSettings::MaxQuestions);
    }
    // Keys 0-87 with the maximum excluded, as the range picker shows them; bounds stored the wrong
    // way round are swapped.
    void Limit(NotesDiapason& d)
    {
        if (d.maximum < d.minimum)
            std::swap(d.minimum, d.maximum);
        d.minimum = std::clamp(d.minimum, 0, MusicTables::KeyCount - 1);
        d.maximum = std::clamp(d.maximum, d.minimum + 1, MusicTables::KeyCount);
    }
    void Limit(IntervalSettings& s)
    {
        if (s.intervalEnd < s.intervalStart)
            std::swap(s.intervalStart, s.intervalEnd);
        s.intervalStart = std::clamp(s.intervalStart, 0, MusicTables::IntervalCount - 1);
        s.intervalEnd = std::clamp(s.intervalEnd, s.intervalStart, MusicTables::IntervalCount - 1);
    }
    // No wait at all is the presets' (they pause after a mistake, where the wait does not count).
    void Limit(WrongAnswerPolicy& p)
    {
        p.delay = std::clamp(p.delay, 0, WrongAnswerPolicy::OfferedDelays.back());
    }

private:
    QSettings& settings;
};

class SettingsWriter
{
public:
    explicit SettingsWriter(QSettings& s) : settings(s) {}
    template <typename F> void Group(const char* name, F&& body)
    {
        settings.beginGroup(QLatin1String(name));
        body();
        settings.endGroup();
    }
    void Bool(const char* key, bool& value, std::optional<bool> = std::nullopt)
    {
        settings.setValue(QLatin1String(key), value);
    }
    void Int(const char* key, int& value, std::optional<int> = std::nullopt)
    {
        settings.setValue(QLatin1String(key), value);
    }
    template <typename T> void Limit(T&) {}

private:
    QSettings& settings;
};

template <typename IO> void Visit(IO& io, NotesDiapason& d)
{
    io.Group("Diapason", [&] {
        io.Int("Diapason.Minimum", d.minimum);
        io.Int("Diapason.Maximum", d.maximum);
        io.Group("Chromatic", [&] {
            io.Bool("chromatics.White", d.whiteKeys);
            io.Bool("chromatics.Black", d.blackKeys);
        });
    });
    io.Limit(d);
}

template <typename IO> void Visit(IO& io, DurationSettings& d)
{
    io.Group("Duration", [&] {
        io.Int("Duration.SecondsValue", d.seconds);
        io.Int("Duration.QuestionsValue", d.questions);
    });
    io.Limit(d);
}

template <typename IO> void Visit(IO& io, ClefSettings& c)
{
    io.Group("Cleff", [&] {
        io.Bool("cleff.GClef", c.gClef);
        io.Bool("cleff.FClef", c.fClef);
    });
}

template <typename IO, typename Set, std::size_t N>
void VisitSwitches(IO& io, Set& set, const char* const (&keys)[N])
{
    static_assert(N == Set::Size, "one key per switch");
    for (std::size_t i = 0; i < N; ++i)
        io.Bool(keys[i], set.switches[i]);
}

template <typename IO> void Visit(IO& io, SingleNotesSettings& s)
{
    io.Group("SingleNotes", [&] {
        Visit(io, s.diapason);
        Visit(io, s.duration);
        Visit(io, s.clefs);
    });
}

template <typename IO> void Visit(IO& io, IntervalSettings& s)
{
    io.Group("Interval", [&] {
        io.Int("Interval.IntervalStart", s.intervalStart);
        io.Int("Interval.IntervalEnd", s.intervalEnd);
        io.Bool("Interval.Arpeggiated", s.arpeggiated);
        io.Limit(s);
        Visit(io, s.diapason);
        Visit(io, s.duration);
        Visit(io, s.clefs);
    });
}

template <typename IO> void Visit(IO& io, ChordSettings& s)
{
    io.Group("Chord", [&] {
        Visit(io, s.diapason);
        Visit(io, s.duration);
        Visit(io, s.clefs);
        VisitSwitches(io, s, ChordKeys);
    });
}

template <typename IO> void Visit(IO& io, ScalesSettings& s)
{
    io.Group("Scales", [&] {
        Visit(io, s.duration);
        Visit(io, s.diapason);
        Visit(io, s.clefs);
        VisitSwitches(io, s, ScaleKeys);
    });
}

template <typename IO, typename Set, std::size_t N>
void VisitSwitchGroup(IO& io, const char* group, Set& s, const char* const (&keys)[N])
{
    io.Group(group, [&] {
        Visit(io, s.duration);
        VisitSwitches(io, s, keys);
    });
}

template <typename IO> void VisitExerciseBlock(IO& io, TrainerSettings& block)
{
    io.Group("Excersises", [&] {
        io.Group("NoteTrainer", [&] {
            NoteTrainerSettings& n = block.noteTrainer;
            // Not part of the presets: absent keys mean "continue after a mistake, wait 3 s".
            io.Group("OnWrongAnswerPolicy", [&] {
                io.Bool("Settings.WrongAnswerPolicy.Continue", n.wrongAnswerPolicy.continueAfterMistake,
                        true);
                io.Int("Settings.WrongAnswerPolicy.Delay", n.wrongAnswerPolicy.delay, 3000);
            });
            io.Limit(n.wrongAnswerPolicy);
            Visit(io, n.singleNotes);
            Visit(io, n.intervals);
            Visit(io, n.chords);
        });
        io.Group("EarTrainer", [&] {
            EarTrainerSettings& e = block.earTrainer;
            Visit(io, e.singleNotes);
            Visit(io, e.intervals);
            Visit(io, e.chords);
            Visit(io, e.scales);
            VisitSwitchGroup(io, "Tempo", e.tempo, TempoKeys);
        });
        io.Group("SheetMusicSymbol", [&] {
            SymbolTrainerSettings& s = block.symbolTrainer;
            VisitSwitchGroup(io, "Length", s.lengths, LengthKeys);
            VisitSwitchGroup(io, "Signatures", s.keySignatures, SignatureKeys);
            VisitSwitchGroup(io, "Tempo", s.tempo, TempoKeys);
            VisitSwitchGroup(io, "Loudness", s.loudness, LoudnessKeys);
            VisitSwitchGroup(io, "NoteModifiers", s.noteModifiers, ModifierKeys);
        });
    });
}

} // namespace

bool GeneralSettings::operator==(const GeneralSettings& o) const
{
    return inputDevice == o.inputDevice && appearance == o.appearance &&
           showNoteFingers == o.showNoteFingers && showNoteLetters == o.showNoteLetters &&
           showMistakes == o.showMistakes && hideMidiDialog == o.hideMidiDialog && newsId == o.newsId &&
           instrument == o.instrument && showDifficultyDialog == o.showDifficultyDialog &&
           answerWithGraphicalKeyboard == o.answerWithGraphicalKeyboard &&
           answerWithMultipleChoice == o.answerWithMultipleChoice &&
           colourBlindColours == o.colourBlindColours && language == o.language &&
           practiseWeakSpots == o.practiseWeakSpots && answerBySinging == o.answerBySinging;
}

QString SettingsStore::storedLanguage()
{
    const std::unique_ptr<QSettings> file = OpenSettingsFile();
    return file->value(QStringLiteral("GlobalSetting/") + LanguageKey, QString()).toString();
}

SettingsStore::SettingsStore(std::function<bool()> quizMode)
    : m_quizBlock(BuiltInQuizSettings()), m_settingsFile(OpenSettingsFile()), m_isQuizMode(std::move(quizMode))
{
    m_exerciseBlock = DifficultyPreset(0);
    const bool keptAside = m_settingsFile->status() == QSettings::FormatError && keepAsideUnreadableFile();
    if (!keptAside && m_settingsFile->status() != QSettings::NoError)
        qCWarning(settingsLog) << "settings file could not be read, using defaults:"
                               << m_settingsFile->fileName();
    loadLastState();
    loadGeneralSettings();
    loadExerciseBlock();
    if (keptAside)
        save(); // a clean file in place of the unreadable one
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::fileName() const
{
    return m_settingsFile->fileName();
}

TrainerSettings& SettingsStore::currentSettings()
{
    return inQuizMode() ? m_quizBlock : m_exerciseBlock;
}

const TrainerSettings& SettingsStore::currentSettings() const
{
    return inQuizMode() ? m_quizBlock : m_exerciseBlock;
}

void SettingsStore::setTrainerSettings(const TrainerSettings& block)
{
    if (inQuizMode()) {
        m_quizBlock = block;
        return;
    }
    m_exerciseBlock = block;
    save();
}

bool SettingsStore::save()
{
    saveGeneralSettings();
    saveExerciseBlock();
    return sync();
}

void SettingsStore::setLastState(const LastState& state)
{
    m_lastState = state;
    QSettings& s = *m_settingsFile;
    s.setValue(QStringLiteral("XMState.LastState"), uint(m_lastState.lastState));
    s.setValue(QStringLiteral("XMState.LessonID"), uint(m_lastState.lessonId));
    s.setValue(QStringLiteral("XMState.ExerciseID"), m_lastState.exerciseId);
    s.setValue(QStringLiteral("XMState.LessonPosition"), m_lastState.lessonPosition);
    s.setValue(QStringLiteral("XMState.ExercisePosition"), m_lastState.exercisePosition);
    sync();
}

void SettingsStore::setGeneralSettings(const GeneralSettings& settings)
{
    m_generalSettings = settings;
    save();
}

int SettingsStore::difficultyLevel(int trainer) const
{
    for (int level = 0; level < DifficultyLevelCount; ++level) {
        if (SameQuestionContent(m_exerciseBlock, DifficultyPreset(level), trainer))
            return level;
    }
    return CustomDifficultyLevel;
}

void SettingsStore::setDifficultyLevel(int trainer, int level)
{
    m_currentDifficultyLevel = level;
    if (level < 0 || level >= DifficultyLevelCount)
        return;
    const TrainerSettings preset = DifficultyPreset(level);
    TrainerSettings& block = currentSettings();
    switch (trainer) {
    case NoteTrainerIndex:
        block.noteTrainer = preset.noteTrainer;
        break;
    case EarTrainerIndex:
        block.earTrainer = preset.earTrainer;
        break;
    case SymbolTrainerIndex:
        block.symbolTrainer = preset.symbolTrainer;
        break;
    default:
        break;
    }
}

void SettingsStore::loadLastState()
{
    const QSettings& s = *m_settingsFile;
    m_lastState.lastState = ReadInt(s, QStringLiteral("XMState.LastState"), 3);
    m_lastState.lessonId = ReadInt(s, QStringLiteral("XMState.LessonID"), 0);
    m_lastState.exerciseId = ReadInt(s, QStringLiteral("XMState.ExerciseID"), 0);
    m_lastState.lessonPosition = ReadInt(s, QStringLiteral("XMState.LessonPosition"), 0);
    m_lastState.exercisePosition = ReadInt(s, QStringLiteral("XMState.ExercisePosition"), 0);
}

void SettingsStore::loadGeneralSettings()
{
    QSettings& s = *m_settingsFile;
    GeneralSettings& g = m_generalSettings;
    s.beginGroup(QStringLiteral("GlobalSetting"));
    g.inputDevice = s.value(QStringLiteral("Settings.InputDevice"), QString()).toString();
    g.appearance = ReadInt(s, QStringLiteral("Settings.Appearance"), g.appearance);
    g.showNoteFingers = s.value(QStringLiteral("Settings.ShowNoteFingers"), false).toBool();
    g.showNoteLetters = s.value(QStringLiteral("Settings.ShowNoteLetters"), false).toBool();
    g.showMistakes = s.value(QStringLiteral("Settings.ShowMistakes"), false).toBool();
    g.hideMidiDialog = s.value(QStringLiteral("Settings.HideMidiDialog"), false).toBool();
    g.newsId = ReadInt(s, QStringLiteral("Settings.NewsId"), 0);
    // The instrument is a position in the list of 36 names; anything else falls back to the piano.
    const int instrument = ReadInt(s, QStringLiteral("Settings.MidiInstrument"), 0);
    g.instrument = quint8(instrument >= 0 && instrument < InstrumentCount ? instrument : 0);
    g.answerWithGraphicalKeyboard = s.value(QStringLiteral("Settings.Answer.GKC"), true).toBool();
    g.answerWithMultipleChoice = s.value(QStringLiteral("Settings.Answer.MultipleChoice"), false).toBool();
    g.showDifficultyDialog = s.value(QStringLiteral("Settings.ShowDifficultyDialog"), true).toBool();
    g.colourBlindColours = s.value(QStringLiteral("Settings.ColourBlindColours"), false).toBool();
    g.language = s.value(LanguageKey, QString()).toString();
    g.practiseWeakSpots = s.value(WeakSpotsKey, false).toBool();
    g.answerBySinging = s.value(SingingKey, false).toBool();
    s.endGroup();
}

void SettingsStore::saveGeneralSettings()
{
    QSettings& s = *m_settingsFile;
    const GeneralSettings& g = m_generalSettings;
    s.beginGroup(QStringLiteral("GlobalSetting"));
    s.setValue(QStringLiteral("Settings.InputDevice"), g.inputDevice);
    s.setValue(QStringLiteral("Settings.Appearance"), uint(g.appearance));
    s.setValue(QStringLiteral("Settings.ShowNoteFingers"), g.showNoteFingers);
    s.setValue(QStringLiteral("Settings.ShowNoteLetters"), g.showNoteLetters);
    s.setValue(QStringLiteral("Settings.ShowMistakes"), g.showMistakes);
    s.setValue(QStringLiteral("Settings.HideMidiDialog"), g.hideMidiDialog);
    s.setValue(QStringLiteral("Settings.NewsId"), uint(g.newsId));
    s.setValue(QStringLiteral("Settings.MidiInstrument"), int(g.instrument));
    s.setValue(QStringLiteral("Settings.Answer.GKC"), g.answerWithGraphicalKeyboard);
    s.setValue(QStringLiteral("Settings.Answer.MultipleChoice"), g.answerWithMultipleChoice);
    s.setValue(QStringLiteral("Settings.ShowDifficultyDialog"), g.showDifficultyDialog);
    s.setValue(QStringLiteral("Settings.ColourBlindColours"), g.colourBlindColours);
    s.setValue(LanguageKey, g.language);
    s.setValue(WeakSpotsKey, g.practiseWeakSpots);
    s.setValue(SingingKey, g.answerBySinging);
    s.endGroup();
}

void SettingsStore::loadExerciseBlock()
{
    SettingsReader reader(*m_settingsFile);
    VisitExerciseBlock(reader, m_exerciseBlock);
}

void SettingsStore::saveExerciseBlock()
{
    SettingsWriter writer(*m_settingsFile);
    VisitExerciseBlock(writer, m_exerciseBlock);
}

// Writes through at once, so that a crash later in the session loses nothing already set.
bool SettingsStore::sync()
{
    // A QSettings object keeps the first error it met for good. After one, a fresh object over the
    // same file (which shares the changes not yet written) tells how this attempt goes.
    if (m_settingsFile->status() != QSettings::NoError)
        m_settingsFile = OpenSettingsFile();
    m_settingsFile->sync();
    if (m_settingsFile->status() == QSettings::NoError)
        return true;
    qCWarning(settingsLog) << "could not write the settings file, it is left as it was:"
                           << m_settingsFile->fileName();
    return false;
}

// QSettings says FormatError for any of the files it reads, the organisation-wide and system-wide
// ones included; only the program's own file is moved. Returns true when it was moved aside.
bool SettingsStore::keepAsideUnreadableFile()
{
    const QString path = m_settingsFile->fileName();
    QFile file(path);
    QSettings::SettingsMap keys;
    if (!file.open(QIODevice::ReadOnly) || SettingsFileFormat::Read(file, keys))
        return false;
    file.close();
    QString keptPath;
    if (!DataFile::KeepAside(path, &keptPath)) {
        qCWarning(settingsLog).noquote()
            << "the settings file" << path << "cannot be read nor moved aside; using the defaults";
        return false;
    }
    qCWarning(settingsLog).noquote() << "the settings file could not be read; it is kept as" << keptPath
                                     << "and the settings start from the defaults";
    // QSettings caches what it parsed of a file for the whole process: a fresh object reads the
    // file's place anew and holds nothing of what was there.
    m_settingsFile = OpenSettingsFile();
    return true;
}

} // namespace Core
