#include "platform/audio/audio_system.h"

#include <SDL.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <fstream>
#include <iterator>
#include <thread>

#include "platform/audio/midi_file.h"
#include "platform/audio/music_synth.h"
#include "platform/audio/rendered_tune.h"
#include "platform/audio/sound_font.h"

namespace vx::audio {

namespace {

constexpr std::uintmax_t kLargestMidiFile = 16u << 20;
constexpr int kLoaderNice = 10;  // the SoundFont loader's and the renderer's niceness
// A synchronous effect waits at most this much past its own length, should the
// device stall; the game must never hang on a sound.
constexpr auto kWaitMargin = std::chrono::milliseconds(1000);

}  // namespace

// Holds our device mutex and, while the device is open, SDL's device lock: the callback
// never sees a half-made change to the voice or the synth, and the device neither rests
// nor wakes in the middle of one.
class AudioSystem::Lock {
  public:
    explicit Lock(AudioSystem& audio) : audio_(audio) {
        audio_.deviceMutex_.lock();
        device_ = audio_.device_;
        if (device_ != 0) SDL_LockAudioDevice(device_);
    }
    ~Lock() {
        if (device_ != 0) SDL_UnlockAudioDevice(device_);
        audio_.deviceMutex_.unlock();
    }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

  private:
    AudioSystem& audio_;
    uint32_t device_ = 0;
};

AudioSystem::AudioSystem(AudioOptions options)
    : options_(std::move(options)),
      reporter_(options_.errors != nullptr ? *options_.errors : std::cerr),
      waves_(options_.sampleRate, reporter_),
      soundFont_(options_.soundFont ? options_.soundFont : FindGeneralMidiSoundFont()),
      soundFontIdentity_(soundFont_ ? SoundFontIdentity(*soundFont_) : std::string()),
      cache_(options_.tuneCache ? *options_.tuneCache : DefaultTuneCacheFolder()) {
    mixer_.SetMusic(&player_);
    if (!options_.openDevice) {
        if (options_.loadMusicEarly) StartLoadingSynth();
        return;
    }
    // SDL must not take over SIGINT and SIGTERM: Ctrl+C or a kill still ends the game.
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        reporter_.Report("device",
                         std::string("no audio (") + SDL_GetError() + "); the game goes on without sound");
        return;
    }
    sdlStarted_ = true;
    if (!OpenDevice()) return;
    haveDevice_ = true;
    keeper_ = std::jthread([this](std::stop_token stop) { KeepDevice(std::move(stop)); });
    if (options_.loadMusicEarly) StartLoadingSynth();
}

bool AudioSystem::OpenDevice() {
    SDL_AudioSpec want{};
    want.freq = options_.sampleRate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = static_cast<Uint16>(options_.bufferFrames);
    want.callback = [](void* self, Uint8* stream, int bytes) { Callback(self, stream, bytes); };
    want.userdata = this;
    SDL_AudioSpec have{};
    // No allowed changes: SDL converts to the hardware's format, and the mixer and the
    // decoded effects keep one format.
    device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (device_ == 0) {
        reporter_.Report("device", std::string("no audio device (") + SDL_GetError() +
                                       "); the game goes on without sound");
        return false;
    }
    deviceFrames_ = have.samples;
    SDL_PauseAudioDevice(device_, 0);
    return true;
}

void AudioSystem::WakeDevice() {
    if (device_ != 0 || !haveDevice_) return;
    wakeDevice_ = true;
    deviceWanted_.notify_one();
}

bool AudioSystem::DeviceResting() {
    std::lock_guard lock(deviceMutex_);
    return haveDevice_ && device_ == 0;
}

void AudioSystem::KeepDevice(std::stop_token stop) {
    const auto check = std::max(options_.restAfter / 4, std::chrono::milliseconds(1));
    std::unique_lock lock(deviceMutex_);
    int quietChecks = 0;
    while (!stop.stop_requested()) {
        if (device_ == 0) {
            // Resting: nothing wakes this thread but a sound.
            if (!deviceWanted_.wait(lock, stop, [this] { return wakeDevice_; })) break;
            wakeDevice_ = false;
            quietChecks = 0;
            OpenDevice();  // a device gone since start leaves the game silent, said once
            continue;
        }
        deviceWanted_.wait_for(lock, stop, check, [] { return false; });
        if (stop.stop_requested()) break;
        SDL_LockAudioDevice(device_);
        const bool quiet = mixer_.Quiet();
        SDL_UnlockAudioDevice(device_);
        quietChecks = quiet ? quietChecks + 1 : 0;
        if (quietChecks >= 4) {
            SDL_CloseAudioDevice(device_);
            device_ = 0;
        }
    }
}

