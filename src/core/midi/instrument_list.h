#pragma once
// The 36 playback instruments offered in the settings, and the General MIDI program each one
// selects. The settings store the position in this list; the program change sent to the
// synthesizer carries the instrument's General MIDI program number, which differs from the
// position from the ninth entry on. Used by the settings page and the exercises.

#include "core/midi/midi_message.h"

#include <QCoreApplication>
#include <QStringList>

namespace Core {

class InstrumentList
{
    Q_DECLARE_TR_FUNCTIONS(Core::InstrumentList)
public:
    static constexpr int Count = 36;

    // Translated names in list order.
    static QStringList Names();
    // General MIDI program (0-127) of the entry at `index`; out-of-range positions (an edited
    // settings file) fall back to the first entry, the grand piano.
    static int GeneralMidiProgram(int index);
    // The program change that selects the instrument at `index` on `channel`.
    static MidiMessage ProgramChange(int index, int channel = 0);
};

} // namespace Core
