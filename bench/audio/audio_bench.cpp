// The cost of the sound back-end: the share of one core that playing music takes (offline
// mixing, and the whole device path with SDL's callback thread), from the live
// synthesizer (Arg 0) and from a rendered tune (Arg 1); what rendering a tune costs once;
// and how long after PlayWave an effect's first samples are mixed.
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

// A tune, an effect and a tune cache in a private folder with a blank in its name,
// removed afterwards.
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
    // Arg 0: the live synthesizer; Arg 1: the tune's render, made before measuring.
    AudioOptions Options(bool rendered, bool device) const {
        AudioOptions options;
        options.openDevice = device;
        options.renderTunes = rendered;
        options.tuneCache = folder / "cache";
        if (rendered) {
            AudioOptions offline = options;
            offline.openDevice = false;
            AudioSystem renderer(offline);
            renderer.PlayLooping(tune);
            renderer.WaitForRenders(std::chrono::minutes(2));
        }
        return options;
    }
};

double ProcessCpuSecondsOf() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           1e-6 * double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec);
}

double ThreadCpuSeconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) + 1e-9 * double(now.tv_nsec);
}

// Mixing alone, offline: CPU seconds per second of music is the share of one core.
void BM_MusicMixOffline(benchmark::State& state) {
    Files files;
    AudioSystem audio(files.Options(state.range(0) == 1, false));
    audio.PlayLooping(files.tune);
    std::vector<float> block(2 * 512);
    const double cpu0 = ThreadCpuSeconds();
    for (auto _ : state) {
        audio.Render(block.data(), 512);
        benchmark::DoNotOptimize(block.data());
    }
    const double audioSeconds = double(state.iterations()) * 512 / kRate;
    state.counters["core_share_pct"] = 100.0 * (ThreadCpuSeconds() - cpu0) / audioSeconds;
    state.counters["rendered"] = audio.PlayingFrom() == MusicSource::kRendered ? 1 : 0;
}
BENCHMARK(BM_MusicMixOffline)->Arg(0)->Arg(1)->Unit(benchmark::kMicrosecond);

// Rendering the sixteen-second tune once, on the calling thread's clock: CPU seconds
// per second of tune.
void BM_RenderOnce(benchmark::State& state) {
    Files files;
    double cpu = 0;
    for (auto _ : state) {
        AudioOptions options;
        options.openDevice = false;
        options.tuneCache = fs::path();  // in memory, rendered anew each time
        const double cpu0 = ProcessCpuSecondsOf();
        AudioSystem audio(options);
        audio.PlayLooping(files.tune);
        audio.WaitForRenders(std::chrono::minutes(2));
        cpu += ProcessCpuSecondsOf() - cpu0;
    }
    state.counters["cpu_s_per_tune_s"] = cpu / double(state.iterations()) / 16.0;
}
BENCHMARK(BM_RenderOnce)->Iterations(3)->Unit(benchmark::kMillisecond);

// The whole path on a device: the process's CPU time while music plays for five seconds
// (the callback thread, the synthesizer or the copy from the render, SDL's conversion to
// the device format).
void BM_MusicOnDevice(benchmark::State& state) {
    Files files;
    AudioSystem audio(files.Options(state.range(0) == 1, true));
    if (!audio.HasDevice()) {
        state.SkipWithError("no audio device (run with SDL_AUDIODRIVER=dummy)");
        return;
    }
    audio.PlayLooping(files.tune);
    // The SoundFont loads in the background from the start; measure after it.
    while (!audio.MusicReady()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    double share = 0;
    for (auto _ : state) {
        const double cpu0 = ProcessCpuSecondsOf();
        const auto wall0 = std::chrono::steady_clock::now();
        std::this_thread::sleep_for(std::chrono::seconds(5));
        const double wall = std::chrono::duration<double>(std::chrono::steady_clock::now() - wall0).count();
        share = (ProcessCpuSecondsOf() - cpu0) / wall;
    }
    state.counters["core_share_pct"] = 100.0 * share;
    state.counters["buffer_frames"] = audio.DeviceBufferFrames();
    state.counters["rendered"] = audio.PlayingFrom() == MusicSource::kRendered ? 1 : 0;
}
BENCHMARK(BM_MusicOnDevice)->Arg(0)->Arg(1)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// From PlayWave to the first samples in the mix, at random phases of the device's buffer
// cycle, with music playing; add one buffer for the device to play what was mixed.
void BM_EffectStartLatency(benchmark::State& state) {
    Files files;
    AudioSystem audio(files.Options(true, true));
    if (!audio.HasDevice()) {
        state.SkipWithError("no audio device (run with SDL_AUDIODRIVER=dummy)");
        return;
    }
    audio.PlayLooping(files.tune);
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
