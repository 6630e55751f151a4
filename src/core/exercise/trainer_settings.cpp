#include "core/exercise/trainer_settings.h"

#include <cstdlib>

namespace Core {
namespace {

bool SameContent(const SingleNotesSettings& a, const SingleNotesSettings& b)
{
    return a.diapason == b.diapason && a.clefs == b.clefs;
}

bool SameContent(const IntervalSettings& a, const IntervalSettings& b)
{
    return a.intervalStart == b.intervalStart && a.intervalEnd == b.intervalEnd && a.diapason == b.diapason &&
           a.clefs == b.clefs && a.arpeggiated == b.arpeggiated;
}

bool SameContent(const ChordSettings& a, const ChordSettings& b)
{
    return a.switches == b.switches && a.diapason == b.diapason && a.clefs == b.clefs;
}

bool SameContent(const ScalesSettings& a, const ScalesSettings& b)
{
    return a.switches == b.switches && a.diapason == b.diapason && a.clefs == b.clefs;
}

template <typename Switch, std::size_t Count>
bool SameContent(const SwitchesWithDuration<Switch, Count>& a, const SwitchesWithDuration<Switch, Count>& b)
{
    return a.switches == b.switches;
}

} // namespace

int WrongAnswerPolicy::OfferedDelay(int ms)
{
    const auto distance = [ms](int offered) { return std::llabs(static_cast<long long>(ms) - offered); };
    int nearest = OfferedDelays.front();
    for (const int offered : OfferedDelays)
        if (distance(offered) <= distance(nearest))
            nearest = offered;
    return nearest;
}

bool SameQuestionContent(const TrainerSettings& a, const TrainerSettings& b, int trainer)
{
    switch (trainer) {
    case NoteTrainerIndex: {
        const auto &x = a.noteTrainer, &y = b.noteTrainer;
        return SameContent(x.singleNotes, y.singleNotes) && SameContent(x.intervals, y.intervals) &&
               SameContent(x.chords, y.chords);
    }
    case EarTrainerIndex: {
        const auto &x = a.earTrainer, &y = b.earTrainer;
        return SameContent(x.singleNotes, y.singleNotes) && SameContent(x.intervals, y.intervals) &&
               SameContent(x.chords, y.chords) && SameContent(x.scales, y.scales) && SameContent(x.tempo, y.tempo);
    }
    case SymbolTrainerIndex: {
        const auto &x = a.symbolTrainer, &y = b.symbolTrainer;
        return SameContent(x.lengths, y.lengths) && SameContent(x.keySignatures, y.keySignatures) &&
               SameContent(x.tempo, y.tempo) && SameContent(x.loudness, y.loudness) &&
               SameContent(x.noteModifiers, y.noteModifiers);
    }
    default:
        return false;
    }
}

} // namespace Core
