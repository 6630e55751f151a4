#pragma once
// Every persisted preference of the program: the general settings, the last place the user
// worked in the catalogue, and the question settings of the three trainers, with the five
// difficulty presets per trainer. The application creates one store and hands it out; the
// trainers copy currentSettings() when a lesson starts. GUI thread only.
//
// Persistence is QSettings in Core::SettingsFileFormat (the INI text of the native format, written
// only whole), user scope, under the organisation and application names of the process (on Linux:
// ~/.config/Vantorix/Cantorela.conf). Numbers read are kept within what the settings pages offer;
// a file that is not settings text is kept aside ("<file>.unreadable-<date>-<time>") and a clean
// one is written from the defaults.

#include "core/exercise/trainer_settings.h"
#include "core/midi/instrument_list.h"

#include <QString>

#include <functional>
#include <memory>

class QSettings;

namespace Core {

struct LastState
{
    int lastState = 3;        // "XMState.LastState"
    int lessonId = 0;         // "XMState.LessonID"
    int exerciseId = -1;      // "XMState.ExerciseID"
    int lessonPosition = 0;   // "XMState.LessonPosition"
    int exercisePosition = 0; // "XMState.ExercisePosition"
    bool operator==(const LastState& o) const
    {
        return lastState == o.lastState && lessonId == o.lessonId && exerciseId == o.exerciseId &&
               lessonPosition == o.lessonPosition && exercisePosition == o.exercisePosition;
    }
};

struct GeneralSettings
{
    QString inputDevice; // name of the MIDI input the answers come from
    int appearance = 7;
    bool showNoteFingers = false;
    bool showNoteLetters = false;
    bool showMistakes = false;
    bool hideMidiDialog = false;
    int newsId = 0;
    quint8 instrument = 0; // position in the instrument list, 0-35
    bool showDifficultyDialog = true;
    bool answerWithGraphicalKeyboard = true;
    bool answerWithMultipleChoice = false;
    // Right and wrong in blue and orange instead of green and red.
    bool colourBlindColours = false;
    // The language the program speaks from its next start: "en", "de", "es", or "" for the
    // system's ("Settings.Language").
    QString language;
    // The draw also weighs the items answered wrong in earlier lessons ("Settings.PractiseWeakSpots").
    bool practiseWeakSpots = false;
    // The ear trainer's single notes are answered by singing into the microphone
    // ("Settings.AnswerBySinging").
    bool answerBySinging = false;
    bool operator==(const GeneralSettings& o) const;
};

class SettingsStore
{
public:
    static constexpr int InstrumentCount = InstrumentList::Count;

    // isQuizMode tells whether the application is in a quiz lesson; without it the store is
    // never in quiz mode. Loads everything at once.
    explicit SettingsStore(std::function<bool()> isQuizMode = {});
    ~SettingsStore();
    SettingsStore(const SettingsStore&) = delete;
    SettingsStore& operator=(const SettingsStore&) = delete;

    // The quiz block in quiz mode, else the exercise block.
    TrainerSettings& currentSettings();
    const TrainerSettings& currentSettings() const;
    const TrainerSettings& exerciseSettings() const { return m_exerciseBlock; }

    // In quiz mode replaces the quiz block only; otherwise replaces the exercise block and saves.
    void setTrainerSettings(const TrainerSettings& block);

    // Writes the general group and the whole exercise block. False when the file could not be
    // written: it is then left as it was, and a warning says so.
    bool save();

    const LastState& lastState() const { return m_lastState; }
    void setLastState(const LastState& state);

    const GeneralSettings& generalSettings() const { return m_generalSettings; }
    void setGeneralSettings(const GeneralSettings& settings);

    // 0-4: the preset the exercise block matches for that trainer (durations and the
    // wrong-answer policy aside); 5: custom.
    int difficultyLevel(int trainer) const;
    // Copies preset `level` (0-4) of that trainer into the block in force; 5 or more only
    // records the level. Does not save.
    void setDifficultyLevel(int trainer, int level);
    int currentDifficultyLevel() const { return m_currentDifficultyLevel; }

    QString fileName() const;

    // The language setting as stored (GeneralSettings::language), read at start-up before a
    // store exists, so that the translation is in place before any text is built.
    static QString storedLanguage();

private:
    bool inQuizMode() const { return m_isQuizMode && m_isQuizMode(); }
    void loadLastState();
    void loadGeneralSettings();
    void loadExerciseBlock();
    void saveGeneralSettings();
    void saveExerciseBlock();
    bool sync();
    bool keepAsideUnreadableFile();

    LastState m_lastState;
    GeneralSettings m_generalSettings;
    TrainerSettings m_exerciseBlock;
    TrainerSettings m_quizBlock;
    std::unique_ptr<QSettings> m_settingsFile;
    int m_currentDifficultyLevel = 5;
    std::function<bool()> m_isQuizMode;
};

} // namespace Core
