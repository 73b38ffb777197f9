// The sound the game is wired to from its start, while the audio device and the
// SoundFont open only after the title's first paint: silent until Start(), then the
// real AudioSystem behind the same two interfaces.
#pragma once

#include <filesystem>
#include <optional>

#include "platform/audio/audio_system.h"

namespace vx::audio {

class DeferredAudio final : public WavePlayer, public Sequencer {
  public:
    // Opens the device and starts loading the SoundFont; later calls do nothing.
    void Start() {
        if (!audio_) audio_.emplace();
    }
    bool MusicReady() const { return audio_ && audio_->MusicReady(); }

    void PlayWave(const std::filesystem::path& path, bool waitToEnd) override {
        if (audio_) audio_->PlayWave(path, waitToEnd);
    }
    void PlayLooping(const std::filesystem::path& midiFile) override {
        if (audio_) audio_->PlayLooping(midiFile);
    }
    void Stop() override {
        if (audio_) audio_->Stop();
    }

  private:
    std::optional<AudioSystem> audio_;
};

}  // namespace vx::audio
