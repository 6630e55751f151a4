#pragma once
// Whether a trainer's question settings can make a lesson: every section that asks questions
// must have at least one pool entry its validator permits, and at least one section must ask
// questions. The settings pages run it over a changed block before they keep the change, so a
// lesson never meets an empty pool. Plain functions over values; any thread.

#include "core/exercise/trainer_settings.h"

namespace Core {

// What a section of a trainer asks.
enum class SectionKind
{
    Notes,
    Intervals,
    Chords,
    Scales,
    Tempo,
    Lengths,
    Signatures,
    Loudness,
    Modifiers,
    None, // no such section
};

struct SettingsCheck
{
    enum Outcome
    {
        Askable,      // every section with questions has something to ask
        EmptySection, // `section` asks questions but its settings permit none
        NoQuestions,  // no section asks any question
    };
    Outcome outcome = Askable;
    int section = -1;

    bool IsAskable() const { return outcome == Askable; }
};

// Sections of a trainer (0 note, 1 ear, 2 symbol trainer), in lesson order.
int TrainerSectionCount(int trainer);
SectionKind KindOfSection(int trainer, int section);
// The question count of a section; 0 switches the section off.
int SectionQuestions(const TrainerSettings& settings, int trainer, int section);
// How many entries of the section's pool the settings permit; tempo sections count one entry
// per permitted tempo, which every tempo has even when none of its pieces loads.
int AskableCount(const TrainerSettings& settings, int trainer, int section);
// The first section, in lesson order, that asks questions and has none to ask.
SettingsCheck CheckTrainerSettings(const TrainerSettings& settings, int trainer);

} // namespace Core
