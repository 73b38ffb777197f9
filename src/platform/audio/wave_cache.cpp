#include "platform/audio/wave_cache.h"

#include <SDL.h>

#include <cstring>

namespace vx::audio {

namespace {
constexpr std::uintmax_t kLargestWaveFile = 32u << 20;
}  // namespace

std::shared_ptr<const EffectSamples> WaveCache::Get(const std::filesystem::path& path) {
    std::lock_guard lock(mutex_);
    const std::string key = path.string();
    if (const auto it = loaded_.find(key); it != loaded_.end()) return it->second;
    std::string error;
    std::shared_ptr<const EffectSamples> samples = Decode(path, error);
    if (!samples)
        reporter_.Report("wave:" + key,
                         "cannot play sound effect " + key + " (" + error + "); it stays silent");
    loaded_[key] = samples;
    return samples;
}

std::shared_ptr<const EffectSamples> WaveCache::Decode(const std::filesystem::path& path,
                                                       std::string& error) const {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) {
        error = "no such file";
        return nullptr;
    }
    // Effects are short; a huge file is a mistake, and decoding it would eat memory.
    if (std::filesystem::file_size(path, ec) > kLargestWaveFile) {
        error = "file too large";
        return nullptr;
    }
    SDL_AudioSpec source{};
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV(path.c_str(), &source, &data, &length) == nullptr) {
        error = SDL_GetError();
        return nullptr;
    }
    // SDL_AudioCVT rather than SDL_AudioStream: the stream holds back the last few
    // frames for its resampler and an effect would lose its tail.
    SDL_AudioCVT cvt;
    const int built =
        SDL_BuildAudioCVT(&cvt, source.format, source.channels, source.freq, AUDIO_F32SYS, 2, sampleRate_);
    if (built < 0) {
        error = SDL_GetError();
        SDL_FreeWAV(data);
        return nullptr;
    }
    std::vector<Uint8> work(static_cast<size_t>(length) * static_cast<size_t>(cvt.len_mult));
    std::memcpy(work.data(), data, length);
    SDL_FreeWAV(data);
    cvt.buf = work.data();
    cvt.len = static_cast<int>(length);
    cvt.len_cvt = cvt.len;
    if (built > 0 && SDL_ConvertAudio(&cvt) != 0) {
        error = SDL_GetError();
        return nullptr;
    }
    auto samples = std::make_shared<EffectSamples>(static_cast<size_t>(cvt.len_cvt) / sizeof(float) / 2 * 2);
    std::memcpy(samples->data(), work.data(), samples->size() * sizeof(float));
    return samples;
}

}  // namespace vx::audio
