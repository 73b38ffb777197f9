// What the player sees and hears of a frame's events, after the step: a goal's score, an
// item's icons, strip and Blind side, and the sounds, in the order the step made them.
#pragma once

#include <cstdint>
#include <string_view>

#include "core/match_events.h"

namespace vx {

struct Game;

namespace event_output {
constexpr uint8_t kPictures = 1;
constexpr uint8_t kSounds = 2;
constexpr uint8_t kAll = kPictures | kSounds;
}  // namespace event_output

// The effect a match sound plays.
std::string_view EffectOf(uint8_t matchSound);

// Draws and plays events in their order; output says which of the two.
void OutputMatchEvents(Game& g, const MatchEvents& events, uint8_t output);

}  // namespace vx
