#include "platform/audio/tune_player.h"

#include <algorithm>
#include <cstring>

#include "platform/audio/music_synth.h"

namespace vx::audio {

void TunePlayer::PlayLive(MusicSynth* synth, uint64_t key) {
    Stop();
    synth_ = synth;
    liveKey_ = key;
    source_ = MusicSource::kLive;
}

void TunePlayer::PlayRendered(std::shared_ptr<const RenderedTune> tune) {
    Stop();
    tune_ = std::move(tune);
    if (tune_) source_ = MusicSource::kRendered;
}

void TunePlayer::Offer(uint64_t key, std::shared_ptr<const RenderedTune> tune) {
    if (source_ == MusicSource::kLive && key == liveKey_) offered_ = std::move(tune);
}

void TunePlayer::Stop() {
    if (source_ == MusicSource::kLive && synth_ != nullptr) synth_->Stop();
    source_ = MusicSource::kNone;
    synth_ = nullptr;
    offered_.reset();
    tune_.reset();
    at_ = passes_ = 0;
}

void TunePlayer::SwitchToRendered(int64_t framesIntoPass, int64_t passesDone) {
    std::shared_ptr<const RenderedTune> tune = std::move(offered_);
    Stop();
    tune_ = std::move(tune);
    at_ = framesIntoPass;
    passes_ = passesDone;
    source_ = MusicSource::kRendered;
}

void TunePlayer::Render(float* stereo, int frames) {
    if (source_ == MusicSource::kLive && offered_) {
        if (synth_->PassesDone() == 0) {
            SwitchToRendered(synth_->FramesIntoPass(), 0);
        } else {
            // Later passes of the synthesizer carry the earlier ones' tails and start on
            // its block boundaries; the render takes over where a pass begins.
            const int64_t toNextPass = offered_->passFrames - synth_->FramesIntoPass();
            if (toNextPass < frames) {
                const int live = static_cast<int>(toNextPass);
                synth_->Render(stereo, live);
                SwitchToRendered(0, 1);
                RenderRendered(stereo + 2 * static_cast<ptrdiff_t>(live), frames - live);
                return;
            }
        }
    }
    switch (source_) {
        case MusicSource::kLive: synth_->Render(stereo, frames); break;
        case MusicSource::kRendered: RenderRendered(stereo, frames); break;
        case MusicSource::kNone:
            std::memset(stereo, 0, sizeof(float) * 2 * static_cast<size_t>(frames));
            break;
    }
}

void TunePlayer::RenderRendered(float* stereo, int frames) {
    const RenderedTune& tune = *tune_;
    const int64_t pass = tune.passFrames;
    for (int done = 0; done < frames;) {
        const int count = static_cast<int>(std::min<int64_t>(frames - done, pass - at_));
        float* out = stereo + 2 * static_cast<ptrdiff_t>(done);
        const int16_t* body = tune.samples.data() + 2 * at_;
        for (int i = 0; i < 2 * count; ++i) out[i] = static_cast<float>(body[i]) * (1.0f / 32767.0f);
        // The tails of the passes before, as far as they still reach.
        for (int64_t back = 1; back <= passes_; ++back) {
            const int64_t tailAt = (back - 1) * pass + at_;
            if (tailAt >= tune.tailFrames) break;
            const int64_t n = std::min<int64_t>(count, tune.tailFrames - tailAt);
            const int16_t* tail = tune.samples.data() + 2 * (pass + tailAt);
            for (int64_t i = 0; i < 2 * n; ++i) out[i] += static_cast<float>(tail[i]) * (1.0f / 32767.0f);
        }
        done += count;
        at_ += count;
        if (at_ == pass) {
            at_ = 0;
            passes_ = std::min(passes_ + 1, tune.tailFrames / pass + 1);
        }
    }
}

}  // namespace vx::audio
