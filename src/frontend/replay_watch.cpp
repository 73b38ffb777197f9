#include "frontend/replay_watch.h"

#include "core/game.h"
#include "core/match_settings.h"
#include "frontend/sys_data.h"
#include "frontend/title_screen.h"
#include "match/match_sequences.h"
#include "sound/music.h"

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
    g.Menu.SetGameStartItemsEnabled(false);
    g.ScreenState = screen_state::kBusy;
    g.MatchRequest = match_request::kNone;
    StopMusic(g);
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
    g.Menu.SetOptionItemsEnabled(true);
    g.Menu.SetEnabled(MenuId::MenuPause, false);
    g.Menu.SetEnabled(MenuId::MenuRePlay, false);
    g.ScreenState = screen_state::kBusy;
    ShowTitle(g, false);
    g.flow.Do([](Game& g) {
        g.Menu.SetGameStartItemsEnabled(true);
        SwitchToOpeningMusic(g);
    });
}

}  // namespace

void EndWatchingIfOver(Game& g) {
    MatchKeyLog& log = g.KeyLog;
    if (log.mode != MatchKeyLog::Mode::kWatching || g.host.Ending()) return;
    if (g.ScreenState == screen_state::kResult) {
        // The result stays a moment; its buttons belong to a match the player played.
        g.ScreenState = screen_state::kBusy;
        g.flow.WaitMs(kResultShownMs);
        g.flow.Do(BackToTitle);
    } else if (log.ranOut) {
        BackToTitle(g);
    }
    // Else paused: R resumes the replay, S stops it.
}

}  // namespace vx
