#include "puck/puck_motion.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "core/game.h"
#include "puck/direction_tables.h"
#include "puck/rebounds.h"

namespace vx {

namespace {

constexpr int32_t kLiveRadius = 6;
constexpr int32_t kBurstRadius = 16;
constexpr int32_t kFieldTopHundredths = 6100;
constexpr int32_t kFieldBottomHundredths = 28200;
constexpr int32_t kGoalLine1 = 44600;  // reached on the right: player 1 scores
constexpr int32_t kGoalLine2 = 6600;   // reached on the left: player 2 scores
constexpr int32_t kEndWallRight = 46600;
constexpr int32_t kEndWallLeft = 4600;
constexpr int32_t kCollisionDistance = 600;  // hundredths between centres

bool IsBursting(const Puck& puck) {
    return puck.state >= puck_state::kBurstFirst && puck.state < puck_state::kBurstDone;
}

bool IsLive(const Puck& puck) {
    return puck.state == puck_state::kInPlay;
}

// player 0 or 1. Scores are bytes; under the time rule nothing else stops them, and a
// wrap to 0 would turn a win into a loss.
void CountGoal(Game& g, Puck& puck, int16_t player, MatchEvents& events) {
    SetBurst(puck, events);
    uint8_t& score = g.Scores[static_cast<size_t>(player)];
    score = SaturatingIncrement(score);
    MatchEvent goal{MatchEvent::Kind::kGoal};
    goal.player = static_cast<uint8_t>(player);
    goal.score = score;
    events.Add(goal);
}

void KeepOffTheVertical(Game& g, Puck& puck, int32_t vyBeforeRebounds) {
    if (puck.vx != 0) {
        puck.bounceCounter = 0;
        return;
    }
    const bool reversed = (vyBeforeRebounds > 0 && puck.vy < 0) || (vyBeforeRebounds < 0 && puck.vy > 0);
    if (!reversed) return;
    puck.bounceCounter = SaturatingIncrement(puck.bounceCounter);
    if (puck.bounceCounter < bounce_rule::kReversalsBeforeDrift) return;
    puck.vx = RandomSign(g) * bounce_rule::kDriftSpeed;
    puck.bounceCounter = 0;
}

void TouchCapsule(Puck& puck, ItemRecord& item) {
    if (item.phase != item_phase::kCapsuleWaiting || !RectsOverlap(item.bounds, puck.bounds)) return;
    item.vx = puck.vx;
    item.vy = puck.vy;
    const int32_t px = FloorDiv100(puck.x);
    const int32_t py = FloorDiv100(puck.y);
    if (px <= item.bounds.left || px >= item.bounds.right) puck.vx = -puck.vx;
    if (py <= item.bounds.top || py >= item.bounds.bottom) puck.vy = -puck.vy;
    item.phase = item_phase::kCapsuleMoving;
}

}  // namespace

void StepPucks(Game& g, PuckSet& pucks, Paddles& paddles, ObstacleSet& obstacles, ItemRecord& item,
               MatchEvents& events) {
    const int count = std::min<int>(pucks.count, static_cast<int>(pucks.pucks.size()));
    for (int i = 0; i < count; ++i) {
        g.SimulationFlag = false;
        StepPuck(g, pucks.pucks[static_cast<size_t>(i)], paddles, obstacles, item, events);
    }
    if (count < 2) return;
    static constexpr std::pair<int, int> kPairs[] = {{0, 1}, {1, 2}, {2, 0}};
    const int pairCount = count == 2 ? 1 : 3;
    for (int k = 0; k < pairCount; ++k) {
        Puck& first = pucks.pucks[static_cast<size_t>(kPairs[k].first)];
        Puck& second = pucks.pucks[static_cast<size_t>(kPairs[k].second)];
        if (!IsLive(first) || !IsLive(second)) continue;
        if (!Within(Point{first.x, first.y}, Point{second.x, second.y}, kCollisionDistance)) continue;
        SetBurst(first, events);
        SetBurst(second, events);
        return;  // one collision per step, even if a third puck also touches
    }
}

bool StepPuck(Game& g, Puck& puck, Paddles& paddles, ObstacleSet& obstacles, ItemRecord& item,
              MatchEvents& events) {
    if (puck.state == puck_state::kFree) return false;
    puck.x += puck.vx;
    puck.y += puck.vy;
    SetPuckBounds(puck);
    if (IsBursting(puck)) {
        ++puck.state;
        return false;
    }
    const bool real = !g.SimulationFlag;
    if (real && CheckGoal(g, puck, events)) return false;

    const int32_t vyBeforeRebounds = puck.vy;
    const int32_t reach = 100 * puck.radius;
    if ((puck.y + reach >= kFieldBottomHundredths && puck.vy > 0) ||
        (puck.y - reach <= kFieldTopHundredths && puck.vy < 0)) {
        puck.vy = -puck.vy;
    }
    for (int i = 0; i < obstacles.wallCount && i < ObstacleSet::kMaxWalls; ++i) {
        SegmentRebound(puck, obstacles.walls[static_cast<size_t>(i)]);
    }
    for (int i = 0; i < obstacles.bumperCount && i < ObstacleSet::kMaxBumpers; ++i) {
        BumperRebound(g, puck, obstacles.bumpers[static_cast<size_t>(i)], item);
    }
    if (!real) return true;

    // Back paddles first, then the front paddles that are on the table.
    for (int j : {0, 2, 1, 3}) {
        const Paddle& paddle = paddles[static_cast<size_t>(j)];
        if (paddle.kind != 0) PaddleRebound(g, puck, paddle, item, events);
    }
    TouchCapsule(puck, item);
    KeepOffTheVertical(g, puck, vyBeforeRebounds);
    return true;
}

bool CheckGoal(Game& g, Puck& puck, MatchEvents& events) {
    const int32_t reach = 100 * puck.radius;
    if (g.CornerPosts.count != 0) {
        const auto& posts = g.CornerPosts.posts;
        if (IsLive(puck) && (RectsOverlap(puck.bounds, posts[1]) || RectsOverlap(puck.bounds, posts[3]))) {
            CountGoal(g, puck, 0, events);
            return true;
        }
        if (IsLive(puck) && (RectsOverlap(puck.bounds, posts[0]) || RectsOverlap(puck.bounds, posts[2]))) {
            CountGoal(g, puck, 1, events);
            return true;
        }
        // The ends are walls here; the sign flips whichever way the puck moves.
        if (!(puck.x + reach < kEndWallRight && puck.x - reach > kEndWallLeft)) puck.vx = -puck.vx;
        return false;
    }
    if (puck.x + reach >= kGoalLine1) {
        if (puck.state >= puck_state::kBurstFirst) return false;
        CountGoal(g, puck, 0, events);
        return true;
    }
    if (puck.x - reach <= kGoalLine2) {
        if (puck.state >= puck_state::kBurstFirst) return false;
        CountGoal(g, puck, 1, events);
        return true;
    }
    return false;
}

void SetBurst(Puck& puck, MatchEvents& events) {
    events.Sound(match_sound::kBurst);
    puck.state = puck_state::kBurstFirst;
    puck.radius = kBurstRadius;
    puck.vx = RoundHalfEven(puck.vx / 1.5);
    puck.vy = RoundHalfEven(puck.vy / 1.5);
    // The burst picture is placed by rounding, not by the floor of the live bounds.
    const double px = puck.x / 100.0;
    const double py = puck.y / 100.0;
    MakeRect(puck.bounds, RoundHalfEven(px - kBurstRadius), RoundHalfEven(py - kBurstRadius),
             RoundHalfEven(px + kBurstRadius), RoundHalfEven(py + kBurstRadius));
}

void ServePucks(Game& g, PuckSet& pucks) {
    const int count = std::min<int>(pucks.count, static_cast<int>(pucks.pucks.size()));
    int16_t a = 0;
    int16_t b = 0;
    bool signsDrawn = false;
    for (int i = 0; i < count; ++i) {
        Puck& puck = pucks.pucks[static_cast<size_t>(i)];
        if (puck.state != puck_state::kFree) continue;
        if (!signsDrawn) {
            a = RandomSign(g);
            b = RandomSign(g);
            signsDrawn = true;
        }
        ServePuck(g, puck, pucks.serveA, pucks.serveB, a, b);
        // The next free slot leaves from the other point, mirrored.
        a = static_cast<int16_t>(-a);
        b = static_cast<int16_t>(-b);
    }
}

void ServePuck(Game& g, Puck& puck, const Point& serveA, const Point& serveB, int16_t a, int16_t b) {
    const Point& at = a == 1 ? serveA : serveB;
    puck.x = at.x;
    puck.y = at.y;
    int32_t k = NearestRandom(g, 100) % 24;
    if (k < 3) k = 3;
    if (k > 20) k = 20;
    const DirPair dir = Dir3(k);
    const int16_t t = RandomSign(g);
    const int16_t speed =
        static_cast<int16_t>(FloorToInt(std::fabs(static_cast<double>(g.random.Next()) * 50.0) * t) + 300);
    puck.vy = DirComponent(speed, dir.c) * a;
    puck.vx = DirComponent(speed, dir.s) * b;
    puck.state = puck_state::kInPlay;
    puck.bounceCounter = 0;
    puck.radius = kLiveRadius;
    SetPuckBounds(puck);
}

void FreeFinishedBursts(PuckSet& pucks) {
    for (int i = 0; i < pucks.count; ++i) {
        Puck& p = pucks.pucks[static_cast<size_t>(i)];
        if (p.state >= puck_state::kBurstDone) {
            p.state = puck_state::kFree;
            p.prevBounds = p.bounds;
        }
    }
}

}  // namespace vx
