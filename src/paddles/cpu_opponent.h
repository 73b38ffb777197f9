// The CPU opponent: once a frame it plays player 2's side like a second player holding
// a key for one frame, from where the pucks are, a one-frame look-ahead with the real
// puck step, and a random hesitation that the difficulty sets.
#pragma once

#include <array>
#include <cstdint>

#include "core/match_records.h"

namespace vx {

struct Game;

// Puck slot numbers of one candidate list.
struct PuckList {
    uint8_t count = 0;
    std::array<uint8_t, 3> slots{};
    void Add(uint8_t slot) { slots[count++] = slot; }
};

// The CPU reads where the player's paddles are and moves its own, all from the one
// paddle array the match loop passes.
void CpuTurn(Game& g, PuckSet& pucks, Paddles& paddles, ObstacleSet& obstacles, uint8_t difficulty,
             SpriteTable& sprites, ItemRecord& item);

// Steps a copy of each listed puck once at triple speed with SimulationFlag set, puts the
// furthest right (earliest on a tie) in result and returns its y in pixels.
int32_t LookAheadPucks(Game& g, const PuckList& list, const PuckSet& pucks, ObstacleSet& obstacles,
                       Puck& result, Paddles& paddles, SpriteTable& sprites, ItemRecord& item);

}  // namespace vx
