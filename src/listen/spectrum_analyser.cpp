#include "listen/spectrum_analyser.h"

#include <fftw3.h>

#include <cmath>
#include <complex>
#include <new>

namespace Listen {

std::mutex& fftPlannerLock()
{
    static std::mutex lock;
    return lock;
}

double mainLobeBins(Window window)
{
    return window == Window::Hann ? 2.0 : 1.5;
}

SpectrumAnalyser::SpectrumAnalyser(std::size_t frameSize, std::size_t fftSize, Window shape)
    : fftLength(fftSize < frameSize ? frameSize : fftSize), window(frameSize), magnitude(fftLength / 2 + 1)
{
    const double pi = std::acos(-1.0);
    double sum = 0;
    for (std::size_t i = 0; i < frameSize; ++i) {
        const double sine = std::sin(pi * (double(i) + 0.5) / double(frameSize));
        window[i] = float(shape == Window::Hann ? sine * sine : sine);
        sum += window[i];
    }
    // A sine of amplitude 1 peaks at sum/2 in the transform.
    const float scale = float(2.0 / sum);
    for (float& w : window)
        w *= scale;

    input = static_cast<float*>(fftwf_malloc(sizeof(float) * fftLength));
    output = fftwf_malloc(sizeof(fftwf_complex) * binCount());
    if (!input || !output)
        throw std::bad_alloc();
    std::lock_guard<std::mutex> planning(fftPlannerLock());
    plan = fftwf_plan_dft_r2c_1d(int(fftLength), input, static_cast<fftwf_complex*>(output), FFTW_ESTIMATE);
}

SpectrumAnalyser::~SpectrumAnalyser()
{
    {
        std::lock_guard<std::mutex> planning(fftPlannerLock());
        if (plan)
            fftwf_destroy_plan(plan);
    }
    fftwf_free(input);
    fftwf_free(output);
}

const std::vector<float>& SpectrumAnalyser::analyse(const float* frame)
{
    const std::size_t n = window.size();
    for (std::size_t i = 0; i < n; ++i)
        input[i] = frame[i] * window[i];
    for (std::size_t i = n; i < fftLength; ++i)
        input[i] = 0;
    fftwf_execute(plan);
    const auto* bins = static_cast<const fftwf_complex*>(output);
    for (std::size_t k = 0; k < magnitude.size(); ++k)
        magnitude[k] = std::hypot(bins[k][0], bins[k][1]);
    return magnitude;
}

} // namespace Listen
