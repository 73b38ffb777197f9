// The item capsule and its effects: StepItem places, moves and awards the capsule and
// ends effects; ApplyItem starts or undoes one of the nine effects.
#pragma once

#include <cstdint>

#include "core/arith.h"
#include "core/match_records.h"
#include "draw/item_gauge.h"

namespace vx {

struct Game;

// Once per frame, after the three puck steps.
void StepItem(Game& g, ItemRecord& item, PuckSet& pucks, Paddles& paddles, SpriteTable& sprites);

// Starts (on true) or undoes (on false) effect kind for owner (-1 player 1, +1 player 2).
void ApplyItem(Game& g, PuckSet& pucks, Paddles& paddles, SpriteTable& sprites, uint8_t kind, int16_t owner,
               Bool16 on);

// The held-item icons, the item's name strip and the gauge drawn afresh from item (for a
// picture whose step-by-step drawing was undone by a network match's rollback).
void RepaintItemPanel(Game& g, const ItemRecord& item);

// Paddle i back to its default length, rebound kind, look and direction, centred on its
// current y.
void RestorePaddle(Paddles& paddles, SpriteTable& sprites, int i);

}  // namespace vx
