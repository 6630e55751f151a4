#pragma once
// Hears sung notes: one voice, its pitch followed frame by frame (the YIN estimate of the period),
// a note reported once the voice has held one pitch class for 200 ms, within 50 cents of its
// nearest key, and let go when the voice stops or moves to another. Sung notes wander (vibrato,
// scooping up to the pitch, an octave slip of the estimate on a breathy vowel); what stays is the
// pitch class, and a singer is judged by that alone, in any octave.
//
// Same stream interface as the piano's NoteDetector: samples in, onsets and releases out, times
// in milliseconds of stream time. The reported key is the key nearest the median pitch heard.
//
// Threads: one object is fed from one thread at a time. Feeding does not allocate, except for the
// events handed over.

#include "listen/note_detector.h"

#include <cstddef>
#include <memory>

namespace Listen {

class SungNoteTracker
{
public:
    explicit SungNoteTracker(double sampleRate);
    ~SungNoteTracker();
    SungNoteTracker(const SungNoteTracker&) = delete;
    SungNoteTracker& operator=(const SungNoteTracker&) = delete;

    void feed(const float* samples, std::size_t count);
    DetectorEvents takeEvents();
    void reset();

private:
    struct State;
    std::unique_ptr<State> d;
};

} // namespace Listen
