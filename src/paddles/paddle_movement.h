// Paddle movement: one side's back and front paddles move as two ends of a lever, 8
// pixels per move, from move codes that the held keys and the CPU opponent produce.
#pragma once

#include <cstdint>

#include "core/match_records.h"

namespace vx {

namespace move_code {
constexpr uint8_t kNone = 0;
constexpr uint8_t kPlayer1Up = 1;
constexpr uint8_t kPlayer1Down = 2;
constexpr uint8_t kPlayer2Up = 3;
constexpr uint8_t kPlayer2Down = 4;
}  // namespace move_code

// One move per side from the frame's key flags, player 1 first; both keys of a side held
// is no move.
void MovePaddlesFromKeys(const KeyFlagSet& keys, Paddles& paddles);
// Moves one side (codes 1..4; others move nothing). Every call ends by copying each
// paddle's bounds into its previous bounds, for the next frame's erase.
void MovePaddles(uint8_t code, Paddles& paddles);

}  // namespace vx
