#include "stage/match_setup.h"

#include <cmath>

#include "core/game.h"
#include "draw/sprite_table.h"
#include "stage/stage_tables.h"

namespace vx {

namespace {

struct PaddleStart {
    int32_t x;
    uint8_t halfLength;
    uint8_t kind;
};
constexpr PaddleStart kPaddleStarts[4] = {{77, 37, 1}, {189, 19, 2}, {435, 37, 1}, {323, 19, 2}};

// Item kinds per stage, before the two-player-only kinds 8 and 9 are appended.
void SetAllowedItems(const Game& g, ItemRecord& item, std::initializer_list<uint8_t> kinds) {
    item.allowedCount = 0;
    item.allowed = {};
    for (uint8_t k : kinds) item.allowed[item.allowedCount++] = k;
    if (g.GameMode == game_mode::kVs2P) {
        item.allowed[item.allowedCount++] = item_kind::kShiftChange;
        item.allowed[item.allowedCount++] = item_kind::kBlind;
    }
}

// The steps every stage builder shares; the stage's own tables fill in the rest.
void BuildCommon(Game& g, PuckSet& pucks, ObstacleSet& obstacles, ItemRecord& item, int stage,
                 uint8_t puckCount, std::initializer_list<uint8_t> itemKinds) {
    pucks.count = puckCount;
    pucks.serveA = table::kServeA;
    pucks.serveB = table::kServeB;
    SetAllowedItems(g, item, itemKinds);

    const auto posts = StageCornerPosts(stage);
    g.CornerPosts.count = static_cast<uint8_t>(posts.size());
    for (size_t i = 0; i < posts.size(); ++i) g.CornerPosts.posts[i] = posts[i];

    const auto walls = StageWalls(stage);
    obstacles.wallCount = static_cast<uint8_t>(walls.size());
    for (size_t i = 0; i < walls.size(); ++i) {
        Wall& w = obstacles.walls[i];
        const Rect& b = walls[i].bounds;
        MakeRect(w.bounds, b.left, b.top, b.right, b.bottom);
        w.facing = walls[i].facing;
        w.kind = walls[i].kind;
        ComputeWallLine(w);
    }

    const auto bumpers = StageBumpers(stage);
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
                ItemRecord& item, SpareRects& spare, uint8_t stage) {
    g.KeyFlags = {kFalse, kFalse, kFalse, kFalse};
    g.SimulationFlag = ToBool16(g.GameMode == game_mode::kVsCpu);
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

    switch (stage) {
        case 2: SetupStage2(g, pucks, paddles, obstacles, sprites, item, spare); break;
        case 3: SetupStage3(g, pucks, paddles, obstacles, sprites, item, spare); break;
        case 4: SetupStage4(g, pucks, paddles, obstacles, sprites, item, spare); break;
        case 5: SetupStage5(g, pucks, paddles, obstacles, sprites, item, spare); break;
        default: SetupStage1(g, pucks, paddles, obstacles, sprites, item, spare); break;
    }
}

void SetupStage1(Game& g, PuckSet& pucks, Paddles&, ObstacleSet& obstacles, SpriteTable&, ItemRecord& item,
                 SpareRects&) {
    BuildCommon(g, pucks, obstacles, item, 1, 1, {1, 2, 3, 4, 5, 6, 7});
}

void SetupStage2(Game& g, PuckSet& pucks, Paddles&, ObstacleSet& obstacles, SpriteTable&, ItemRecord& item,
                 SpareRects&) {
    BuildCommon(g, pucks, obstacles, item, 2, 1, {1, 2, 3, 4, 5, 6, 7});
}

void SetupStage3(Game& g, PuckSet& pucks, Paddles&, ObstacleSet& obstacles, SpriteTable&, ItemRecord& item,
                 SpareRects&) {
    BuildCommon(g, pucks, obstacles, item, 3, 1, {2, 3, 4, 5, 6, 7});
}

void SetupStage4(Game& g, PuckSet& pucks, Paddles&, ObstacleSet& obstacles, SpriteTable&, ItemRecord& item,
                 SpareRects&) {
    BuildCommon(g, pucks, obstacles, item, 4, 1, {2, 3, 4, 5, 6, 7});
}

void SetupStage5(Game& g, PuckSet& pucks, Paddles&, ObstacleSet& obstacles, SpriteTable&, ItemRecord& item,
                 SpareRects&) {
    BuildCommon(g, pucks, obstacles, item, 5, 3, {1, 2, 3, 5, 6, 7});
}

}  // namespace vx
