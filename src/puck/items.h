// The item capsule and its effects: StepItem places, moves and awards the capsule and
// ends effects; ApplyItem starts or undoes one of the nine effects. Neither draws: the
// start and end go into the frame's events, which the drawing follows.
#pragma once

#include <cstdint>

#include "core/match_events.h"
#include "core/match_records.h"

namespace vx {

struct Game;

// Once per frame, after the three puck steps.
void StepItem(Game& g, ItemRecord& item, PuckSet& pucks, Paddles& paddles, SpriteTable& sprites,
              MatchEvents& events);

// Starts (on true) or undoes (on false) effect kind for owner (-1 player 1, +1 player 2).
void ApplyItem(Game& g, PuckSet& pucks, Paddles& paddles, SpriteTable& sprites, uint8_t kind, int16_t owner,
               bool on);

// Paddle i back to its default length, rebound kind, look and direction, centred on its
// current y.
void RestorePaddle(Paddles& paddles, SpriteTable& sprites, int i);

}  // namespace vx
