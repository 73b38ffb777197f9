// The music as the mixer takes it: nothing, the live synthesizer, or a rendered tune
// looped at its pass length with each pass's tail added over the start of the next.
// A render that arrives while the synthesizer plays the same tune takes over where it
// stands during the first pass (where the two are the same sample for sample), else
// at the start of the next pass. Not thread-safe: every call holds the device lock.
#pragma once

#include <cstdint>
#include <memory>

#include "platform/audio/rendered_tune.h"

namespace vx::audio {

class MusicSynth;

enum class MusicSource : uint8_t { kNone, kLive, kRendered };

class TunePlayer {
  public:
    // `synth` plays already (MusicSynth::Play); `key` names its tune for Offer.
    void PlayLive(MusicSynth* synth, uint64_t key);
    // From the start of the first pass.
    void PlayRendered(std::shared_ptr<const RenderedTune> tune);
    // The render of tune `key`; ignored unless that tune plays live.
    void Offer(uint64_t key, std::shared_ptr<const RenderedTune> tune);
    void Stop();

    MusicSource Source() const { return source_; }

    // Writes `frames` interleaved stereo float frames of music (silence without any).
    void Render(float* stereo, int frames);

  private:
    void SwitchToRendered(int64_t framesIntoPass, int64_t passesDone);
    void RenderRendered(float* stereo, int frames);

    MusicSource source_ = MusicSource::kNone;
    MusicSynth* synth_ = nullptr;
    uint64_t liveKey_ = 0;
    std::shared_ptr<const RenderedTune> offered_;
    std::shared_ptr<const RenderedTune> tune_;
    int64_t at_ = 0;      // frames into the current pass
    int64_t passes_ = 0;  // passes finished, at most as many as have tails still sounding
};

}  // namespace vx::audio