AudioSystem::~AudioSystem() {
    if (keeper_.joinable()) {
        keeper_.request_stop();
        keeper_.join();
    }
    // A render under way gives up at its next block.
    if (renderer_.joinable()) {
        renderer_.request_stop();
        renderer_.join();
    }
    if (loadingSynth_.valid()) loadingSynth_.wait();
    if (device_ != 0) SDL_CloseAudioDevice(device_);
    device_ = 0;
    mixer_.SetMusic(nullptr);
    player_.Stop();
    music_.reset();
    if (sdlStarted_) SDL_QuitSubSystem(SDL_INIT_AUDIO);
}

void AudioSystem::Callback(void* self, uint8_t* stream, int bytes) {
    auto* audio = static_cast<AudioSystem*>(self);
    audio->mixer_.Mix(reinterpret_cast<float*>(stream), bytes / static_cast<int>(2 * sizeof(float)));
}

void AudioSystem::Render(float* stereo, int frames) {
    Lock lock(*this);
    mixer_.Mix(stereo, frames);
}

void AudioSystem::Preload(const std::filesystem::path& path) {
    if (Active()) waves_.Get(path);
}

void AudioSystem::PlayWave(const std::filesystem::path& path, bool waitToEnd) {
    if (!Active()) return;
    std::shared_ptr<const EffectSamples> samples = waves_.Get(path);
    if (!samples) return;
    uint64_t serial = 0;
    {
        Lock lock(*this);
        serial = mixer_.StartEffect(samples);
        WakeDevice();
    }
    if (!waitToEnd || !haveDevice_) return;
    const auto start = std::chrono::steady_clock::now();
    const auto length = std::chrono::microseconds(static_cast<int64_t>(samples->size() / 2) * 1'000'000 /
                                                  options_.sampleRate);
    const auto deadline = start + length + kWaitMargin;
    while (!mixer_.EffectDone(serial) && std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    if (!mixer_.EffectDone(serial)) return;
    // Its last samples went into a buffer that has yet to be heard; and no effect ends
    // sooner than its own length, however fast a driver asks for data.
    const auto buffer = std::chrono::microseconds(int64_t{deviceFrames_} * 1'000'000 / options_.sampleRate);
    std::this_thread::sleep_until(std::max(std::chrono::steady_clock::now() + buffer, start + length));
}

void AudioSystem::StartLoadingSynth() {
    std::optional<std::filesystem::path> font = soundFont_;
    const int rate = options_.sampleRate;
    // Loading a SoundFont takes a few hundred milliseconds; it runs beside the rest of
    // start-up and outside the device lock, so neither the window nor the effects wait.
    // At a lower priority: on a busy machine the window's first picture comes first.
    loadingSynth_ =
        std::async(std::launch::async, [font = std::move(font), rate]() -> std::unique_ptr<MusicSynth> {
            setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), kLoaderNice);
            if (!font) return nullptr;
            return std::make_unique<MusicSynth>(rate, *font);
        });
}

