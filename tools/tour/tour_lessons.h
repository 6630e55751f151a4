#pragma once
// The lessons the tour takes, and the names it gives the trainers in its file names and labels.

#include "core/exercise/trainer_settings.h"

#include <cstddef>

// Short lessons that ask every question kind: single notes, intervals and chords of the note
// trainer twice each (the trainer alternates the clefs when both are on and the notes fit both
// staves), chord symbols in the quiz, one question of every other section, and one section with
// a short time-out so that a question runs out of time; edits the learning or the quiz block.
// Not the tests' ShortLessons(): the tour must show every question kind, on both staves.
void TourLessons(Core::TrainerSettings& s, bool quiz);

// "Note trainer", "Ear trainer", "Symbol trainer".
const char* TrainerName(size_t trainer);
// "note", "ear", "symbol".
const char* TrainerSlug(size_t trainer);
