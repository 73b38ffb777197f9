// The replay viewer's jumps in a 120-second match (3597 frames, stage 3 against the
// CPU): to the end from the start, with no state kept yet (the first jump of a replay
// watched from its start, the worst), and to random points once the replay has been
// played through (every later jump). Target: a few seconds at most, far less expected.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>
#include <random>

#include "core/game.h"
#include "core/match_settings.h"
#include "frontend/replay_viewer.h"
#include "match/replay_check.h"
#include "platform/program_files.h"
#include "platform/random.h"
#include "platform/silent_services.h"

namespace {

using namespace vx;

Replay WholeMatch() {
    Replay replay;
    replay.seed = 120;
    replay.gameMode = game_mode::kVsCpu;
    replay.stageNo = 3;
    replay.ruleKind = rule_kind::kTime;
    replay.timeLimit = 120;
    replay.scoreLimit = 10;
    replay.difficulty = 35;
    std::mt19937 keys(5);
    uint8_t held = 0;
    for (int f = 0; f < 120 * 30; ++f) {
        if (keys() % 8 == 0) held = static_cast<uint8_t>(keys() % 4);
        replay.keys.push_back(held);
    }
    replay.keys.resize(CheckReplay(replay).frames);
    return replay;
}

struct Viewing {
    MixingRandom random{1, [] { return uint64_t{0}; }};
    ProgramFiles files{std::filesystem::temp_directory_path()};
    NullHost noWindow;
    SilentWavePlayer noEffects;
    SilentSequencer noMusic;
    Game g{GamePlatform{random, files, noWindow, noEffects, noMusic}};
    ReplayViewer viewer;

    explicit Viewing(const Replay& replay) : viewer(replay) {
        g.GameMode = replay.gameMode;
        match_settings::UseForMatch(
            g, {replay.stageNo, replay.ruleKind, replay.timeLimit, replay.scoreLimit, replay.difficulty});
        viewer.BeginMatch(g);
    }
};

void BM_SeekToTheEndFromTheStart(benchmark::State& state) {
    const Replay replay = WholeMatch();
    for (auto _ : state) {
        state.PauseTiming();
        auto v = std::make_unique<Viewing>(replay);
        state.ResumeTiming();
        v->viewer.SeekSilently(v->g, v->viewer.Frames());
        benchmark::DoNotOptimize(v->g.FrameCount);
    }
    state.counters["frames"] = static_cast<double>(replay.keys.size());
}
BENCHMARK(BM_SeekToTheEndFromTheStart)->Unit(benchmark::kMillisecond);

void BM_SeekToARandomPoint(benchmark::State& state) {
    const Replay replay = WholeMatch();
    Viewing v(replay);
    v.viewer.SeekSilently(v.g, v.viewer.Frames());  // played through: every state kept
    std::mt19937 points(7);
    for (auto _ : state) {
        v.viewer.SeekSilently(v.g, points() % v.viewer.Frames());
        benchmark::DoNotOptimize(v.g.FrameCount);
    }
}
BENCHMARK(BM_SeekToARandomPoint)->Unit(benchmark::kMicrosecond);

}  // namespace
