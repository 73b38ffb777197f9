// The one mixing routine: the effect voice (one effect at a time; a new one cuts the
// old) plus the music, into interleaved stereo float. The audio callback calls
// it, and so do tests and benchmarks that render offline.
#pragma once

#include <atomic>
#include <cstdint>
#include <memory>

#include "platform/audio/wave_cache.h"

namespace vx::audio {

class TunePlayer;

class AudioMixer {
  public:
    // The calls below are serialised with Mix by the owner (the device lock).
    // Returns a serial that EffectDone() takes.
    uint64_t StartEffect(std::shared_ptr<const EffectSamples> samples);
    void SetMusic(TunePlayer* music) { music_ = music; }

    // True once the effect of that serial has played out or been cut; safe from any thread.
    bool EffectDone(uint64_t serial) const { return playingSerial_.load() != serial; }

    void Mix(float* stereo, int frames);
    // Nothing to mix: no effect playing and no music.
    bool Quiet() const;

    // When the first samples of the latest effect were mixed (steady clock, ns; 0 before
    // any): the effect's start latency is this minus the call, plus one device buffer.
    int64_t LastEffectMixedAtNs() const { return effectMixedAtNs_.load(); }

  private:
    void Limit(float* stereo, int frames);

    std::shared_ptr<const EffectSamples> effect_;
    size_t effectAt_ = 0;  // in floats
    uint64_t lastSerial_ = 0;
    std::atomic<uint64_t> playingSerial_{0};
    std::atomic<int64_t> effectMixedAtNs_{0};
    TunePlayer* music_ = nullptr;
    float gain_ = 1.0f;  // limiter gain, below 1 only while the sum would clip
};

}  // namespace vx::audio
