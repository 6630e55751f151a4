#pragma once
// The rules that decide, from the question settings in force, whether a pool entry may be asked:
// one per kind of question, each decoding the entry's pool id (the pool order of MusicTables and
// the tempo, symbol numbering). Rules never fail; an id outside a rule's range is invalid.
// Used through SimpleValidator by the trainers' draws.

#include "core/exercise/simple_validator.h"
#include "core/exercise/trainer_settings.h"

namespace Core {

// Piano key 0-87 within the diapason (minimum <= key < maximum, widened as the settings need).
bool ValidateNoteQuestion(unsigned key, const NotesDiapason* diapason);
bool ValidateIntervalQuestion(unsigned id, const IntervalSettings* settings);
bool ValidateChordQuestion(unsigned id, const ChordSettings* settings);
bool ValidateScaleQuestion(unsigned id, const ScalesSettings* settings);
bool ValidateTempoQuestion(unsigned id, const TempoSettings* settings);
bool ValidateLengthQuestion(unsigned id, const LengthSettings* settings);
bool ValidateSignatureQuestion(unsigned id, const KeySignaturesSettings* settings);
bool ValidateLoudnessQuestion(unsigned id, const LoudnessSettings* settings);
bool ValidateModifiersQuestion(unsigned id, const NoteModifiersSettings* settings);

using NoteValidator = SimpleValidator<NotesDiapason, ValidateNoteQuestion>;
using IntervalValidator = SimpleValidator<IntervalSettings, ValidateIntervalQuestion>;
using ChordValidator = SimpleValidator<ChordSettings, ValidateChordQuestion>;
using ScaleValidator = SimpleValidator<ScalesSettings, ValidateScaleQuestion>;
using TempoValidator = SimpleValidator<TempoSettings, ValidateTempoQuestion>;
using LengthValidator = SimpleValidator<LengthSettings, ValidateLengthQuestion>;
using SignatureValidator = SimpleValidator<KeySignaturesSettings, ValidateSignatureQuestion>;
using LoudnessValidator = SimpleValidator<LoudnessSettings, ValidateLoudnessQuestion>;
using ModifiersValidator = SimpleValidator<NoteModifiersSettings, ValidateModifiersQuestion>;

} // namespace Core
