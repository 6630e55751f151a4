#include "core/exercise/question_validators.h"

#include "core/exercise/music_tables.h"

namespace Core {
namespace {

bool AnyBlackIn(int lo, int hi)
{
    for (int key = lo; key < hi; ++key)
        if (MusicTables::IsBlackKey(key))
            return true;
    return false;
}

} // namespace

bool ValidateNoteQuestion(unsigned id, const NotesDiapason* diapason)
{
    if (!diapason)
        return false;
    const int key = int(id);
    int lo = diapason->minimum;
    int hi = diapason->maximum;
    // A black key just below the range belongs to it.
    if (diapason->blackKeys && lo >= 1 && MusicTables::IsBlackKey(lo - 1))
        --lo;
    // Black keys alone in a range too narrow to hold one: widen it until it does.
    if (hi - lo < 3 && diapason->blackKeys && !diapason->whiteKeys) {
        while (!AnyBlackIn(lo, hi)) {
            if (hi < MusicTables::KeyCount)
                ++hi;
            else if (lo > 0)
                --lo;
            else
                break;
        }
    }
    if (key < lo || key >= hi || key >= MusicTables::KeyCount)
        return false;
    return MusicTables::IsBlackKey(key) ? diapason->blackKeys : diapason->whiteKeys;
}

bool ValidateIntervalQuestion(unsigned id, const IntervalSettings* settings)
{
    if (!settings)
        return false;
    int size = -1;
    for (int k = 0; k < MusicTables::IntervalCount; ++k) {
        if (int(id) < MusicTables::IntervalFirstId(k + 1)) {
            size = k;
            break;
        }
    }
    if (size < 0)
        return false; // beyond the pool
    if (size < settings->intervalStart || size > settings->intervalEnd)
        return false;
    const unsigned root = id - unsigned(MusicTables::IntervalFirstId(size));
    return ValidateNoteQuestion(root, &settings->diapason);
}

namespace {

// Entry counts of the chord pool, per inversion block and per chord type within a block.
struct ChordLayout
{
    int block[3] = {};
    int entries[3][MusicTables::ChordTypeCount] = {};
    ChordLayout()
    {
        for (int inversion = 0; inversion < 3; ++inversion)
            for (int type = 0; type < MusicTables::ChordTypeCount; ++type) {
                entries[inversion][type] = MusicTables::ChordEntries(type, inversion);
                block[inversion] += entries[inversion][type];
            }
    }
};

const ChordLayout& Layout()
{
    static const ChordLayout layout;
    return layout;
}

} // namespace

bool ValidateChordQuestion(unsigned id, const ChordSettings* settings)
{
    if (!settings)
        return false;
    const ChordLayout& layout = Layout();
    int rest = int(id);
    int inversion = 0;
    while (inversion < 3 && rest >= layout.block[inversion]) {
        rest -= layout.block[inversion];
        ++inversion;
    }
    if (inversion >= 3)
        return false;
    if (inversion == 1 && !(*settings)[ChordSwitch::FirstInversion])
        return false;
    if (inversion == 2 && !(*settings)[ChordSwitch::SecondInversion])
        return false;
    int type = 0;
    while (type < MusicTables::ChordTypeCount && rest >= layout.entries[inversion][type]) {
        rest -= layout.entries[inversion][type];
        ++type;
    }
    if (type >= MusicTables::ChordTypeCount || !settings->switches[size_t(type)])
        return false;
    return ValidateNoteQuestion(unsigned(rest), &settings->diapason);
}

bool ValidateScaleQuestion(unsigned id, const ScalesSettings* settings)
{
    if (!settings)
        return false;
    static const ScaleSwitch order[MusicTables::ScaleCount] = {
        ScaleSwitch::NaturalMaj, ScaleSwitch::NaturalMin,    ScaleSwitch::Harmonic,
        ScaleSwitch::MelodicMin, ScaleSwitch::PentatonicMaj, ScaleSwitch::PentatonicMin,
        ScaleSwitch::Diminished, ScaleSwitch::Blues,         ScaleSwitch::Augmented,
        ScaleSwitch::WholeTone};
    const unsigned scale = id / MusicTables::ScaleRootCount;
    const unsigned root = id % MusicTables::ScaleRootCount;
    if (scale >= unsigned(MusicTables::ScaleCount) || !(*settings)[order[scale]])
        return false;
    return ValidateNoteQuestion(root, &settings->diapason);
}

bool ValidateTempoQuestion(unsigned id, const TempoSettings* settings)
{
    if (!settings)
        return false;
    static const TempoSwitch order[MusicTables::TempoCount] = {
        TempoSwitch::Adagio,   TempoSwitch::Allegro, TempoSwitch::Andante, TempoSwitch::Largo,
        TempoSwitch::Moderato, TempoSwitch::Presto,  TempoSwitch::Vivace};
    const unsigned tempo = id / MusicTables::PiecesPerTempo;
    return tempo < unsigned(MusicTables::TempoCount) && (*settings)[order[tempo]];
}

bool ValidateLengthQuestion(unsigned id, const LengthSettings* settings)
{
    if (!settings || id > 15)
        return false;
    if (!settings->switches[id / 2])
        return false;
    return id % 2 == 0 || (*settings)[LengthSwitch::Rests];
}

bool ValidateSignatureQuestion(unsigned id, const KeySignaturesSettings* settings)
{
    using S = KeySignatureSwitch;
    static const S order[13] = {S::CMaj,  S::GMaj,  S::DMaj,  S::AMaj,  S::EMaj,  S::BMaj, S::GbMaj,
                                S::GbMaj, S::DbMaj, S::AbMaj, S::EbMaj, S::BbMaj, S::FMaj};
    return settings && id < 13 && (*settings)[order[id]];
}

bool ValidateLoudnessQuestion(unsigned id, const LoudnessSettings* settings)
{
    using S = LoudnessSwitch;
    static const S order[11] = {S::Pianississimo, S::Pianissimo, S::Piano,      S::MezzoPiano,
                                S::MezzoForte,    S::Forte,      S::Fortissimo, S::Fortississimo,
                                S::Sforzando,     S::Crescendo,  S::Diminuendo};
    return settings && id < 11 && (*settings)[order[id]];
}

bool ValidateModifiersQuestion(unsigned id, const NoteModifiersSettings* settings)
{
    using S = NoteModifierSwitch;
    static const S order[24] = {
        S::Stacatto,    S::Stacattissimo, S::Acent,        S::Fermata,     S::Flat,        S::Tie,
        S::Marcato,     S::Natural,       S::OttavaAlto,   S::OttavaBasso, S::EngagePedal, S::ReleasePedal,
        S::RepeatSigns, S::Sharp,         S::VoltaBracket, S::Tremolo,     S::Trill,       S::Appogiatura,
        S::DoubleFlat,  S::DoubleSharp,   S::Arpeggio,     S::Tenuto,      S::Slur,        S::Acciaccatura};
    return settings && id < 24 && (*settings)[order[id]];
}

} // namespace Core
