// The item strip's places on the table and the gauge that shows how long the running
// effect has left.
#pragma once

#include <cstdint>

#include "core/match_records.h"

namespace vx {

struct Game;

namespace item_place {
constexpr int32_t kIconY = 293;
constexpr int32_t kIconSize = 28;
constexpr int32_t kIconX1 = 77;   // player 1
constexpr int32_t kIconX2 = 410;  // player 2
constexpr int32_t kStripX = 175, kStripY = 323, kStripW = 162, kStripH = 16;
constexpr int32_t kGaugeX = 117, kGaugeY = 293, kGaugeW = 280, kGaugeH = 15;
constexpr int32_t kStoredGaugeX = 0, kStoredGaugeY = 411;  // the empty gauge in BufPict
}  // namespace item_place

// The gauge of the running effect: timer 600 is full, 0 empty. In a frame of local play
// (mayLeave) a gauge still on screen as the last such frame drew it for the same steps is
// left as it is (its GaugeMark): drawing it again would give the same pixels.
void DrawItemGauge(Game& g, int16_t timer, const PuckSet& pucks, bool mayLeave = false);
// The table over the gauge's spent steps (of 40, `full` left): its right part shows the
// table itself, not the empty gauge.
void RestoreSpentGauge(Game& g, int full);

}  // namespace vx
