#include "stage/match_setup.h"

#include <cmath>

#include "core/game.h"
#include "core/stage_tables.h"
#include "stage/sprite_table.h"

namespace vx {

namespace {

struct PaddleStart {
    int32_t x;
    uint8_t halfLength;
    uint8_t kind;
};
constexpr PaddleStart kPaddleStarts[4] = {{77, 37, 1}, {189, 19, 2}, {435, 37, 1}, {323, 19, 2}};

// Every row of the stage table must fit the match records.
constexpr bool StagesFitTheRecords() {
    for (const StageRow& s : kStages) {
        if (s.walls.size() > ObstacleSet::kMaxWalls || s.bumpers.size() > ObstacleSet::kMaxBumpers ||
            s.cornerPosts.size() > CornerPostSet{}.posts.size() || s.puckCount < 1 ||
            s.puckCount > PuckSet{}.pucks.size())
            return false;
    }
    return true;
}
static_assert(StagesFitTheRecords(), "a stage has more walls, bumpers, posts or pucks than a match holds");

// The stage's item kinds, then the two-player-only kinds 8 and 9 in 1P VS 2P.
void SetAllowedItems(const Game& g, ItemRecord& item, const StageRow& stage) {
    item.allowedCount = 0;
    item.allowed = {};
    for (uint8_t k : stage.items)
        if (k != 0) item.allowed[item.allowedCount++] = k;
    if (g.GameMode == game_mode::kVs2P) {
        item.allowed[item.allowedCount++] = item_kind::kShiftChange;
        item.allowed[item.allowedCount++] = item_kind::kBlind;
    }
}

// What the stage's row of the stage table sets: pucks, items, posts, walls, bumpers.
void SetupStage(Game& g, PuckSet& pucks, ObstacleSet& obstacles, ItemRecord& item, const StageRow& stage) {
    pucks.count = stage.puckCount;
    pucks.serveA = table::kServeA;
    pucks.serveB = table::kServeB;
    SetAllowedItems(g, item, stage);

    // The posts of an earlier stage go too: the state hash reads every slot.
    g.CornerPosts = CornerPostSet{};
    const auto posts = stage.cornerPosts;
    g.CornerPosts.count = static_cast<uint8_t>(posts.size());
    for (size_t i = 0; i < posts.size(); ++i) g.CornerPosts.posts[i] = posts[i];

    const auto walls = stage.walls;
    obstacles.wallCount = static_cast<uint8_t>(walls.size());
    for (size_t i = 0; i < walls.size(); ++i) {
        Wall& w = obstacles.walls[i];
        const Rect& b = walls[i].bounds;
        MakeRect(w.bounds, b.left, b.top, b.right, b.bottom);
        w.facing = walls[i].facing;
        w.kind = walls[i].kind;
        ComputeWallLine(w);
    }

    const auto bumpers = stage.bumpers;
    obstacles.bumperCount = static_cast<uint8_t>(bumpers.size());
    for (size_t i = 0; i < bumpers.size(); ++i) {
        Bumper& b = obstacles.bumpers[i];
        b.cx = bumpers[i].cx;
        b.cy = bumpers[i].cy;
        b.verticalSign = bumpers[i].verticalSign;
        b.radius = kBumperRadius;
    }
}

}  // namespace

void ComputeWallLine(Wall& wall) {
    Point p1, p2;
    if (wall.kind == -1) {
        p1 = {wall.bounds.left, wall.bounds.top};
        p2 = {wall.bounds.right, wall.bounds.bottom};
    } else {
        p1 = {wall.bounds.left, wall.bounds.bottom};
        p2 = {wall.bounds.right, wall.bounds.top};
    }
    // Products in 32-bit integers, the division in double, then the floor.
    const int32_t dx = p1.x - p2.x;
    const int32_t slopeNum = (p1.y - p2.y) * 100;
    const int32_t interceptNum = (p1.x * p2.y - p1.y * p2.x) * 100;
    wall.slope = FloorToInt(static_cast<double>(slopeNum) / dx);
    wall.intercept = FloorToInt(static_cast<double>(interceptNum) / dx);
}

void SetupMatch(Game& g, PuckSet& pucks, Paddles& paddles, ObstacleSet& obstacles, SpriteTable& sprites,
                ItemRecord& item, SpareRects&, uint8_t stage) {
    g.KeyFlags = {};
    g.SimulationFlag = g.GameMode == game_mode::kVsCpu;
    g.ClockTick = 30;
    g.BlindAreas[0] = table::kBlindArea1;
    g.BlindAreas[2] = table::kBlindArea2;
    FillSpriteTable(sprites);

    for (Puck& p : pucks.pucks) {
        p.x = p.y = 0;
        p.bounds = {};
        p.vx = p.vy = 0;
        p.state = puck_state::kFree;
        p.radius = 6;
    }

    for (size_t j = 0; j < paddles.size(); ++j) {
        Paddle& p = paddles[j];
        p.y = table::kCentreY;
        p.x = kPaddleStarts[j].x;
        p.halfLength = kPaddleStarts[j].halfLength;
        p.kind = kPaddleStarts[j].kind;
        MakeRect(p.bounds, p.x - 6, p.y - p.halfLength, p.x + 6, p.y + p.halfLength);
        p.prevBounds = p.bounds;
        p.directionSign = 1;
    }

    item.kind = 0;
    item.timer = 0;
    item.phase = item_phase::kNone;
    item.prevBounds = {};

    SetupStage(g, pucks, obstacles, item, StageFacts(stage));
}

}  // namespace vx
