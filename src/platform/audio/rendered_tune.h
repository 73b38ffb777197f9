// A tune rendered ahead of time: one pass of it as 16-bit stereo frames, and what still
// sounds after the pass ends (the last notes' release and the reverb), which a loop adds
// over the start of the next pass. Playing it costs a copy, where the synthesizer costs
// a voice computation per note per frame.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <vector>

namespace vx::audio {

class MusicSynth;

struct RenderedTune {
    RenderedTune() = default;
    RenderedTune(const RenderedTune&) = delete;  // `samples` may point into `owned`
    RenderedTune& operator=(const RenderedTune&) = delete;

    int64_t passFrames = 0;
    int64_t tailFrames = 0;
    // passFrames + tailFrames interleaved stereo frames, full scale 32767. They live in
    // `owned` or in a mapped cache file that `keep` holds open.
    std::span<const int16_t> samples;
    std::vector<int16_t> owned;
    std::shared_ptr<const void> keep;
};

// At most this long a tail; a synth whose reverb never falls silent is cut there.
constexpr int64_t kLongestTailSeconds = 10;
// Longer tunes are not rendered (they would take too much memory and disk); they play
// from the synthesizer.
constexpr int64_t kLongestRenderedSeconds = 20 * 60;

// Plays the file through `synth` for one pass of passFrames (with Play, so the render
// and the live synthesizer start alike), then releases it and renders until silence.
// Null when `stopped` says to give up (checked between blocks) or the synth fails.
std::shared_ptr<RenderedTune> RenderTune(MusicSynth& synth, int sampleRate, std::vector<uint8_t> bytes,
                                         int64_t passFrames, const std::function<bool()>& stopped);

// Float to the stored sample: rounded, clipped at full scale.
int16_t ToSample(float value);

}  // namespace vx::audio
