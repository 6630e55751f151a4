#include "listen/sound_file.h"

#include <sndfile.h>

#include <memory>

namespace Listen {

MonoSound readMonoSound(const std::string& path, std::string* error)
{
    SF_INFO info{};
    std::unique_ptr<SNDFILE, int (*)(SNDFILE*)> file(sf_open(path.c_str(), SFM_READ, &info), sf_close);
    if (!file) {
        *error = sf_strerror(nullptr);
        return {};
    }
    if (info.channels < 1 || info.samplerate <= 0) {
        *error = "the file holds no sound";
        return {};
    }
    MonoSound sound;
    sound.sampleRate = info.samplerate;
    sound.samples.reserve(std::size_t(info.frames));
    std::vector<float> block(std::size_t(4096 * info.channels));
    for (;;) {
        const sf_count_t frames = sf_readf_float(file.get(), block.data(), 4096);
        if (frames <= 0)
            break;
        for (sf_count_t f = 0; f < frames; ++f) {
            float sum = 0;
            for (int c = 0; c < info.channels; ++c)
                sum += block[std::size_t(f * info.channels + c)];
            sound.samples.push_back(sum / float(info.channels));
        }
    }
    if (sf_error(file.get()) != SF_ERR_NO_ERROR) {
        *error = sf_strerror(file.get());
        return {};
    }
    return sound;
}

} // namespace Listen
