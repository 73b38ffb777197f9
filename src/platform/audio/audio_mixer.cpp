#include "platform/audio/audio_mixer.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

#include "platform/audio/tune_player.h"

namespace vx::audio {

namespace {
constexpr int kLimiterBlock = 64;          // frames per gain step
constexpr float kLimiterRecovery = 0.02f;  // share of the way back to unity per block
}  // namespace

uint64_t AudioMixer::StartEffect(std::shared_ptr<const EffectSamples> samples) {
    effect_ = std::move(samples);
    effectAt_ = 0;
    const uint64_t serial = ++lastSerial_;
    playingSerial_.store(effect_ && !effect_->empty() ? serial : 0);
    return serial;
}

bool AudioMixer::Quiet() const {
    return !effect_ && (music_ == nullptr || music_->Source() == MusicSource::kNone);
}

void AudioMixer::Mix(float* stereo, int frames) {
    const size_t floats = 2 * static_cast<size_t>(frames);
    if (music_ != nullptr) {
        music_->Render(stereo, frames);
    } else {
        std::memset(stereo, 0, floats * sizeof(float));
    }
    if (effect_) {
        if (effectAt_ == 0)
            effectMixedAtNs_.store(std::chrono::duration_cast<std::chrono::nanoseconds>(
                                       std::chrono::steady_clock::now().time_since_epoch())
                                       .count());
        const size_t count = std::min(floats, effect_->size() - effectAt_);
        const float* from = effect_->data() + effectAt_;
        for (size_t i = 0; i < count; ++i) stereo[i] += from[i];
        effectAt_ += count;
        if (effectAt_ >= effect_->size()) {
            effect_.reset();
            playingSerial_.store(0);
        }
    }
    Limit(stereo, frames);
}

// Music and effect together can pass full scale; rather than clip, the whole mix is
// turned down for that moment and eased back, so an effect alone passes untouched.
void AudioMixer::Limit(float* stereo, int frames) {
    for (int start = 0; start < frames; start += kLimiterBlock) {
        const int count = std::min(kLimiterBlock, frames - start);
        float* block = stereo + 2 * start;
        float peak = 0.0f;
        for (int i = 0; i < 2 * count; ++i) peak = std::max(peak, std::fabs(block[i]));
        gain_ += (1.0f - gain_) * kLimiterRecovery;
        if (gain_ > 0.9999f) gain_ = 1.0f;
        if (peak * gain_ > 1.0f) gain_ = 1.0f / peak;
        if (gain_ == 1.0f) continue;
        for (int i = 0; i < 2 * count; ++i) block[i] *= gain_;
    }
}

}  // namespace vx::audio
