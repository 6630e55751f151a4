#pragma once
// The settings in force as the application hands them to the trainers: a learning block and a
// quiz block, the quiz-mode flag that chooses between them, and the piano as the instrument.
// Tests change them between lessons; the lock keeps a draw on another thread from reading a
// half-made block.

#include "core/exercise/difficulty_presets.h"
#include "core/exercise/trainer_settings_source.h"

#include <mutex>

class SettingsBlocks : public Core::TrainerSettingsSource
{
public:
    // Realistic blocks to start from: a middle difficulty to learn, the built-in quiz.
    SettingsBlocks() : learnBlock(Core::DifficultyPreset(2)), quizBlock(Core::BuiltInQuizSettings()) {}

    Core::TrainerSettings CurrentSettings() const override
    {
        std::lock_guard<std::mutex> guard(mutex);
        return quiz ? quizBlock : learnBlock;
    }
    bool IsQuizMode() const override
    {
        std::lock_guard<std::mutex> guard(mutex);
        return quiz;
    }
    int CurrentInstrument() const override { return 0; }

    void SetQuizMode(bool on)
    {
        std::lock_guard<std::mutex> guard(mutex);
        quiz = on;
    }
    // Edits the block in force.
    template <typename Edit> void Change(Edit edit)
    {
        std::lock_guard<std::mutex> guard(mutex);
        edit(quiz ? quizBlock : learnBlock);
    }
    // Edits the learning and the quiz block alike.
    template <typename Edit> void ChangeBoth(Edit edit)
    {
        std::lock_guard<std::mutex> guard(mutex);
        edit(learnBlock);
        edit(quizBlock);
    }

private:
    mutable std::mutex mutex;
    Core::TrainerSettings learnBlock;
    Core::TrainerSettings quizBlock;
    bool quiz = false;
};

// Short lessons: `questions` per section, `timeoutSeconds` each (0: no time limit, in which case
// the lesson's timeline moves on from a section only ten ticks after its last answer), single
// notes on the white keys from `lowestKey` (0-87; 39 is middle C) to the octave above, and one
// kind of chord, scale, tempo and symbol per section, so that every section has something to ask.
inline void ShortLessons(Core::TrainerSettings& s, int questions, int timeoutSeconds, int lowestKey = 39)
{
    using namespace Core;
    for (DurationSettings* d :
         {&s.noteTrainer.singleNotes.duration, &s.noteTrainer.intervals.duration,
          &s.noteTrainer.chords.duration, &s.earTrainer.singleNotes.duration,
          &s.earTrainer.intervals.duration, &s.earTrainer.chords.duration, &s.earTrainer.scales.duration,
          &s.earTrainer.tempo.duration, &s.symbolTrainer.lengths.duration,
          &s.symbolTrainer.keySignatures.duration, &s.symbolTrainer.tempo.duration,
          &s.symbolTrainer.loudness.duration, &s.symbolTrainer.noteModifiers.duration})
        *d = DurationSettings{timeoutSeconds, questions};
    for (NotesDiapason* d : {&s.noteTrainer.singleNotes.diapason, &s.earTrainer.singleNotes.diapason}) {
        d->minimum = lowestKey;
        d->maximum = lowestKey + 12;
        d->whiteKeys = true;
        d->blackKeys = false;
    }
    s.noteTrainer.chords[ChordSwitch::MajorTriad] = true;
    s.earTrainer.chords[ChordSwitch::MajorTriad] = true;
    s.earTrainer.scales[ScaleSwitch::NaturalMaj] = true;
    s.earTrainer.tempo[TempoSwitch::Allegro] = true;
    s.symbolTrainer.tempo[TempoSwitch::Allegro] = true;
    s.symbolTrainer.lengths[LengthSwitch::Whole] = true;
    s.symbolTrainer.keySignatures[KeySignatureSwitch::CMaj] = true;
    s.symbolTrainer.loudness[LoudnessSwitch::Piano] = true;
    s.symbolTrainer.noteModifiers[NoteModifierSwitch::Fermata] = true;
}
