#pragma once
// What the program itself is playing through the speakers, as far as a microphone in the same
// room could hear it: the moment (on the Timer::NowNs clock) until which our own sound may still
// reach it. The built-in synthesizer moves it on with every audible block it renders, including
// the answer sounds mixed into its output and the release tail of the question's notes; the
// margin covers the audio buffered after us and the room's echo. The microphone ignores what
// begins before then, so that a question played to the student never answers itself.
//
// Threads: any. Marking never blocks or allocates (the audio callback does it).

#include <QtGlobal>

namespace Core {
namespace OwnPlayback {

// How long the room still rings after our last audible sample has left the speakers.
constexpr quint64 RoomTailNs = 250'000'000;

// Our sound is audible until at least `untilNs`.
void MarkAudibleUntil(quint64 untilNs);
quint64 AudibleUntilNs();
// Whether a sound that began at `startNs` could have been our own.
inline bool CouldBeOurs(quint64 startNs) { return startNs <= AudibleUntilNs(); }

} // namespace OwnPlayback
} // namespace Core