bool AudioSystem::MusicReady() const {
    return synthTried_ || !loadingSynth_.valid() ||
           loadingSynth_.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

bool AudioSystem::EnsureSynth() {
    if (synthTried_) return music_ != nullptr;
    synthTried_ = true;
    if (!loadingSynth_.valid()) StartLoadingSynth();
    std::unique_ptr<MusicSynth> synth = loadingSynth_.get();
    if (!synth) {
        reporter_.Report("soundfont",
                         "no General MIDI SoundFont found (install timgm6mb-soundfont); music stays silent");
        return false;
    }
    if (!synth->Ready()) {
        reporter_.Report("soundfont", synth->error() + "; music stays silent");
        return false;
    }
    music_ = std::move(synth);
    return true;
}

void AudioSystem::PlayLooping(const std::filesystem::path& midiFile) {
    if (!Active()) return;
    // Whatever played goes first, even when the new file fails.
    Stop();
    const std::string path = midiFile.string();
    auto refuse = [&](const std::string& why) {
        reporter_.Report("midi:" + path, "cannot open music " + path + " (" + why + "); it stays silent");
    };
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(midiFile, ec);
    if (ec) return refuse("no such file");
    if (size > kLargestMidiFile) return refuse("file too large");
    std::ifstream in(midiFile, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) return refuse("cannot read it");
    std::string error;
    const std::optional<MidiFileInfo> info = ReadMidiFileInfo(bytes, error);
    if (!info) return refuse(error);

    const int rate = options_.sampleRate;
    const int64_t passFrames = LengthFrames(*info, rate);
    const bool rendered =
        options_.renderTunes && soundFont_ && passFrames > 0 && passFrames <= kLongestRenderedSeconds * rate;
    const uint64_t key = soundFont_ ? TuneKey(bytes, soundFontIdentity_, rate) : 0;
    const std::string name = midiFile.stem().string();
    if (rendered) {
        if (std::shared_ptr<const RenderedTune> tune = FindRendered(name, key)) {
            Lock lock(*this);
            player_.PlayRendered(std::move(tune));
            WakeDevice();
            return;
        }
    }
    if (!EnsureSynth()) return;
    {
        Lock lock(*this);
        music_->Play(bytes, passFrames);
        player_.PlayLive(music_.get(), key);
        WakeDevice();
    }
    if (rendered) QueueRender({key, name, std::move(bytes), passFrames});
}

void AudioSystem::Stop() {
    if (!Active()) return;
    Lock lock(*this);
    player_.Stop();
}

MusicSource AudioSystem::PlayingFrom() {
    Lock lock(*this);
    return player_.Source();
}

std::shared_ptr<const RenderedTune> AudioSystem::FindRendered(const std::string& name, uint64_t key) {
    {
        std::lock_guard lock(renderMutex_);
        if (const auto it = rendered_.find(name); it != rendered_.end() && it->second.first == key)
            return it->second.second;
    }
    std::shared_ptr<const RenderedTune> tune = cache_.Load(name, key, options_.sampleRate);
    if (tune) {
        std::lock_guard lock(renderMutex_);
        rendered_[name] = {key, tune};
    }
    return tune;
}

void AudioSystem::QueueRender(RenderJob job) {
    std::lock_guard lock(renderMutex_);
    if (!unfinished_.insert(job.key).second) return;  // on its way already
    jobs_.push_back(std::move(job));
    if (!renderer_.joinable()) renderer_ = std::jthread([this](std::stop_token stop) { RenderQueued(stop); });
    renderChanged_.notify_all();
}

// The render thread: one tune after another through its own synth (the live one belongs
// to the callback), at a lower priority than the game. Each render goes to the cache
// file and is played from there; if the file cannot be written, from memory.
void AudioSystem::RenderQueued(std::stop_token stop) {
    setpriority(PRIO_PROCESS, static_cast<id_t>(syscall(SYS_gettid)), kLoaderNice);
    const int rate = options_.sampleRate;
    std::unique_ptr<MusicSynth> synth;
    for (;;) {
        RenderJob job;
        {
            std::unique_lock lock(renderMutex_);
            if (jobs_.empty()) synth.reset();  // its SoundFont is not needed until the next tune
            if (!renderChanged_.wait(lock, stop, [&] { return !jobs_.empty(); })) return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        if (!synth) synth = std::make_unique<MusicSynth>(rate, *soundFont_);
        std::shared_ptr<const RenderedTune> tune = RenderTune(
            *synth, rate, std::move(job.bytes), job.passFrames, [&] { return stop.stop_requested(); });
        if (tune) {
            std::string error;
            if (cache_.Store(job.name, job.key, rate, *tune, error)) {
                if (std::shared_ptr<const RenderedTune> mapped = cache_.Load(job.name, job.key, rate))
                    tune = std::move(mapped);
            } else if (!cache_.Folder().empty()) {
                reporter_.Report("tune cache", "cannot keep rendered music in " + cache_.Folder().string() +
                                                   " (" + error +
                                                   "); it is rendered again at the next start");
            }
            {
                std::lock_guard lock(renderMutex_);
                rendered_[job.name] = {job.key, tune};
            }
            Lock lock(*this);
            player_.Offer(job.key, tune);
        }
        std::lock_guard lock(renderMutex_);
        unfinished_.erase(job.key);
        renderChanged_.notify_all();
        if (stop.stop_requested()) return;
    }
}

bool AudioSystem::WaitForRenders(std::chrono::milliseconds timeout) {
    std::unique_lock lock(renderMutex_);
    return renderChanged_.wait_for(lock, timeout, [&] { return unfinished_.empty(); });
}

}  // namespace vx::audio
