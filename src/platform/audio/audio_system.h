// The game's sound output: one SDL audio device, opened once, that plays the effect
// voice and the MIDI music mixed in one callback. It is both the WavePlayer behind
// PlayEffect and the Sequencer behind the music.
//
// Music costs next to nothing while it plays: each tune is rendered once with FluidSynth
// on a background thread and kept in a cache file (tune_cache.h), and the callback only
// copies from it. A tune that has no render yet plays from the live synthesizer while
// its render runs, and moves over to the render when that is done.
//
// A device with nothing to play rests: after `restAfter` of silence (no music, no effect)
// it is closed, so a paused game or a silent title wakes no thread at all; the next sound
// opens it again on a thread of its own.
//
// Construct it once at start-up. Without an audio device, a SoundFont, or a readable
// file the game goes on silent for that sound; each failure is one line on standard
// error the first time, and nothing ever blocks or throws.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <filesystem>
#include <future>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/audio/audio_mixer.h"
#include "platform/audio/once_reporter.h"
#include "platform/audio/tune_cache.h"
#include "platform/audio/tune_player.h"
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
    // Start loading the SoundFont at construction rather than when a tune first needs it.
    bool loadMusicEarly = true;
    // Where rendered tunes are kept; unset: DefaultTuneCacheFolder(). A folder that
    // cannot be written (or an empty path) leaves the renders in memory for this run.
    std::optional<std::filesystem::path> tuneCache;
    // false: every tune plays from the live synthesizer and nothing is rendered.
    bool renderTunes = true;
    // Silence this long closes the device until the next sound (checked a quarter of it
    // at a time). Long enough that sounds of a menu or a match come from an open device.
    std::chrono::milliseconds restAfter{3000};
};

class AudioSystem final : public WavePlayer, public Sequencer {
  public:
    explicit AudioSystem(AudioOptions options = {});
    ~AudioSystem() override;
    AudioSystem(const AudioSystem&) = delete;
    AudioSystem& operator=(const AudioSystem&) = delete;

    // True when the device opened at start (resting or not); false after a failed open
    // (and offline).
    bool HasDevice() const { return haveDevice_; }
    // The device is closed for the silence; the next sound opens it.
    bool DeviceResting();
    // Frames per callback buffer of the open device (0 without one).
    int DeviceBufferFrames() const { return deviceFrames_; }

    void PlayWave(const std::filesystem::path& path, bool waitToEnd) override;
    void PlayLooping(const std::filesystem::path& midiFile) override;
    void Stop() override;

    // True when starting music would not wait for the SoundFont: it has loaded (or failed),
    // or no load is under way.
    bool MusicReady() const;
    // What the music plays from now (tests and benchmarks).
    MusicSource PlayingFrom();
    // Waits until no render is under way or waiting; false if that took longer than
    // `timeout` (tests and benchmarks).
    bool WaitForRenders(std::chrono::milliseconds timeout);

    // Decodes an effect ahead of its first use, so that even the first play starts at once.
    void Preload(const std::filesystem::path& path);

    // Mixes `frames` interleaved stereo float frames exactly as the device callback does.
    // Meant for offline use; with a device open it competes with the callback.
    void Render(float* stereo, int frames);

    // For measuring effect start latency (see AudioMixer::LastEffectMixedAtNs).
    int64_t LastEffectMixedAtNs() const { return mixer_.LastEffectMixedAtNs(); }

  private:
    class Lock;
    struct RenderJob {
        uint64_t key;
        std::string name;
        std::vector<uint8_t> bytes;
        int64_t passFrames;
    };
    static void Callback(void* self, uint8_t* stream, int bytes);
    bool Active() const { return haveDevice_ || !options_.openDevice; }
    bool OpenDevice();
    // Under the device lock: a resting device is woken for the sound just queued.
    void WakeDevice();
    // The thread that closes a silent device and opens it again for the next sound.
    void KeepDevice(std::stop_token stop);
    void StartLoadingSynth();
    bool EnsureSynth();
    std::shared_ptr<const RenderedTune> FindRendered(const std::string& name, uint64_t key);
    void QueueRender(RenderJob job);
    void RenderQueued(std::stop_token stop);

    AudioOptions options_;
    OnceReporter reporter_;
    WaveCache waves_;
    AudioMixer mixer_;
    TunePlayer player_;
    std::optional<std::filesystem::path> soundFont_;
    std::string soundFontIdentity_;
    TuneCache cache_;
    std::future<std::unique_ptr<MusicSynth>> loadingSynth_;
    std::unique_ptr<MusicSynth> music_;
    bool synthTried_ = false;
    // device_ changes (rest, wake) only under deviceMutex_, which every Lock holds; the
    // callback runs only while device_ is open and never takes it.
    std::mutex deviceMutex_;
    std::condition_variable_any deviceWanted_;
    bool wakeDevice_ = false;
    uint32_t device_ = 0;
    bool haveDevice_ = false;
    int deviceFrames_ = 0;
    bool sdlStarted_ = false;
    std::jthread keeper_;

    // The renders: a queue that one thread works through, and this run's renders by
    // tune name (the latest key of each).
    std::mutex renderMutex_;
    std::condition_variable_any renderChanged_;
    std::deque<RenderJob> jobs_;
    std::set<uint64_t> unfinished_;  // keys queued or under way
    std::map<std::string, std::pair<uint64_t, std::shared_ptr<const RenderedTune>>> rendered_;
    std::jthread renderer_;
};

}  // namespace vx::audio
