// The sequences around a match: starting it (waiting screen, composed table, panel,
// fade-in, the loop), retrying it from the result screen, and the pause screen with
// the resume and stop commands of a paused match.
#pragma once

namespace vx {

struct Game;

// Each queues its sequence on g.flow: it ends when the match reached its result screen
// (ScreenState 5) or was paused and the pause screen is shown (6). The caller has set
// ScreenState 10.
void StartMatch(Game& g);
// The waiting picture without a stage number, faded in, for a network guest or a watcher
// while the host chooses: ends on Screen::kGuestWaiting.
void ShowGuestWaiting(Game& g);
void RetryMatch(Game& g);
// The match loop, then the pause screen if the match was paused.
void PlayAndShowPause(Game& g);
// Draws the stage's lines into BufPict and copies BufPict to BackPict.
void ComposeStage(Game& g);
void ShowPauseScreen(Game& g);
void ResumeMatch(Game& g);
// True while a paused match waits for resume or stop.
bool MatchPaused(const Game& g);

}  // namespace vx
