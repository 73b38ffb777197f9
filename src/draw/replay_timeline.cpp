#include "draw/replay_timeline.h"

#include <algorithm>

#include "core/game.h"
#include "draw/sprite_blit.h"

namespace vx {

namespace {

constexpr uint32_t kPlayedColour = 0x2FA8E0;
constexpr uint32_t kAheadColour = 0x303848;
constexpr uint32_t kPlayingMark = 0xFFFFFF;
constexpr uint32_t kHeldMark = 0xFFD020;

// The bar's column of frame: 0 at the start, kWidth - 1 at the last frame.
int32_t ColumnOf(uint32_t frame, uint32_t frames) {
    using namespace replay_timeline;
    if (frames == 0) return 0;
    const uint64_t f = std::min(frame, frames);
    return static_cast<int32_t>(f * static_cast<uint64_t>(kWidth - 1) / frames);
}

}  // namespace

void DrawReplayTimeline(Game& g, uint32_t frame, uint32_t frames, bool held) {
    using namespace replay_timeline;
    const int32_t mark = ColumnOf(frame, frames);
    for (int32_t y = kTop; y < kTop + kHeight; ++y) {
        for (int32_t i = 0; i < kWidth; ++i) {
            uint32_t colour = i <= mark ? kPlayedColour : kAheadColour;
            if (i >= mark - 1 && i <= mark + 1) colour = held ? kHeldMark : kPlayingMark;
            g.MainPict.SetPixel(kLeft + i, y, colour);
        }
    }
    ReportChanged(g, kLeft, kTop, kWidth, kHeight);
    RefreshMainPict(g);
}

std::optional<uint32_t> TimelineFrameAt(int32_t x, int32_t y, uint32_t frames) {
    using namespace replay_timeline;
    if (y < kClickTop || y >= kTop + kHeight || x < kLeft - 4 || x >= kLeft + kWidth + 4) return std::nullopt;
    const int32_t column = std::clamp(x - kLeft, 0, kWidth - 1);
    return static_cast<uint32_t>(static_cast<uint64_t>(column) * frames / static_cast<uint64_t>(kWidth - 1));
}

}  // namespace vx
