#include "frontend/replay_watch.h"

#include "core/game.h"
#include "core/match_settings.h"
#include "frontend/sys_data.h"
#include "frontend/title_screen.h"
#include "match/match_sequences.h"
#include "match/screen_change.h"

namespace vx {

namespace {
constexpr int32_t kResultShownMs = 2000;  // the result stays on screen this long
}  // namespace

bool CanWatchReplay(const Game& g) {
    return g.ScreenState == screen_state::kTitle && g.Menu.Enabled(MenuId::MenuWatch);
}

void WatchReplay(Game& g, const Replay& replay) {
    if (!CanWatchReplay(g)) return;
    MatchKeyLog& log = g.KeyLog;
    log.savedOptions = EncodeSettings(g);
    log.mode = MatchKeyLog::Mode::kWatching;
    log.keys = replay.keys;
    log.seed = replay.seed;
    g.GameMode = replay.gameMode;
    match_settings::UseForMatch(
        g, {replay.stageNo, replay.ruleKind, replay.timeLimit, replay.scoreLimit, replay.difficulty});
    EnterScreen(g, Screen::kToMatch);
    g.MatchRequest = match_request::kNone;
    StartMatch(g);
    g.flow.Do(EndWatchingIfOver);
}

namespace {

// The watched match is over: the player's options and the title again.
void BackToTitle(Game& g) {
    MatchKeyLog& log = g.KeyLog;
    log.mode = MatchKeyLog::Mode::kOff;
    g.MatchRequest = match_request::kNone;
    ApplySettings(g);
    EnterScreen(g, Screen::kToTitle);
    ShowTitle(g, false);
}

}  // namespace

void EndWatchingIfOver(Game& g) {
    MatchKeyLog& log = g.KeyLog;
    if (log.mode != MatchKeyLog::Mode::kWatching || g.host.Ending()) return;
    if (g.ScreenState == screen_state::kResult) {
        // The result stays a moment; its buttons belong to a match the player played.
        EnterScreen(g, Screen::kBusy);
        g.flow.WaitMs(kResultShownMs);
        g.flow.Do(BackToTitle);
    } else if (log.ranOut) {
        BackToTitle(g);
    }
    // Else paused: R resumes the replay, S stops it.
}

}  // namespace vx
