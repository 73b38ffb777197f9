// Sound effects: every effect in the game goes through PlayEffect, named by the base
// name of its .wav file in the dat folder ("Wave1" and "wave1" are one file).
#pragma once

#include <cstdint>
#include <string_view>

namespace vx {

struct Game;

namespace effect_mode {
constexpr uint8_t kStart = 1;     // start and return at once
constexpr uint8_t kToTheEnd = 2;  // return when it has finished
}  // namespace effect_mode

void PlayEffect(Game& g, std::string_view name, uint8_t mode);

}  // namespace vx
