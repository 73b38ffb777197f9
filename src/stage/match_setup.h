// Match setup: turns the zeroed working records of a new match into the starting
// position of a stage of the stage table (paddles on their lines, free puck slots,
// walls with their computed lines, corner posts, bumpers, allowed item kinds).
#pragma once

#include <cstdint>

#include "core/match_records.h"

namespace vx {

struct Game;

void SetupMatch(Game& g, PuckSet& pucks, Paddles& paddles, ObstacleSet& obstacles, SpriteTable& sprites,
                ItemRecord& item, SpareRects& spare, uint8_t stage);
void ComputeWallLine(Wall& wall);
}  // namespace vx
