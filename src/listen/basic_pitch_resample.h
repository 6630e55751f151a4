#pragma once
// Changes the sample rate of a mono sound with a Kaiser-windowed sinc filter, for the basic-pitch
// network, which hears at 22050 Hz only. Made for whole clips at once, not for streams.

#include <cstddef>
#include <vector>

namespace Listen {

std::vector<float> resampleSound(const float* samples, std::size_t count, double fromRate, double toRate);

} // namespace Listen
