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
#include "platform/audio/sequencer_command.h"
#include "platform/audio/sound_font.h"

namespace vx::audio {

namespace {

constexpr std::uintmax_t kLargestMidiFile = 16u << 20;
constexpr int kLoaderNice = 10;  // the SoundFont loader thread's niceness
// A synchronous effect waits at most this much past its own length, should the
// device stall; the game must never hang on a sound.
constexpr auto kWaitMargin = std::chrono::milliseconds(1000);

}  // namespace

// Holds the device lock (or the offline mutex), so the callback never sees a half-made
// change to the voice or the synth.
class AudioSystem::Lock {
  public:
    explicit Lock(AudioSystem& audio) : audio_(audio) {
        if (audio_.device_ != 0)
            SDL_LockAudioDevice(audio_.device_);
        else
            audio_.offlineMutex_.lock();
    }
    ~Lock() {
        if (audio_.device_ != 0)
            SDL_UnlockAudioDevice(audio_.device_);
        else
            audio_.offlineMutex_.unlock();
    }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

  private:
    AudioSystem& audio_;
};

AudioSystem::AudioSystem(AudioOptions options)
    : options_(std::move(options)),
      reporter_(options_.errors != nullptr ? *options_.errors : std::cerr),
      waves_(options_.sampleRate, reporter_) {
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
        return;
    }
    deviceFrames_ = have.samples;
    SDL_PauseAudioDevice(device_, 0);
    if (options_.loadMusicEarly) StartLoadingSynth();
}

AudioSystem::~AudioSystem() {
    if (loadingSynth_.valid()) loadingSynth_.wait();
    if (device_ != 0) SDL_CloseAudioDevice(device_);
    device_ = 0;
    mixer_.SetMusic(nullptr);
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
    }
    if (!waitToEnd || device_ == 0) return;
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
    std::optional<std::filesystem::path> font =
        options_.soundFont ? options_.soundFont : FindGeneralMidiSoundFont();
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
    Lock lock(*this);
    music_ = std::move(synth);
    mixer_.SetMusic(music_.get());
    return true;
}

void AudioSystem::OpenFile(const std::string& path) {
    // Whatever was open under the alias goes first, even when the new file fails.
    if (music_) {
        Lock lock(*this);
        music_->Close();
    }
    auto refuse = [&](const std::string& why) {
        reporter_.Report("midi:" + path, "cannot open music " + path + " (" + why + "); it stays silent");
    };
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec) return refuse("no such file");
    if (size > kLargestMidiFile) return refuse("file too large");
    std::ifstream in(path, std::ios::binary);
    std::vector<uint8_t> bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (!in && !in.eof()) return refuse("cannot read it");
    std::string error;
    const std::optional<MidiFileInfo> info = ReadMidiFileInfo(bytes, error);
    if (!info) return refuse(error);
    if (!EnsureSynth()) return;
    Lock lock(*this);
    music_->Open(std::move(bytes), *info);
}

std::string AudioSystem::SendCommand(std::string_view text) {
    if (!Active()) return {};
    const SequencerCommand command = ParseSequencerCommand(text);
    using Kind = SequencerCommand::Kind;
    if (command.kind == Kind::Open) {
        OpenFile(command.path);
        return {};
    }
    if (!music_) return {};
    Lock lock(*this);
    // Like a device with nothing under its alias: every command fails and answers nothing.
    if (!music_->IsOpen()) return {};
    switch (command.kind) {
        case Kind::Play: music_->Play(command.from); break;
        case Kind::Stop: music_->Stop(); break;
        case Kind::Close: music_->Close(); break;
        case Kind::StatusPosition: return std::to_string(music_->Position());
        case Kind::StatusLength: return std::to_string(music_->Length());
        default: break;
    }
    return {};
}

}  // namespace vx::audio
