#include "platform/audio/rendered_tune.h"

#include <algorithm>
#include <cmath>

#include "platform/audio/music_synth.h"

namespace vx::audio {

namespace {
constexpr int kChunk = 4096;
// Below half a step of the stored samples the tail has nothing left to say.
constexpr float kSilence = 0.5f / 32767.0f;
}  // namespace

int16_t ToSample(float value) {
    return static_cast<int16_t>(std::lrint(std::clamp(value, -1.0f, 1.0f) * 32767.0f));
}

std::shared_ptr<RenderedTune> RenderTune(MusicSynth& synth, int sampleRate, std::vector<uint8_t> bytes,
                                         int64_t passFrames, const std::function<bool()>& stopped) {
    if (!synth.Ready() || passFrames <= 0) return nullptr;
    auto tune = std::make_shared<RenderedTune>();
    tune->passFrames = passFrames;
    std::vector<int16_t>& out = tune->owned;
    out.reserve(static_cast<size_t>(2 * passFrames));
    std::vector<float> chunk(2 * kChunk);
    auto take = [&](int frames) {
        synth.Render(chunk.data(), frames);
        for (int i = 0; i < 2 * frames; ++i) out.push_back(ToSample(chunk[static_cast<size_t>(i)]));
    };
    synth.Play(std::move(bytes), passFrames);
    for (int64_t at = 0; at < passFrames; at += kChunk) {
        if (stopped && stopped()) return nullptr;
        take(static_cast<int>(std::min<int64_t>(kChunk, passFrames - at)));
    }
    synth.Release();
    const int64_t longestTail = kLongestTailSeconds * sampleRate;
    int64_t lastSounding = passFrames;  // frames up to the last one that is not silent
    for (int64_t at = 0; at < longestTail && lastSounding + sampleRate / 2 > passFrames + at; at += kChunk) {
        if (stopped && stopped()) return nullptr;
        const int frames = static_cast<int>(std::min<int64_t>(kChunk, longestTail - at));
        synth.Render(chunk.data(), frames);
        for (int i = 0; i < 2 * frames; ++i) {
            out.push_back(ToSample(chunk[static_cast<size_t>(i)]));
            if (std::fabs(chunk[static_cast<size_t>(i)]) >= kSilence)
                lastSounding = passFrames + at + i / 2 + 1;
        }
    }
    synth.Stop();
    out.resize(static_cast<size_t>(2 * lastSounding));
    out.shrink_to_fit();
    tune->tailFrames = lastSounding - passFrames;
    tune->samples = out;
    return tune;
}

}  // namespace vx::audio
