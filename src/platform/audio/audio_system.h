// The game's sound output: one SDL audio device, opened once, that plays the effect
// voice and the MIDI music mixed in one callback. It is both the WavePlayer behind
// PlayEffect and the Sequencer behind the "midifile" commands.
//
// Construct it once at start-up. Without an audio device, a SoundFont, or a readable
// file the game goes on silent for that sound; each failure is one line on standard
// error the first time, and nothing ever blocks or throws.
#pragma once

#include <cstdint>
#include <filesystem>
#include <future>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "platform/audio/audio_mixer.h"
#include "platform/audio/once_reporter.h"
#include "platform/audio/wave_cache.h"
#include "platform/sequencer.h"
#include "platform/wave_player.h"

namespace vx::audio {

class MusicSynth;

struct AudioOptions {
    // false: no SDL device; Render() drives the mixer (tests, benchmarks). A synchronous
    // effect then returns at once, as nothing would ever play it out.
    bool openDevice = true;
    // Frames per device buffer: the delay before an effect starts is about one buffer.
    int bufferFrames = 512;
    int sampleRate = 44100;
    // Empty: the system's General MIDI SoundFont (FindGeneralMidiSoundFont).
    std::optional<std::filesystem::path> soundFont;
    std::ostream* errors = nullptr;  // null: standard error
    // Start loading the SoundFont at construction rather than at the first "open".
    bool loadMusicEarly = true;
};

class AudioSystem final : public WavePlayer, public Sequencer {
  public:
    explicit AudioSystem(AudioOptions options = {});
    ~AudioSystem() override;
    AudioSystem(const AudioSystem&) = delete;
    AudioSystem& operator=(const AudioSystem&) = delete;

    // True while a device plays; false after a failed open (and offline).
    bool HasDevice() const { return device_ != 0; }
    // Frames per callback buffer of the open device (0 without one).
    int DeviceBufferFrames() const { return deviceFrames_; }

    void PlayWave(const std::filesystem::path& path, bool waitToEnd) override;
    std::string SendCommand(std::string_view command) override;

    // True when opening music would not wait for the SoundFont: it has loaded (or failed),
    // or no load is under way.
    bool MusicReady() const;

    // Decodes an effect ahead of its first use, so that even the first play starts at once.
    void Preload(const std::filesystem::path& path);

    // Mixes `frames` interleaved stereo float frames exactly as the device callback does.
    // Meant for offline use; with a device open it competes with the callback.
    void Render(float* stereo, int frames);

    // For measuring effect start latency (see AudioMixer::LastEffectMixedAtNs).
    int64_t LastEffectMixedAtNs() const { return mixer_.LastEffectMixedAtNs(); }

  private:
    class Lock;
    static void Callback(void* self, uint8_t* stream, int bytes);
    bool Active() const { return device_ != 0 || !options_.openDevice; }
    void StartLoadingSynth();
    bool EnsureSynth();
    void OpenFile(const std::string& path);

    AudioOptions options_;
    OnceReporter reporter_;
    WaveCache waves_;
    AudioMixer mixer_;
    std::future<std::unique_ptr<MusicSynth>> loadingSynth_;
    std::unique_ptr<MusicSynth> music_;
    bool synthTried_ = false;
    uint32_t device_ = 0;
    int deviceFrames_ = 0;
    bool sdlStarted_ = false;
    std::mutex offlineMutex_;  // stands in for the device lock when there is no device
};

}  // namespace vx::audio
