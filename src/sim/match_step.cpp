#include "sim/match_step.h"

#include "core/game.h"
#include "paddles/cpu_opponent.h"
#include "paddles/paddle_movement.h"
#include "puck/items.h"
#include "puck/puck_motion.h"

namespace vx {

MatchEvents StepMatch(Game& g, MatchRecords& r, uint8_t gameMode, const KeyFlagSet& keys) {
    MatchEvents events;
    MovePaddlesFromKeys(keys, r.paddles);
    if (gameMode == game_mode::kVsCpu)
        CpuTurn(g, r.pucks, r.paddles, r.obstacles, g.Difficulty, r.sprites, r.item);
    for (int step = 0; step < 3; ++step) StepPucks(g, r.pucks, r.paddles, r.obstacles, r.item, events);
    StepItem(g, r.item, r.pucks, r.paddles, r.sprites, events);
    ServePucks(g, r.pucks);
    FreeFinishedBursts(r.pucks);
    return events;
}

}  // namespace vx
