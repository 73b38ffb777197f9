// The five working records of one match (pucks, paddles, obstacles, item, sprite
// sources). Positions and velocities of moving things are in hundredths of a pixel;
// rectangles are in pixels. Fields are in the order the golden replay and the saved
// copy of a paused match compare them.
#pragma once

#include <array>
#include <cstdint>

#include "core/arith.h"
#include "core/geometry.h"
#include "core/stage_tables.h"

namespace vx {

struct Puck {
    int32_t x = 0;    // hundredths
    int32_t y = 0;    // hundredths
    Rect bounds;      // pixels: centre +- radius
    Rect prevBounds;  // where it was last drawn
    int32_t vx = 0;   // hundredths per puck step (three steps a frame)
    int32_t vy = 0;
    int16_t state = 0;   // 0 free, 1 in play, 10..17 bursting, 18 burst finished
    int32_t radius = 0;  // 6 in play, 16 bursting
    uint8_t bounceCounter = 0;
    bool operator==(const Puck&) const = default;
};

namespace puck_state {
constexpr int16_t kFree = 0;
constexpr int16_t kInPlay = 1;
constexpr int16_t kBurstFirst = 10;
constexpr int16_t kBurstDone = 18;
}  // namespace puck_state

struct PuckSet {
    uint8_t count = 0;  // slots in use: 1, 2 under Double, 3 on stage 5
    std::array<Puck, 3> pucks{};
    Point serveA;  // hundredths
    Point serveB;  // hundredths
    bool operator==(const PuckSet&) const = default;
};

struct Paddle {
    int32_t y = 0;           // pixels, centre; moves
    int32_t x = 0;           // pixels, centre; fixed line
    uint8_t halfLength = 0;  // 37 back, 19 front at match start
    uint8_t kind = 0;        // rebound rule; 0 = absent
    Rect bounds;
    Rect prevBounds;
    int16_t directionSign = 0;  // +1 normal, -1 controls reversed
    bool operator==(const Paddle&) const = default;
};

// The match keys held in a frame: player 1 up, player 1 down, player 2 down, player 2 up.
using KeyFlagSet = std::array<bool, 4>;

// 0 player 1 back (x 77), 1 player 1 front (x 189), 2 player 2 back (x 435), 3 player 2 front (x 323).
using Paddles = std::array<Paddle, 4>;

struct Wall {
    Rect bounds;
    int16_t facing = 0;     // +1 or -1
    int16_t kind = 0;       // 10 horizontal, -10 vertical, 1 or -1 sloped
    int32_t slope = 0;      // hundredths
    int32_t intercept = 0;  // hundredths: y = (slope * x + intercept) / 100
    bool operator==(const Wall&) const = default;
};

struct Bumper {
    int32_t cx = 0;            // hundredths
    int32_t cy = 0;            // hundredths
    int16_t verticalSign = 0;  // 1, -1 or 0
    uint8_t radius = 0;        // pixels
    bool operator==(const Bumper&) const = default;
};

struct ObstacleSet {
    static constexpr int kMaxWalls = 31;
    static constexpr int kMaxBumpers = 10;
    uint8_t wallCount = 0;
    std::array<Wall, kMaxWalls> walls{};
    uint8_t bumperCount = 0;
    std::array<Bumper, kMaxBumpers> bumpers{};
    bool operator==(const ObstacleSet&) const = default;
};

// A source rectangle in the sprite sheet.
struct SpriteSource {
    int32_t x = 0;
    int32_t y = 0;
    int32_t w = 0;
    int32_t h = 0;
    bool operator==(const SpriteSource&) const = default;
};

namespace item_phase {
constexpr uint8_t kNone = 0;
constexpr uint8_t kEffect = 2;
constexpr uint8_t kCapsuleWaiting = 12;
constexpr uint8_t kCapsuleMoving = 13;
}  // namespace item_phase

struct ItemRecord {
    uint8_t allowedCount = 0;
    std::array<uint8_t, 9> allowed{};  // item kinds 1..9
    uint8_t kind = 0;                  // 0 none
    int16_t timer = 0;                 // capsule and effect time
    uint8_t phase = item_phase::kNone;
    int32_t x = 0;  // hundredths
    int32_t y = 0;
    Rect bounds;
    Rect prevBounds;
    SpriteSource icon;
    int32_t vx = 0;  // hundredths per frame
    int32_t vy = 0;
    int16_t owner = 0;  // -1 player 1, +1 player 2
    bool operator==(const ItemRecord&) const = default;
};

namespace item_timing {
constexpr int16_t kCapsuleTimer = 300;  // 150 frames unstruck
constexpr int16_t kEffectTimer = 600;   // 300 frames in force
constexpr int16_t kTimerStep = 2;
}  // namespace item_timing

namespace item_kind {
constexpr uint8_t kLengthUp = 1;
constexpr uint8_t kLengthDown = 2;
constexpr uint8_t kLostForward = 3;
constexpr uint8_t kDouble = 4;
constexpr uint8_t kBackBoost = 5;
constexpr uint8_t kPanic = 6;
constexpr uint8_t kRandomSpeed = 7;
constexpr uint8_t kShiftChange = 8;
constexpr uint8_t kBlind = 9;
}  // namespace item_kind

struct SpriteTable {
    static constexpr int kEntries = 53;
    std::array<SpriteSource, kEntries> entries{};
    SpriteSource& operator[](int i) { return entries[static_cast<size_t>(i)]; }
    const SpriteSource& operator[](int i) const { return entries[static_cast<size_t>(i)]; }
    bool operator==(const SpriteTable&) const = default;
};

// The match loop's spare pair of rectangles, passed along but never used by the match.
using SpareRects = std::array<Rect, 2>;

struct CornerPostSet {
    uint8_t count = 0;  // 0 or 4; entries 1 and 3 score for player 1, 0 and 2 for player 2
    std::array<Rect, 4> posts{};
    bool operator==(const CornerPostSet&) const = default;
};

// One entry of the screens' button table MenuButtons: a screen rectangle and where its
// image lies in the sprite sheet.
struct MenuButton {
    Rect rect;           // on MainPict, inclusive; hit tests use it as stored
    int32_t sheetX = 0;  // image (and its mask) in Pict / Mask
    int32_t sheetY = 0;
    uint8_t sheetOffset = 0;  // added to sheetX when drawing
    bool operator==(const MenuButton&) const = default;
};

// Entries 1..24 are the looks of the screens' buttons; one stage slot per stage follows.
constexpr int kMenuButtonCount = 24 + kStageCount;

// The working records of one call of the match loop, also the shape of the copies a
// pause keeps.
struct MatchRecords {
    PuckSet pucks;
    Paddles paddles{};
    ObstacleSet obstacles;
    ItemRecord item;
    SpriteTable sprites;
    bool operator==(const MatchRecords&) const = default;
};

}  // namespace vx
