#pragma once
// The magnitude spectrum of one frame of sound: a windowed frame, zero-padded to the transform
// size so that peaks between bins can be read off, through FFTW.
//
// FFTW's planner is not thread-safe; every plan made or destroyed in the listener goes through
// fftPlannerLock(). Transforms themselves run without it.

#include <cstddef>
#include <mutex>
#include <vector>

typedef struct fftwf_plan_s* fftwf_plan;

namespace Listen {

std::mutex& fftPlannerLock();

// The Hann window keeps a strong partial's leakage low (its side lobes fall from -31 dB, and
// fast); the sine window tells apart partials a quarter closer (its main lobe is 1.5 bins either
// side, the Hann window's 2), for side lobes from -23 dB.
enum class Window
{
    Hann,
    Sine
};

// Half the width of the window's main lobe, in bins of the unpadded frame.
double mainLobeBins(Window window);

class SpectrumAnalyser
{
public:
    // frameSize samples are windowed; the transform is fftSize long (fftSize >= frameSize).
    SpectrumAnalyser(std::size_t frameSize, std::size_t fftSize, Window shape = Window::Hann);
    ~SpectrumAnalyser();
    SpectrumAnalyser(const SpectrumAnalyser&) = delete;
    SpectrumAnalyser& operator=(const SpectrumAnalyser&) = delete;

    std::size_t frameSize() const { return window.size(); }
    std::size_t fftSize() const { return fftLength; }
    std::size_t binCount() const { return fftLength / 2 + 1; }

    // The magnitudes of frameSize samples, scaled so that a full-scale sine reads about 1.
    const std::vector<float>& analyse(const float* frame);

private:
    std::size_t fftLength;
    std::vector<float> window;
    float* input = nullptr;  // fftwf_malloc'd, fftLength
    void* output = nullptr;  // fftwf_complex[binCount]
    fftwf_plan plan = nullptr;
    std::vector<float> magnitude;
};

} // namespace Listen
