#include "core/game.h"

namespace vx {

Game::Game(GamePlatform platform)
    : host(platform.host),
      random(platform.random),
      files(platform.files),
      settingsFile(platform.files),
      wavePlayer(platform.wavePlayer),
      sequencer(platform.sequencer) {}

void ReseedRandom(Game& g) {
    if (!g.MatchSeeded) {
        g.random.Randomize();
        return;
    }
    // Odd multipliers keep seed and frame apart: seed s at frame f never stirs the same
    // value as seed s + 1 at frame f - 1.
    g.random.Stir(g.MatchSeed * 0xD6E8FEB86659FD93ULL ^ (uint64_t{g.FrameCount} + 1) * 0x9E3779B97F4A7C15ULL);
}

void SeedMatchRandom(Game& g, uint64_t seed) {
    g.MatchSeed = seed;
    g.MatchSeeded = true;
    g.random.Seed(seed);
}

void EndMatchRandom(Game& g) {
    g.MatchSeeded = false;
}

}  // namespace vx
