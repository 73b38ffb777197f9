// ScreenWipe: the two-step dithered fade between screens. Mode 1 fades BackPict out to
// black, mode 2 fades in the picture the caller composed in BackPict; any other mode
// does nothing. Each half-step shows for 100 ms: the wipe is four steps of the flow.
#pragma once

#include <cstdint>

namespace vx {

struct Game;

namespace wipe_mode {
constexpr uint8_t kFadeOut = 1;
constexpr uint8_t kFadeIn = 2;
}  // namespace wipe_mode

// Queues the wipe's steps on g.flow (after the running step, or last from a handler).
void ScreenWipe(Game& g, uint8_t mode);

}  // namespace vx
