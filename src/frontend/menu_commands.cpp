#include "frontend/menu_commands.h"

#include "core/game.h"
#include "core/match_settings.h"
#include "draw/buttons.h"
#include "frontend/replay_watch.h"
#include "frontend/stage_select.h"
#include "frontend/sys_data.h"
#include "frontend/title_screen.h"
#include "match/match_loop.h"
#include "match/match_sequences.h"
#include "match/screen_change.h"
#include "sound/effects.h"
#include "sound/music.h"

namespace vx {

namespace {

// Item index (1..3) of the group: the options change, the menu shows them, they are
// saved and the next match is played with them.
void ChooseItem(Game& g, Choice choice, int16_t index) {
    if (index < 1 || index > static_cast<int16_t>(kChoiceItems)) return;
    Choose(g.Options, choice, static_cast<uint8_t>(index - 1));
    ShowOptions(g.Menu, g.Options);
    match_settings::UseOptionsForMatch(g);
    SaveSettings(g);
}

// The switch flips; the menu shows it and it is saved.
bool FlipSwitch(Game& g, Switch which) {
    g.Options.Set(which, !g.Options.On(which));
    ShowOptions(g.Menu, g.Options);
    return g.Options.On(which);
}

// The press is shown on the title's buttons first, as if the button had been clicked.
void StartGameFromMenu(Game& g, int16_t titleButton, uint8_t mode) {
    DrawButtonLooks(g, kTitleButtons, titleButton, ButtonLook::kPressed);
    PlayEffect(g, effect::kClick, effect_mode::kStart);
    DrawButtonLooks(g, kTitleButtons, titleButton, ButtonLook::kHover);
    EnterScreen(g, Screen::kLeavingTitle);
    g.GameMode = mode;
    ShowStageSelect(g);
}

}  // namespace

void StartVsCpu(Game& g) {
    // Only from the title: a command that arrives during a screen change must not start
    // a nested sequence.
    if (g.ScreenState != screen_state::kTitle) return;
    StartGameFromMenu(g, button::kVsCpu, 1);
}

void StartVs2P(Game& g) {
    if (g.ScreenState != screen_state::kTitle) return;
    StartGameFromMenu(g, button::kVs2P, 2);
}

void PauseMatch(Game& g) {
    RequestPause(g);
}

void ResumePausedMatch(Game& g) {
    if (!MatchPaused(g)) return;
    ResumeMatch(g);
    g.flow.Do(EndWatchingIfOver);
}

void StopPausedMatch(Game& g) {
    if (!g.Menu.Enabled(MenuId::MenuPause) && g.Menu.Enabled(MenuId::MenuRePlay)) StopMatch(g);
}

void QuitProgram(Game& g) {
    EndTheProgram(g);
}

void ChooseTimeLimit(Game& g, int16_t index) {
    ChooseItem(g, Choice::kTime, index);
}

void ChooseScoreLimit(Game& g, int16_t index) {
    ChooseItem(g, Choice::kScore, index);
}

void ChooseDifficulty(Game& g, int16_t index) {
    ChooseItem(g, Choice::kDifficulty, index);
}

void ToggleEffects(Game& g) {
    FlipSwitch(g, Switch::kEffects);
    SaveSettings(g);
}

void ToggleMusic(Game& g) {
    if (FlipSwitch(g, Switch::kMusic)) {
        const uint8_t s = g.ScreenState;
        if (s == screen_state::kTitle || s == screen_state::kStageSelect || s == screen_state::kResult) {
            StartMusic(g, Tune::kOpening);
        } else if (s == screen_state::kPlaying) {
            StartMusic(g, Tune::kMatch);
        }
    } else {
        StopMusic(g);
    }
    SaveSettings(g);
}

}  // namespace vx
