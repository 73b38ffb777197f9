// The match panel above the table: both scores, the side marks and either the clock
// or the score limit.
#pragma once

#include <cstdint>

namespace vx {

struct Game;

// Places of the panel's images on the screen; the images come from the sheet layout.
namespace panel {
constexpr int32_t kScoreY = 22;
constexpr int32_t kScoreH = 24;  // the small digits' height
// Player p's score area starts at x = 304 p + 70 and is 70 pixels wide.
constexpr int32_t ScoreLeft(int p) {
    return 304 * p + 70;
}
}  // namespace panel

// Redraws player p's score (p = 0 player 1, 1 player 2). A score of 100 or more shows
// its last two digits.
void DrawScore(Game& g, int16_t p);
// The same with the score given: a goal's score as it was when it was made.
void DrawScoreOf(Game& g, int16_t p, int score);

// Sets up the panel of a new match: marks, both scores to 0 and drawn, then the score
// limit or the clock. Leaves the 400 x 50 strip at (56, 0) of BackPict in LMask for the
// match sequences to put into the background store.
void DrawMatchHeader(Game& g);

// Large clock digit d drawn at (x, 14).
void DrawClockDigit(Game& g, int32_t x, int digit);

}  // namespace vx
