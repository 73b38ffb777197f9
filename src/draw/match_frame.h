// The match frame: EraseFrame puts the clean table back under everything that moved,
// DrawFrame draws paddles, pucks, the capsule or the item gauge and the clock at their
// new places (DrawBlindFrame while Blind hides one side), all through BackPict.
#pragma once

#include <cstdint>

#include "core/arith.h"
#include "core/match_records.h"

namespace vx {

struct Game;

void EraseFrame(Game& g, PuckSet& pucks, Paddles& paddles, ItemRecord& item, SpriteTable& sprites);
void DrawFrame(Game& g, PuckSet& pucks, Paddles& paddles, ItemRecord& item, SpriteTable& sprites);
void DrawBlindFrame(Game& g, PuckSet& pucks, Paddles& paddles, ItemRecord& item, SpriteTable& sprites);

// Redraws the clock's digits for time (seconds left).
void DrawClock(Game& g, int16_t time);

// Blind in force: the item's effect is Blind and running.
bool BlindInForce(const ItemRecord& item);
// Where paddle j's current look is drawn (x, y, 10, look height).
struct SpritePlace {
    int32_t x, y, w, h;
};
SpritePlace PaddleSpritePlace(const Paddles& paddles, const SpriteTable& sprites, int j);
// Paints the Blind area of the item's owner black on MainPict only.
void PaintBlindArea(Game& g, const ItemRecord& item);

}  // namespace vx
