#include "core/midi/instrument_list.h"

#include <array>

namespace Core {
namespace {

// List position -> General MIDI program: pianos 0-7, organs, accordions and
// guitars 16-28, strings 40-42, brass and reeds 56-67.
constexpr std::array<int, InstrumentList::Count> Programs = {
    0,  1,  2,  3,  4,  5,  6,  7,                                  // pianos
    16, 17, 18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28,             // organs, accordions, guitars
    40, 41, 42,                                                     // violin, viola, cello
    56, 57, 58, 59, 60, 61, 62, 63, 64, 65, 66, 67,                 // brass, saxophones
};

} // namespace

QStringList InstrumentList::Names()
{
    return {
        tr("Acoustic Grand Piano"), tr("Bright Acoustic Piano"), tr("Electric Grand Piano"),
        tr("Honky-tonk Piano"), tr("Electric Piano 1"), tr("Electric Piano 2"), tr("Harpsichord"),
        tr("Clavi"), tr("Drawbar Organ"), tr("Percussive Organ"), tr("Rock Organ"), tr("Church Organ"),
        tr("Reed Organ"), tr("Accordion"), tr("Harmonica"), tr("Tango Accordion"),
        tr("Acoustic Guitar (nylon)"), tr("Acoustic Guitar (steel)"), tr("Electric Guitar (jazz)"),
        tr("Electric Guitar (clean)"), tr("Electric Guitar (muted)"), tr("Violin"), tr("Viola"),
        tr("Cello"), tr("Trumpet"), tr("Trombone"), tr("Tuba"), tr("Muted Trumpet"), tr("French Horn"),
        tr("Brass Section"), tr("SynthBrass 1"), tr("SynthBrass 2"), tr("Soprano Sax"), tr("Alto Sax"),
        tr("Tenor Sax"), tr("Baritone Sax"),
    };
}

int InstrumentList::GeneralMidiProgram(int index)
{
    if (index < 0 || index >= Count)
        return Programs[0];
    return Programs[size_t(index)];
}

MidiMessage InstrumentList::ProgramChange(int index, int channel)
{
    return MidiMessage(0xC0, quint8(channel & 0x0F), quint8(GeneralMidiProgram(index)));
}

} // namespace Core
