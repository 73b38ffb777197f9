// Sound effects: every effect in the game goes through PlayEffect, named by the base
// name of its .wav file in the dat folder. The names of all effects are in `effect`.
#pragma once

#include <cstdint>
#include <string_view>

namespace vx {

struct Game;

namespace effect_mode {
constexpr uint8_t kStart = 1;     // start and return at once
constexpr uint8_t kToTheEnd = 2;  // return when it has finished
}  // namespace effect_mode

// Which effect each event plays. Program files are found whatever the letter case, so
// "Wave8" plays dat/wave8.wav; a missing file is reported under the name given here.
namespace effect {
constexpr std::string_view kPaddleHit = "Wave1";    // a puck in play meets a paddle; the about box opens
constexpr std::string_view kBurst = "wave2";        // a puck bursts: in a goal or meeting another puck
constexpr std::string_view kClick = "wave3";        // a button or a game-start command
constexpr std::string_view kReady = "wave4";        // "Ready" as a match begins
constexpr std::string_view kDraw = "wave5";         // the match ends level
constexpr std::string_view kPlayer1Wins = "Wave6";  // 1P VS 2P, player 1 wins
constexpr std::string_view kPlayer2Wins = "wave7";  // 1P VS 2P, player 2 wins
constexpr std::string_view kYouLose = "Wave8";      // 1P VS CPU, the CPU wins
constexpr std::string_view kYouWin = "Wave9";       // 1P VS CPU, the player wins
constexpr std::string_view kTimeUp = "wave10";      // the clock reaches zero
constexpr std::string_view kGameSet = "wave11";     // a player reaches the score limit
}  // namespace effect

void PlayEffect(Game& g, std::string_view name, uint8_t mode);

}  // namespace vx
