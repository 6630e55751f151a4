#include "tour_lessons.h"

void TourLessons(Core::TrainerSettings& s, bool quiz)
{
    using namespace Core;
    const int relaxed = 30;
    NoteTrainerSettings& n = s.noteTrainer;
    n.singleNotes.duration = {relaxed, quiz ? 1 : 2};
    n.intervals.duration = {quiz ? relaxed : 4, quiz ? 1 : 2};
    n.chords.duration = {relaxed, quiz ? 1 : 2};
    for (ClefSettings* c : {&n.singleNotes.clefs, &n.intervals.clefs, &n.chords.clefs})
        *c = ClefSettings{true, true};
    for (NotesDiapason* d : {&n.singleNotes.diapason, &n.intervals.diapason, &n.chords.diapason,
                             &s.earTrainer.singleNotes.diapason, &s.earTrainer.intervals.diapason,
                             &s.earTrainer.chords.diapason, &s.earTrainer.scales.diapason})
        *d = NotesDiapason{34, 51, true, true}; // G3 to C5: on either staff
    n.intervals.intervalStart = 3;
    n.intervals.intervalEnd = 7;
    n.chords.SetAll(false);
    n.chords[ChordSwitch::MajorTriad] = true;
    n.chords[ChordSwitch::MinorTriad] = true;
    n.chords[ChordSwitch::ChordNotation] = quiz;
    // Learning pauses after a mistake (the hint then offers the next question), the quiz goes on.
    n.wrongAnswerPolicy = {quiz, 2500};

    EarTrainerSettings& e = s.earTrainer;
    e.singleNotes.duration = {quiz ? relaxed : 8, 1};
    for (DurationSettings* d :
         {&e.intervals.duration, &e.chords.duration, &e.scales.duration, &e.tempo.duration})
        *d = {relaxed, 1};
    e.intervals.intervalStart = 3;
    e.intervals.intervalEnd = 7;
    e.chords.SetAll(false);
    e.chords[ChordSwitch::MajorTriad] = true;
    e.chords[ChordSwitch::MinorTriad] = true;
    e.scales.SetAll(false);
    e.scales[ScaleSwitch::NaturalMaj] = true;
    e.scales[ScaleSwitch::NaturalMin] = true;
    e.scales[ScaleSwitch::Ascending] = true;
    e.tempo.SetAll(false);
    e.tempo[TempoSwitch::Allegro] = true;
    e.tempo[TempoSwitch::Adagio] = true;

    SymbolTrainerSettings& y = s.symbolTrainer;
    y.lengths.duration = {relaxed, 1};
    y.keySignatures.duration = {relaxed, 1};
    y.tempo.duration = {relaxed, 1};
    y.loudness.duration = {quiz ? relaxed : 4, 1};
    y.noteModifiers.duration = {relaxed, 1};
    y.lengths.SetAll(true);
    y.keySignatures.SetAll(true);
    y.tempo.SetAll(true);
    y.loudness.SetAll(true);
    y.noteModifiers.SetAll(true);
}

const char* TrainerName(size_t trainer)
{
    static const char* const names[] = {"Note trainer", "Ear trainer", "Symbol trainer"};
    return names[trainer];
}
const char* TrainerSlug(size_t trainer)
{
    static const char* const names[] = {"note", "ear", "symbol"};
    return names[trainer];
}
