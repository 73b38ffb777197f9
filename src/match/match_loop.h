// The match loop: RunMatch plays one match, or the rest of a paused one, frame by frame
// as steps of the game's flow on the host's millisecond clock, until the result screen
// or a pause.
#pragma once

#include <cstdint>

#include "core/match_events.h"
#include "core/match_records.h"

namespace vx {

struct Game;

namespace match_timing {
constexpr int32_t kFramePeriodMs = 33;  // a frame ends at the first reading past this: 34 ms
constexpr int32_t kIntroFirstWaitMs = 200;
constexpr int32_t kReadyWaitMs = 800;
constexpr int32_t kGoWaitMs = 500;
}  // namespace match_timing

// A new match's state: the generator started from seed (reseeds stir in the seed and
// the frame number from here on), the records set up for the stage, frame 0.
void SetUpMatchState(Game& g, MatchRecords& r, uint8_t stageNo, uint64_t seed);

// The seed of a new match, drawn from the running generator after stirring in the time.
uint64_t DrawMatchSeed(Game& g);

// The intro draws the first frame three times and each draw counts the clock once.
constexpr int kIntroClockCounts = 3;

// Queues the match on g.flow: it plays until ScreenState is 5 (result screen,
// MatchRequest 5) or 6 (paused, MatchRequest 1, the records in g.Saved). Entered with
// ScreenState 8 it resumes from g.Saved without the intro. Each frame notes FrameStart,
// lets the pending events run, plays its turn and waits past FrameStart + 33 ms; the
// steps queued after RunMatch run once the loop is left. gameMode and stageNo are read
// when the steps run and must outlive them (the game's own fields).
void RunMatch(Game& g, uint8_t& gameMode, uint8_t& stageNo);

// One frame of the match with the frame's keys, drawing and playing nothing: StepMatch
// (src/sim/), then the clock's count. Returns the frame's events for the drawing and the
// sound to follow.
MatchEvents StepMatchFrame(Game& g, MatchRecords& r, uint8_t gameMode, const KeyFlagSet& keys);
// The same with the keys held now, g.KeyFlags (a local match and its replays).
MatchEvents StepMatchFrame(Game& g, MatchRecords& r, uint8_t gameMode);

// One frame of play: erase, StepMatchFrame, its events drawn and played, draw.
void PlayFrame(Game& g, MatchRecords& r, uint8_t gameMode);

// The pause command (PauseMatch, which the P key also reaches): a request the loop
// honours after the current frame's wait, and only while a match is being played.
void RequestPause(Game& g);

}  // namespace vx
