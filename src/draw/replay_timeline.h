// The watched replay's timeline: a thin bar across the bottom rows of the screen, the
// part played in the bright colour, the rest dark, and a mark where the replay stands
// (white while it plays, yellow while it is held). It is drawn straight onto MainPict
// after each frame of a watched replay and never in a match that is played.
#pragma once

#include <cstdint>
#include <optional>

namespace vx {

struct Game;

namespace replay_timeline {
constexpr int32_t kLeft = 8;
constexpr int32_t kWidth = 496;
constexpr int32_t kTop = 338;
constexpr int32_t kHeight = 4;
constexpr int32_t kClickTop = 330;  // a click from here to the bottom seeks
}  // namespace replay_timeline

// Draws the bar for frame of frames (frames > 0); held chooses the mark's colour.
void DrawReplayTimeline(Game& g, uint32_t frame, uint32_t frames, bool held);

// The frame a click at (x, y) of the picture asks for, or nothing when the click is not
// on the timeline.
std::optional<uint32_t> TimelineFrameAt(int32_t x, int32_t y, uint32_t frames);

}  // namespace vx
