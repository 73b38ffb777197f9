// One complete frame of play per stage, as the match loop runs it: erase, paddles from
// the keys, the CPU's turn, three puck steps, the item, the serve and the drawing into
// the surfaces (presented to a headless host). Target: median at most 50 us.
#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

#include "core/game.h"
#include "match/match_loop.h"
#include "platform/headless_host.h"
#include "platform/program_files.h"
#include "platform/random.h"
#include "platform/silent_services.h"
#include "stage/match_setup.h"

namespace {

using namespace vx;

struct BenchMatch {
    explicit BenchMatch(uint8_t stage)
        : random(42, [] { return uint64_t{0x5eed}; }), files(std::filesystem::temp_directory_path()) {
        game = std::make_unique<Game>(GamePlatform{random, files, host, noEffects, noMusic});
        Game& g = *game;
        host.KeepPresented(false);
        g.GameMode = game_mode::kVsCpu;
        g.StageNo = stage;
        g.RuleKind = rule_kind::kTime;
        g.TimeLeft = 120;
        g.ScreenState = screen_state::kPlaying;
        SpareRects spare{};
        SetupMatch(g, r.pucks, r.paddles, r.obstacles, r.sprites, r.item, spare, stage);
    }

    // Player 1 changes keys every few frames, as a person would.
    void Frame() {
        Game& g = *game;
        if (frame % 9 == 0) {
            keySeed = keySeed * 1103515245u + 12345u;
            const uint32_t choice = (keySeed >> 16) % 3;
            g.KeyFlags[0] = static_cast<bool>(choice == 1);
            g.KeyFlags[1] = static_cast<bool>(choice == 2);
        }
        PlayFrame(g, r, g.GameMode);
        ++frame;
    }

    MixingRandom random;
    ProgramFiles files;
    HeadlessHost host;
    SilentWavePlayer noEffects;
    SilentSequencer noMusic;
    std::unique_ptr<Game> game;
    MatchRecords r;
    uint32_t keySeed = 7;
    int frame = 0;
};

void BM_MatchFrame(benchmark::State& state) {
    BenchMatch match(static_cast<uint8_t>(state.range(0)));
    for (int i = 0; i < 60; ++i) match.Frame();  // past the first serve
    for (auto _ : state) {
        match.Frame();
        benchmark::DoNotOptimize(match.game->MainPict.Pixels().data());
    }
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(BM_MatchFrame)
    ->ArgName("stage")
    ->DenseRange(1, 5)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

}  // namespace
