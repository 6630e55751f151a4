// cantorela-listen FILE: prints the notes the program's detector hears in a recording, one line
// per onset, for checking the detector by ear and by hand:
//   onset_ms=512 keys=60,64,67

#include "listen/note_detector.h"
#include "listen/sound_file.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

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

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2 || std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0) {
        std::fprintf(argc == 2 ? stdout : stderr,
                     "Usage: cantorela-listen FILE\n"
                     "Prints the notes heard in FILE (WAV, FLAC or Ogg), one line per onset:\n"
                     "  onset_ms=<milliseconds from the start> keys=<MIDI keys, rising>\n");
        return argc == 2 ? 0 : 2;
    }
    std::string error;
    const Listen::MonoSound sound = Listen::readMonoSound(argv[1], &error);
    if (sound.samples.empty() && !error.empty()) {
        std::fprintf(stderr, "cantorela-listen: cannot read %s: %s\n", argv[1], error.c_str());
        return 1;
    }
    Listen::NoteDetector detector(sound.sampleRate);
    // Fed as a sound card would deliver it, then a little silence so that a last onset is heard out.
    constexpr std::size_t block = 256;
    for (std::size_t at = 0; at < sound.samples.size(); at += block) {
        detector.feed(sound.samples.data() + at, std::min(block, sound.samples.size() - at));
        print(detector.takeEvents());
    }
    const std::vector<float> silence(std::size_t(sound.sampleRate * 0.2), 0.0f);
    detector.feed(silence.data(), silence.size());
    print(detector.takeEvents());
    return 0;
}
