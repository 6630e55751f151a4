#pragma once
// The base of the controls that show music (the on-screen keyboard): piano keys counted 0-87 from
// A0, their MIDI notes and the names screen readers and labels give them.

#include "base_control.h"

class MusicControl : public BaseControl
{
    Q_OBJECT
public:
    static constexpr int KeyCount = 88;
    static constexpr int LowestMidiNote = 21; // key 0, A0

    explicit MusicControl(QWidget* parent = nullptr);

    static bool isWhiteKey(int key);
    // "C4" for a white key, "F♯4/G♭4" for a black one; key 39 is middle C.
    static QString keyName(int key);
};
