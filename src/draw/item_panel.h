// The item panel below the table: the held-item icons of the players, the item's name
// strip and (drawn with the frame) the gauge; and the Blind effect's black side.
#pragma once

#include <cstdint>

#include "core/match_records.h"

namespace vx {

struct Game;

// A caught capsule: the kind's icon beside its owner (both sides for the kinds that act
// on both), its name strip, and for Blind the owner's side painted black.
void DrawItemStarted(Game& g, uint8_t kind, int16_t owner);
// An effect's time ran out: its icons go; when it was undone (Double waits for a free
// puck slot), the effect's own leftovers go too; the name strip goes either way.
void DrawItemEnded(Game& g, uint8_t kind, int16_t owner, bool undone);

// The held-item icons, the item's name strip and the gauge drawn afresh from item (for a
// picture whose step-by-step drawing was undone by a network match's rollback).
void RepaintItemPanel(Game& g, const ItemRecord& item);

}  // namespace vx
