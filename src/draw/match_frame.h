// The match frame: EraseFrame puts the clean table back under everything that moved,
// DrawFrame draws paddles, pucks, the capsule or the item gauge and the clock at their
// new places (DrawBlindFrame while Blind hides one side), all through BackPict.
#pragma once

#include <array>
#include <cstdint>

#include "core/arith.h"
#include "core/match_records.h"

namespace vx {

struct Game;

// A frame of local play restores a paddle's block only once it knows whether the paddle
// moved: EraseFrame leaves the block of a paddle that is on screen as the last such frame
// drew it (its PaddleMark intact), and DrawFrame leaves it be if the paddle stands there
// with the same look, or restores it before any paddle is drawn. A restore copies from
// BufPict, so one made later gives the same picture while only other restores write
// there meanwhile: a frame whose events draw (a goal, an item) makes the restores left
// (MakePaddleRestores) before its events are drawn. Without `later` every paddle is
// restored and drawn, and the marks are forgotten.
struct PaddleRestores {
    std::array<Rect, 4> block{};  // each paddle's block as the erase found it
    std::array<bool, 4> left{};   // not restored yet
};

void EraseFrame(Game& g, PuckSet& pucks, Paddles& paddles, ItemRecord& item, SpriteTable& sprites,
                PaddleRestores* later = nullptr);
void MakePaddleRestores(Game& g, PaddleRestores& later);
void DrawFrame(Game& g, PuckSet& pucks, Paddles& paddles, ItemRecord& item, SpriteTable& sprites,
               PaddleRestores* later = nullptr);
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
