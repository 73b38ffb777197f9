#include "core/wait_rule.h"

#include "core/game.h"

namespace vx {

bool WaitMs(Game& g, int32_t waitMs) {
    g.FrameStart = g.host.NowMs();
    return g.host.WaitPast(g.FrameStart + waitMs);
}

bool LetEventsRun(Game& g) {
    return g.host.DoEvents();
}

}  // namespace vx
