#pragma once
// The parts of a block of trainer settings that one section's tab shows: the section's own record
// seen as its number of questions and time-out, its range of keys and clefs, its interval sizes
// and its switches, each null where the section has no such part. GUI thread only.

#include "core/exercise/trainer_settings.h"

namespace UI {

struct SectionRecord
{
    Core::DurationSettings* duration = nullptr;
    Core::NotesDiapason* diapason = nullptr;
    Core::ClefSettings* clefs = nullptr;
    Core::IntervalSettings* intervals = nullptr;
    bool* switches = nullptr;
    int switchCount = 0;

    // The record of lesson section `section` of trainer `trainer` (0 note, 1 ear, 2 symbols) in
    // `block`; all null for a section the trainer does not have.
    static SectionRecord of(Core::TrainerSettings& block, int trainer, int section);
};

} // namespace UI
