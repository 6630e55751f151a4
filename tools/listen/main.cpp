// cantorela-listen [--singing] FILE: prints the notes the program's detector hears in a recording,
// one line per onset, for checking the detector by ear and by hand:
//   onset_ms=512 keys=60,64,67
// With --singing, the notes a singer holds, as the program hears them when the student answers by
// singing.

#include "listen/note_detector.h"
#include "listen/sound_file.h"
#include "listen/sung_note_tracker.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

void print(const Listen::DetectorEvents& events)
{
    for (const Listen::HeardOnset& onset : events.onsets) {
        std::printf("onset_ms=%ld keys=", std::lround(onset.onsetMs));
        for (std::size_t i = 0; i < onset.keys.size(); ++i)
            std::printf(i ? ",%d" : "%d", onset.keys[i]);
        std::printf("\n");
    }
}

// Fed as a sound card would deliver it, then a little silence so that a last onset is heard out.
template <typename Detector> void listen(Detector& detector, const Listen::MonoSound& sound)
{
    constexpr std::size_t block = 256;
    for (std::size_t at = 0; at < sound.samples.size(); at += block) {
        detector.feed(sound.samples.data() + at, std::min(block, sound.samples.size() - at));
        print(detector.takeEvents());
    }
    const std::vector<float> silence(std::size_t(sound.sampleRate * 0.2), 0.0f);
    detector.feed(silence.data(), silence.size());
    print(detector.takeEvents());
}

} // namespace

int main(int argc, char** argv)
{
    const bool singing = argc == 3 && std::strcmp(argv[1], "--singing") == 0;
    const char* const path = argv[argc - 1];
    if ((argc != 2 && !singing) || std::strcmp(path, "--help") == 0 || std::strcmp(path, "-h") == 0) {
        const bool asked = argc == 2;
        std::fprintf(asked ? stdout : stderr,
                     "Usage: cantorela-listen [--singing] FILE\n"
                     "Prints the notes heard in FILE (WAV, FLAC or Ogg), one line per onset:\n"
                     "  onset_ms=<milliseconds from the start> keys=<MIDI keys, rising>\n"
                     "With --singing, the notes a singer holds.\n");
        return asked ? 0 : 2;
    }
    std::string error;
    const Listen::MonoSound sound = Listen::readMonoSound(path, &error);
    if (sound.samples.empty() && !error.empty()) {
        std::fprintf(stderr, "cantorela-listen: cannot read %s: %s\n", path, error.c_str());
        return 1;
    }
    if (singing) {
        Listen::SungNoteTracker tracker(sound.sampleRate);
        listen(tracker, sound);
    } else {
        Listen::NoteDetector detector(sound.sampleRate);
        listen(detector, sound);
    }
    return 0;
}
