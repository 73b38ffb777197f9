// The item capsule and its effects: StepItem places, moves and awards the capsule and
// ends effects; ApplyItem starts or undoes one of the nine effects; DrawItemGauge shows
// the time an effect has left.
#pragma once

#include <cstdint>

#include "match/match_records.h"
#include "stage/arith.h"

namespace vx {

struct Game;

namespace item_phase {
constexpr uint8_t kNone = 0;
constexpr uint8_t kEffect = 2;
constexpr uint8_t kCapsuleWaiting = 12;
constexpr uint8_t kCapsuleMoving = 13;
}  // namespace item_phase

namespace item_timing {
constexpr int16_t kCapsuleTimer = 300;  // 150 frames unstruck
constexpr int16_t kEffectTimer = 600;   // 300 frames in force
constexpr int16_t kTimerStep = 2;
}  // namespace item_timing

namespace item_place {
constexpr int32_t kIconY = 293;
constexpr int32_t kIconSize = 28;
constexpr int32_t kIconX1 = 77;   // player 1
constexpr int32_t kIconX2 = 410;  // player 2
constexpr int32_t kStripX = 175, kStripY = 323, kStripW = 162, kStripH = 16;
constexpr int32_t kGaugeX = 117, kGaugeY = 293, kGaugeW = 280, kGaugeH = 15;
constexpr int32_t kGaugeSheetX = 0, kGaugeSheetY = 411;  // full image in Pict, empty one in BufPict
}  // namespace item_place

// Once per frame, after the three puck steps.
void StepItem(Game& g, ItemRecord& item, PuckSet& pucks, Paddles& paddles, SpriteTable& sprites);

// Starts (on true) or undoes (on false) effect kind for owner (-1 player 1, +1 player 2).
void ApplyItem(Game& g, PuckSet& pucks, Paddles& paddles, SpriteTable& sprites, uint8_t kind, int16_t owner,
               Bool16 on);

// Paddle i back to its default length, rebound kind, look and direction, centred on its
// current y.
void RestorePaddle(Paddles& paddles, SpriteTable& sprites, int i);

// The gauge of the running effect: timer 600 is full, 0 empty.
void DrawItemGauge(Game& g, int16_t timer, const PuckSet& pucks);

}  // namespace vx
