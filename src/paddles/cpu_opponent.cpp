#include "paddles/cpu_opponent.h"

#include <algorithm>

#include "core/game.h"
#include "paddles/paddle_movement.h"
#include "puck/puck_motion.h"

namespace vx {

namespace {

constexpr int32_t kLaneLeft = 31800;   // front paddle's left edge, hundredths
constexpr int32_t kLaneRight = 44000;  // back paddle's right edge
constexpr int32_t kCentreLine = 25600;
constexpr int32_t kHomeY = 171;
// Front paddle targets that park the back paddle at 131 (puck above) or 211 (below).
constexpr int32_t kFrontTargetForUpper = 211;
constexpr int32_t kFrontTargetForLower = 131;
constexpr int32_t kApproachHesitation = 15;

// 0..98; the CPU hesitates when it is at or below its threshold.
int32_t HesitationDraw(Game& g) {
    return FloorToInt(static_cast<double>(g.random.Next()) * 99.0);
}

struct Candidates {
    PuckList incoming;
    PuckList outgoing;
    PuckList approaching;
};

Candidates SortPucks(const PuckSet& pucks) {
    Candidates c;
    const int count = std::min<int>(pucks.count, static_cast<int>(pucks.pucks.size()));
    for (int i = 0; i < count; ++i) {
        const Puck& p = pucks.pucks[static_cast<size_t>(i)];
        if (p.state != puck_state::kInPlay) continue;
        const auto slot = static_cast<uint8_t>(i);
        if (p.x > kLaneLeft && p.x < kLaneRight) {
            (p.vx > 0 ? c.incoming : c.outgoing).Add(slot);
        } else if (p.x > kCentreLine && p.x < kLaneLeft && p.vx > 0) {
            c.approaching.Add(slot);
        }
    }
    return c;
}

}  // namespace

void CpuTurn(Game& g, PuckSet& pucks, Paddles& paddles, ObstacleSet& obstacles, uint8_t difficulty,
             SpriteTable& sprites, ItemRecord& item) {
    const Candidates c = SortPucks(pucks);
    const Paddle& back = paddles[2];
    const Paddle& front = paddles[3];
    Puck result;
    if (c.incoming.count > 0) {
        if (HesitationDraw(g) <= difficulty) return;
        const int32_t py = LookAheadPucks(g, c.incoming, pucks, obstacles, result, paddles, sprites, item);
        if (py <= back.y - back.halfLength) {
            MovePaddles(move_code::kPlayer2Up, paddles);
        } else if (py >= back.y + back.halfLength) {
            MovePaddles(move_code::kPlayer2Down, paddles);
        }
    } else if (c.outgoing.count > 0) {
        if (HesitationDraw(g) <= difficulty) return;
        const int32_t py = LookAheadPucks(g, c.outgoing, pucks, obstacles, result, paddles, sprites, item);
        const int32_t target = py <= kHomeY ? kFrontTargetForUpper : kFrontTargetForLower;
        if (front.y > target) {
            MovePaddles(move_code::kPlayer2Down, paddles);
        } else if (front.y < target) {
            MovePaddles(move_code::kPlayer2Up, paddles);
        }
    } else if (c.approaching.count > 0) {
        if (HesitationDraw(g) <= difficulty + kApproachHesitation) return;
        const int32_t py = LookAheadPucks(g, c.approaching, pucks, obstacles, result, paddles, sprites, item);
        if (py <= front.y - front.halfLength) {
            MovePaddles(move_code::kPlayer2Down, paddles);  // front paddle up
        } else if (py >= front.y + front.halfLength) {
            MovePaddles(move_code::kPlayer2Up, paddles);  // front paddle down
        }
    } else if (back.y > kHomeY) {
        MovePaddles(move_code::kPlayer2Up, paddles);
    } else if (back.y < kHomeY) {
        MovePaddles(move_code::kPlayer2Down, paddles);
    }
}

int32_t LookAheadPucks(Game& g, const PuckList& list, const PuckSet& pucks, ObstacleSet& obstacles,
                       Puck& result, Paddles& paddles, SpriteTable&, ItemRecord& item) {
    std::array<Puck, 4> work{};
    int best = -1;
    for (int k = 0; k < list.count; ++k) {
        Puck& copy = work[static_cast<size_t>(k)];
        copy = pucks.pucks[list.slots[static_cast<size_t>(k)]];
        copy.vx *= 3;  // one step at triple speed looks one frame ahead
        copy.vy *= 3;
        g.SimulationFlag = true;
        MatchEvents none;  // a simulated step meets no paddle and scores nothing
        StepPuck(g, copy, paddles, obstacles, item, none);
        if (best < 0 || copy.x > work[static_cast<size_t>(best)].x) best = k;
    }
    if (best < 0) return FloorDiv100(result.y);
    result = work[static_cast<size_t>(best)];
    return FloorDiv100(result.y);
}

}  // namespace vx
