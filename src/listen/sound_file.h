#pragma once
// Recordings read as mono sound for the detector: any format libsndfile reads (WAV, FLAC, Ogg),
// its channels mixed down.

#include <string>
#include <vector>

namespace Listen {

struct MonoSound
{
    double sampleRate = 0;
    std::vector<float> samples;
};

// Empty, with the reason in *error, when the file cannot be read.
MonoSound readMonoSound(const std::string& path, std::string* error);

} // namespace Listen
