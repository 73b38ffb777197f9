// The drawing primitives every screen is composed with: restore background from
// BufPict, draw a masked sprite from Pict via BackPict, draw straight onto MainPict.
// Each reports the area of MainPict it changed to the host, and only that area.
#pragma once

#include <cstdint>

namespace vx {

struct Game;

namespace blit_mode {
constexpr int16_t kScreenSprite = -1;  // masked sprite straight onto MainPict
constexpr int16_t kPresent = 0;        // BackPict -> MainPict
}  // namespace blit_mode

// BufPict (xs, ys, w, h) -> BackPict (x, y) -> MainPict (x, y).
void RestoreRect(Game& g, int32_t x, int32_t y, int32_t w, int32_t h, int32_t xs, int32_t ys);
// Pict (xs, ys, w, h) drawn through Mask into BackPict at (x, y), then presented.
void DrawSprite(Game& g, int32_t x, int32_t y, int32_t w, int32_t h, int32_t xs, int32_t ys);
// Mode -1: masked sprite onto MainPict only; 0: BackPict (xs, ys) -> MainPict (x, y);
// any other mode: nothing.
void ScreenBlit(Game& g, int32_t x, int32_t y, int32_t w, int32_t h, int32_t xs, int32_t ys, int16_t mode);

// The masked transfer into BackPict alone (no presenting), for composers that present
// a larger area once.
void MaskedToBack(Game& g, int32_t x, int32_t y, int32_t w, int32_t h, int32_t xs, int32_t ys);
// BackPict (x, y, w, h) -> MainPict, presented.
void PresentBack(Game& g, int32_t x, int32_t y, int32_t w, int32_t h);
// Tells the host about a change made straight on MainPict.
void ReportChanged(Game& g, int32_t x, int32_t y, int32_t w, int32_t h);
// MainPict.Refresh.
void RefreshMainPict(Game& g);

}  // namespace vx
