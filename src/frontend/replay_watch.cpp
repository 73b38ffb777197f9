#include "frontend/replay_watch.h"

#include <map>
#include <memory>

#include "core/game.h"
#include "core/match_settings.h"
#include "frontend/key_translator.h"
#include "frontend/replay_viewer.h"
#include "frontend/sys_data.h"
#include "frontend/title_screen.h"
#include "match/match_sequences.h"
#include "match/screen_change.h"

namespace vx {

namespace {

constexpr int32_t kResultShownMs = 2000;  // the result stays on screen this long

// The viewer of each game's watched replay. It outlives the match loop's pauses and goes
// with the way back to the title (or a new replay on the same game).
std::map<const Game*, std::unique_ptr<ReplayViewer>>& Viewers() {
    static std::map<const Game*, std::unique_ptr<ReplayViewer>> viewers;
    return viewers;
}

void ForgetViewer(Game& g) {
    auto& viewers = Viewers();
    const auto it = viewers.find(&g);
    if (it == viewers.end()) return;
    if (g.frameSource == it->second.get()) g.frameSource = nullptr;
    viewers.erase(it);
}

}  // namespace

ReplayViewer* WatchedReplay(const Game& g) {
    const auto& viewers = Viewers();
    const auto it = viewers.find(&g);
    if (it == viewers.end() || g.frameSource != it->second.get()) return nullptr;
    return it->second.get();
}

bool CanWatchReplay(const Game& g) {
    return g.ScreenState == screen_state::kTitle && g.Menu.Enabled(MenuId::MenuWatch);
}

void WatchReplay(Game& g, const Replay& replay, uint32_t startFrame) {
    if (!CanWatchReplay(g) || g.frameSource != nullptr) return;
    auto& viewer = Viewers()[&g];
    viewer = std::make_unique<ReplayViewer>(replay, startFrame);
    g.frameSource = viewer.get();
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
    ForgetViewer(g);
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

bool WatchKeyDown(Game& g, int16_t keyCode, bool shift) {
    ReplayViewer* viewer = WatchedReplay(g);
    if (viewer == nullptr) return false;
    // Quitting, the pause screen and its resume and stop stay the game's own keys.
    if (keyCode == vk::kEscape || keyCode == vk::kP || keyCode == vk::kR || keyCode == vk::kS) return false;
    if (g.ScreenState != screen_state::kPlaying) return true;
    switch (keyCode) {
        case vk::kSpace: viewer->ToggleHold(); break;
        case vk::kRight:
            if (shift)
                viewer->StepOne();
            else
                viewer->JumpBy(replay_view::kJumpFrames);
            break;
        case vk::kLeft: viewer->JumpBy(-static_cast<int64_t>(replay_view::kJumpFrames)); break;
        case vk::kPlus: viewer->Faster(); break;
        case vk::kMinus: viewer->Slower(); break;
        case vk::kHome: viewer->JumpTo(0); break;
        default: break;  // the paddle keys: the replay's keys move the paddles
    }
    return true;
}

bool WatchKeyUp(Game& g, int16_t keyCode) {
    return WatchedReplay(g) != nullptr && keyCode != vk::kEscape;
}

bool WatchPointerDown(Game& g, float x, float y) {
    ReplayViewer* viewer = WatchedReplay(g);
    if (viewer == nullptr || g.ScreenState != screen_state::kPlaying) return false;
    return viewer->ClickAt(static_cast<int32_t>(x), static_cast<int32_t>(y));
}

}  // namespace vx
