#pragma once
// The computer keyboard as a piano, for the student without a MIDI keyboard. Two rows of letter
// keys play a window of 25 keys, in the layout music programs on Linux use:
//   Z S X D C V G B H N J M          one octave, from a C
//   Q 2 W 3 E R 5 T 6 Y 7 U I        the octave above, up to the C after it
// Keys are told apart by their place on the keyboard (the native scan code), so a French or
// German layout plays the same notes from the same places; where the platform gives no scan code
// the key's US letter is used instead. The window starts on a C, moves an octave at a time and
// never leaves the piano's 88 keys entirely. A plain value; the exercise screen owns one.

#include <QString>

#include <vector>

class QKeyEvent;

namespace UI {

class ComputerPiano
{
public:
    static constexpr int KeyCount = 25;
    static constexpr int LowestNote = 21;  // A0
    static constexpr int HighestNote = 108; // C8
    // The window's first note stays on a C between C0 (whose lower row then plays from A0) and
    // C8 (played by Z alone).
    static constexpr int LowestStart = 12;
    static constexpr int HighestStart = 108;

    // 0 to 24: which of the window's keys the event's key plays; -1 for any other key, and for a
    // press with Ctrl, Alt or Meta held (a release counts whatever is held, so that no key sticks).
    static int placeOf(const QKeyEvent& event);
    // The key's letter as a US keyboard prints it ("Z", "2", ...).
    static QString letterOf(int place);

    // The MIDI note the window's key `place` plays now; -1 beyond the piano's keys.
    int noteAt(int place) const;
    // The window's first note (a C).
    int start() const { return m_start; }
    // Moves the window by `octaves`; false when it is already at that end.
    bool shift(int octaves);
    // Puts the window where a question's notes lie: its first C at or below the lowest of
    // `around` (the notes all choices span, so that the window gives nothing away), then up by
    // octaves until the highest of `asked` is inside, as long as the lowest of `asked` stays in.
    void placeFor(const std::vector<int>& around, const std::vector<int>& asked);

private:
    int m_start = 60;
};

} // namespace UI
