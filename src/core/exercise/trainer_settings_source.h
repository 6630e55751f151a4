#pragma once
// What the engine needs from the application that owns the settings: the question settings in
// force (the quiz block during quiz lessons, the exercise block otherwise) and the quiz-mode
// flag, and the instrument and the weak-spot review of the general settings. The application
// implements it; engine tests give their own.

#include "core/exercise/trainer_settings.h"

namespace Core {

class TrainerSettingsSource
{
public:
    virtual ~TrainerSettingsSource() = default;
    // A copy: a lesson keeps the settings it started with.
    virtual TrainerSettings CurrentSettings() const = 0;
    virtual bool IsQuizMode() const = 0;
    // The instrument questions are played with: a position in the instrument list (0-35).
    virtual int CurrentInstrument() const { return 0; }
    // Whether a lesson's draw also weighs the weak spots of earlier lessons (the answer log).
    virtual bool PractisesWeakSpots() const { return false; }
};

} // namespace Core
