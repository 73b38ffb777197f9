// The cost of the sound back-end: the share of one core that playing music takes (offline
// mixing, and the whole device path with SDL's callback thread), and how long after
// PlayWave an effect's first samples are mixed.
#include <benchmark/benchmark.h>
#include <sys/resource.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <random>
#include <thread>

#include "platform/audio/audio_system.h"
#include "support/files.h"
#include "support/sound_files.h"

namespace vx::audio {
namespace {

namespace fs = std::filesystem;
constexpr int kRate = 44100;

// Sixteen seconds in the manner of game music: a piano melody in eighths, a bass line,
// a sustained three-note string pad and a drum kit, at 120 beats a minute.
testing::MidiTune BusyTune() {
    testing::MidiTune tune;
    tune.program = 0;                    // piano melody, channel 0
    tune.programs = {{1, 33}, {2, 48}};  // finger bass, strings
    const uint8_t scale[] = {60, 62, 64, 67, 69, 72, 69, 67};
    for (uint32_t bar = 0; bar < 8; ++bar) {
        const uint32_t at = bar * 1920;
        const uint8_t root = static_cast<uint8_t>(48 + (bar % 4) * 2);
        for (uint32_t e = 0; e < 8; ++e)
            tune.notes.push_back({at + e * 240, 220, scale[(e + bar) % 8], 96, 0});
        for (uint32_t q = 0; q < 4; ++q)
            tune.notes.push_back({at + q * 480, 440, static_cast<uint8_t>(root - 12), 110, 1});
        for (uint8_t step : {0, 4, 7})
            tune.notes.push_back({at, 1900, static_cast<uint8_t>(root + step), 70, 2});
        for (uint32_t e = 0; e < 8; ++e) {
            tune.notes.push_back({at + e * 240, 120, 42, 80, 9});                   // hi-hat
            if (e % 4 == 0) tune.notes.push_back({at + e * 240, 120, 36, 110, 9});  // kick
            if (e % 4 == 2) tune.notes.push_back({at + e * 240, 120, 38, 100, 9});  // snare
        }
    }
    tune.endTick = 8 * 1920;
    return tune;
}

// A tune and an effect in a private folder with a blank in its name, removed afterwards.
struct Files {
    fs::path folder = fs::temp_directory_path() / ("voltrax audio bench " + std::to_string(::getpid()));
    fs::path tune = folder / "bgm1.mid";
    fs::path wave = folder / "wave1.wav";
    Files() {
        testing::WriteBytes(tune, testing::MakeMidiFile(BusyTune()));
        testing::WriteBytes(wave, testing::MakeWave(22050, 1, testing::SquareWave(22050 / 4, 1, 12000)));
    }
    ~Files() {
        std::error_code ec;
        fs::remove_all(folder, ec);
    }
};

void StartMusic(AudioSystem& audio, const fs::path& tune) {
    audio.SendCommand("open " + tune.string() + " type sequencer alias midifile");
    audio.SendCommand("play midifile from 0");
}

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + 1e-9 * double(now.tv_nsec);
}

// Mixing alone, offline: CPU seconds per second of music is the share of one core.
void BM_MusicMixOffline(benchmark::State& state) {
    Files files;
    AudioOptions options;
    options.openDevice = false;
    AudioSystem audio(options);
    StartMusic(audio, files.tune);
    std::vector<float> block(2 * 512);
    int64_t frames = 0;
    const double cpu0 = ThreadCpuSeconds();
    for (auto _ : state) {
        audio.Render(block.data(), 512);
        frames += 512;
        if (frames > int64_t{15} * kRate) {  // stay inside the tune
            audio.SendCommand("play midifile from 0");
            frames = 0;
        }
        benchmark::DoNotOptimize(block.data());
    }
    const double audioSeconds = double(state.iterations()) * 512 / kRate;
    state.counters["core_share_pct"] = 100.0 * (ThreadCpuSeconds() - cpu0) / audioSeconds;
}
BENCHMARK(BM_MusicMixOffline)->Unit(benchmark::kMicrosecond);

double ProcessCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           1e-6 * double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

// The whole path on a device: the process's CPU time while music plays for five seconds
// (the callback thread, FluidSynth, SDL's conversion to the device format); with Arg 1
// also the polling of a 1 ms timer, as the window's Timer1 will do.
void BM_MusicOnDevice(benchmark::State& state) {
    Files files;
    AudioSystem audio;
    if (!audio.HasDevice()) {
        state.SkipWithError("no audio device (run with SDL_AUDIODRIVER=dummy)");
        return;
    }
    StartMusic(audio, files.tune);
    double share = 0;
    for (auto _ : state) {
        const double cpu0 = ProcessCpuSeconds();
        const auto wall0 = std::chrono::steady_clock::now();
        // Arg 1 adds the game's Timer1: two status queries a millisecond, a restart at the end.
        while (std::chrono::steady_clock::now() - wall0 < std::chrono::seconds(5)) {
            if (state.range(0) == 0) {
                std::this_thread::sleep_for(std::chrono::seconds(5));
                break;
            }
            const int length = std::stoi("0" + audio.SendCommand("status midifile length"));
            const int position = std::stoi("0" + audio.SendCommand("status midifile position"));
            if (position >= length) audio.SendCommand("play midifile from 0");
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
        share = (ProcessCpuSeconds() - cpu0) / wall;
    }
    state.counters["core_share_pct"] = 100.0 * share;
    state.counters["buffer_frames"] = audio.DeviceBufferFrames();
}
BENCHMARK(BM_MusicOnDevice)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// From PlayWave to the first samples in the mix, at random phases of the device's buffer
// cycle, with music playing; add one buffer for the device to play what was mixed.
void BM_EffectStartLatency(benchmark::State& state) {
    Files files;
    AudioSystem audio;
    if (!audio.HasDevice()) {
        state.SkipWithError("no audio device (run with SDL_AUDIODRIVER=dummy)");
        return;
    }
    StartMusic(audio, files.tune);
    audio.Preload(files.wave);
    std::mt19937 random(7);
    double worst = 0, total = 0;
    int64_t count = 0;
    for (auto _ : state) {
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 15000));
        const int64_t before = audio.LastEffectMixedAtNs();
        const auto call = std::chrono::steady_clock::now();
        audio.PlayWave(files.wave, false);
        while (audio.LastEffectMixedAtNs() == before) std::this_thread::yield();
        const double mixDelay = 1e-9 * double(audio.LastEffectMixedAtNs() - call.time_since_epoch().count());
        state.SetIterationTime(mixDelay);
        worst = std::max(worst, mixDelay);
        total += mixDelay;
        ++count;
    }
    const double buffer = double(audio.DeviceBufferFrames()) / kRate;
    state.counters["mean_mix_ms"] = 1e3 * total / double(count);
    state.counters["worst_mix_ms"] = 1e3 * worst;
    state.counters["worst_latency_ms"] = 1e3 * (worst + buffer);
}
BENCHMARK(BM_EffectStartLatency)->Iterations(200)->UseManualTime()->Unit(benchmark::kMillisecond);

// One Timer1 tick's worth of sequencer work: the two status queries.
void BM_StatusQueriesOfOneTick(benchmark::State& state) {
    Files files;
    AudioOptions options;
    options.openDevice = false;
    AudioSystem audio(options);
    StartMusic(audio, files.tune);
    for (auto _ : state) {
        benchmark::DoNotOptimize(audio.SendCommand("status midifile length"));
        benchmark::DoNotOptimize(audio.SendCommand("status midifile position"));
    }
}
BENCHMARK(BM_StatusQueriesOfOneTick)->Unit(benchmark::kNanosecond);

// The first play of an effect decodes and converts it; later plays come from the cache.
void BM_EffectFirstDecode(benchmark::State& state) {
    Files files;
    AudioOptions options;
    options.openDevice = false;
    options.loadMusicEarly = false;
    for (auto _ : state) {
        AudioSystem audio(options);
        audio.PlayWave(files.wave, false);
    }
}
BENCHMARK(BM_EffectFirstDecode)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace vx::audio
