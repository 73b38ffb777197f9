// Puck motion: one step of each puck with its rebounds in a fixed order, collisions
// between pucks, goals (goal lines, or corner posts on the stage that has them), the
// burst after a goal or a collision, and serving fresh pucks into free slots.
#pragma once

#include <cstdint>

#include "core/arith.h"
#include "core/match_events.h"
#include "core/match_records.h"

namespace vx {

struct Game;

// A live puck moving straight up and down would never reach a goal; after this many
// vertical reversals without sideways speed it is given a drift of its own.
namespace bounce_rule {
constexpr uint8_t kReversalsBeforeDrift = 3;
constexpr int32_t kDriftSpeed = 100;  // hundredths per step: 3 pixels a frame
}  // namespace bounce_rule

// One step of every slot below count, then the collisions between pucks. Sounds and
// goals go into events.
void StepPucks(Game& g, PuckSet& pucks, Paddles& paddles, ObstacleSet& obstacles, ItemRecord& item,
               MatchEvents& events);
// One step of one puck; true when it took a normal step (not free, bursting or scoring).
// With SimulationFlag set it meets only the edges, walls and bumpers (and adds no events).
bool StepPuck(Game& g, Puck& puck, Paddles& paddles, ObstacleSet& obstacles, ItemRecord& item,
              MatchEvents& events);
// True when the puck scored; the point is counted and the goal added to events.
bool CheckGoal(Game& g, Puck& puck, MatchEvents& events);
// The puck bursts where it is, slowing by a third; the burst's sound goes into events.
void SetBurst(Puck& puck, MatchEvents& events);
// Serves a puck into every free slot below count.
void ServePucks(Game& g, PuckSet& pucks);
// At the end of a frame a puck whose burst has run its course frees its slot for the
// next serve; its last place counts as drawn, so nothing is erased there.
void FreeFinishedBursts(PuckSet& pucks);
// a = 1 serves from point A (downward), otherwise from B (upward); b signs vx.
void ServePuck(Game& g, Puck& puck, const Point& serveA, const Point& serveB, int16_t a, int16_t b);

}  // namespace vx
