// The match step: one frame of play as a function of the match state and the frame's
// keys, returning what happened. It draws nothing, plays nothing and reads no clock, so
// the same state and keys always give the same state and events, and a frame may be
// stepped again (a network match's rollback) with nothing to silence or undo.
#pragma once

#include <cstdint>

#include "core/match_events.h"
#include "core/match_records.h"

namespace vx {

struct Game;

// The frame's moves in their fixed order: paddles from keys, the CPU (1P VS CPU only),
// three puck steps, the item, the serve, freeing finished bursts. The match fields of g
// (scores, the generator, the stage's posts) change with it; the clock is counted by
// the caller after it.
MatchEvents StepMatch(Game& g, MatchRecords& r, uint8_t gameMode, const KeyFlagSet& keys);

}  // namespace vx
