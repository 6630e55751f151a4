#pragma once
// The settings in force as the application hands them to the trainers: a learning block and a
// quiz block, the quiz-mode flag that chooses between them, and the instrument. Tests change
// them between lessons; the lock keeps a draw on another thread from reading a half-made block.

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
    int CurrentInstrument() const override
    {
        std::lock_guard<std::mutex> guard(mutex);
        return instrument;
    }

    void SetQuizMode(bool on)
    {
        std::lock_guard<std::mutex> guard(mutex);
        quiz = on;
    }
    void SetInstrument(int value)
    {
        std::lock_guard<std::mutex> guard(mutex);
        instrument = value;
    }
    // Edits the block in force.
    template <typename Edit>
    void Change(Edit edit)
    {
        std::lock_guard<std::mutex> guard(mutex);
        edit(quiz ? quizBlock : learnBlock);
    }

private:
    mutable std::mutex mutex;
    Core::TrainerSettings learnBlock;
    Core::TrainerSettings quizBlock;
    bool quiz = false;
    int instrument = 0;
};
