#pragma once
// The five built-in difficulty levels of each trainer (0 easiest to 4 hardest) and the fixed
// question settings of quiz lessons. The settings store starts from level 0, the difficulty
// dialog and the reset buttons apply a level, and difficultyLevel tells which one matches.

#include "core/exercise/trainer_settings.h"

namespace Core {

constexpr int DifficultyLevelCount = 5;
constexpr int CustomDifficultyLevel = 5;

// Level 0 to 4; any other level yields level 0.
TrainerSettings DifficultyPreset(int level);

// The block in force during quiz lessons; never persisted.
TrainerSettings BuiltInQuizSettings();

} // namespace Core
