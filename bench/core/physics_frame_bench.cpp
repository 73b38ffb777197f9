// One physics frame of a running match (paddles from keys, the CPU's turn, three puck
// steps, the serve, freeing finished bursts) per stage; stage 5 plays three pucks.
// Target: at least 200,000 frames per second on one core.
#include <benchmark/benchmark.h>

#include "core/game.h"
#include "support/headless_match.h"

namespace {

void BM_PhysicsFrame(benchmark::State& state) {
    vx::testing::HeadlessOptions options;
    options.stage = static_cast<uint8_t>(state.range(0));
    options.mode = static_cast<uint8_t>(state.range(1));
    options.randomKeys = true;
    options.seed = 42;
    vx::testing::HeadlessMatch match(options);
    match.Run(60);  // past the first serve
    for (auto _ : state) {
        match.RunFrame();
        benchmark::DoNotOptimize(match.r().pucks);
    }
    state.SetItemsProcessed(state.iterations());
    state.SetLabel(options.mode == vx::game_mode::kVsCpu ? "1P VS CPU" : "1P VS 2P");
}

BENCHMARK(BM_PhysicsFrame)->ArgNames({"stage", "mode"})->ArgsProduct({{1, 2, 3, 4, 5}, {1, 2}});

}  // namespace
