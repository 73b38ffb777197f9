#include "match/wait_rule.h"

#include "match/game.h"
#include "sound/music.h"

namespace vx {

bool WaitMs(Game& g, int32_t waitMs) {
    g.FrameStart = g.host->NowMs();
    return g.host->WaitPast(g.FrameStart + waitMs);
}

bool LetEventsRun(Game& g) { return g.host->DoEvents(); }

void EndTheProgram(Game& g) {
    StopMusicAndTimer(g);
    g.host->EndProgram();
}

}  // namespace vx
