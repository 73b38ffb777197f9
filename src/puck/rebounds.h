// How a puck rebounds from the stage's walls, its round bumpers and the paddles, and
// the small rules they share: the rebound speed, the speed limits, the random sign and
// the mirror of a velocity in a sloped line.
#pragma once

#include <cstdint>

#include "core/arith.h"
#include "core/geometry.h"
#include "core/match_events.h"
#include "core/match_records.h"

namespace vx {

struct Game;

namespace paddle_kind {
constexpr uint8_t kAbsent = 0;
constexpr uint8_t kFixed300 = 1;  // back paddles normally
constexpr uint8_t kKick150 = 2;   // front paddles normally
constexpr uint8_t kRandom = 3;    // RandomSpeed
constexpr uint8_t kKick180 = 4;   // front paddles under Panic
}  // namespace paddle_kind

namespace puck_speed {
constexpr int32_t kFloor = 200;
constexpr int32_t kLimit = 500;
constexpr int32_t kPanicLimit = 540;
}  // namespace puck_speed

// Bounds from the pixel centre (the floor of the hundredths) and the radius.
void SetPuckBounds(Puck& puck);

// nearest(|draw × scale|), halves to even: the index rule of serve, bumper and random-speed draws.
int32_t NearestRandom(Game& g, int32_t scale);
// One velocity component from a speed and a direction entry: floor(speed × dir / 100).
int32_t DirComponent(int32_t speed, int32_t dir100);

// +1 with probability 4/10, otherwise -1. Reseeds the generator first.
int16_t RandomSign(Game& g);
// The speed limits: at least 200, at most 500 (540 while Panic is the current kind).
int16_t ClampSpeed(int32_t speed, const ItemRecord& item);
// Rebound speed from the puck's current speed at the given percentage.
int16_t KickSpeed(const Puck& puck, int32_t percent, const ItemRecord& item);
// Mirrors the puck's velocity in a line of slope a/100; the result is floored.
void Reflect(Puck& puck, int32_t a);
// True when q lies within distance d of p (all three in the same unit).
bool Within(const Point& p, const Point& q, int32_t d);

void SegmentRebound(Puck& puck, const Wall& wall);
void BumperRebound(Game& g, Puck& puck, const Bumper& bumper, const ItemRecord& item);
void PaddleRebound(Game& g, Puck& puck, const Paddle& paddle, const ItemRecord& item, MatchEvents& events);

}  // namespace vx
