// The rules of a match: the end tests applied after every frame (time up under the
// time rule, a score at the limit under the score rule) and the end-of-match sequence
// that shows the result and the result screen's buttons.
#pragma once

#include <cstdint>

#include "core/match_records.h"

namespace vx {

struct Game;

namespace match_result {
constexpr int16_t kUndecided = 0;
constexpr int16_t kPlayer1 = 1;
constexpr int16_t kPlayer2 = 2;  // or the computer
constexpr int16_t kDraw = 3;
}  // namespace match_result

// The match clock under the time rule: one second off time every 30 frames, never below
// zero. True when a second was counted (the drawing then shows the new digits).
bool CountClock(Game& g, int16_t& time);
// One frame's count of the match clock: under the time rule it counts, and a counted
// second marks the digits for the frame's drawing.
void CountFrameClock(Game& g);

// The end tests after a frame's drawing. When the match is decided this freezes the last
// frame and queues the whole ending on the flow (message, sound, waits, result, buttons),
// which leaves ScreenState 5 and MatchRequest 5, and returns true. r must live until the
// ending has run.
bool CheckMatchEnd(Game& g, MatchRecords& r);

// 0 while the match goes on, else the result: equal scores at time up draw, and under
// the score rule player 1 wins when both reach the limit in the same frame.
int16_t DecidedResult(const Game& g);

// The result message and jingle, then (a step of the flow later) the result screen with
// RETRY, STAGE SELECT and OPENING.
void ShowResult(Game& g, MatchRecords& r, int16_t result);

}  // namespace vx
