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
#include "sound/effects.h"
#include "sound/music.h"

namespace vx {

namespace {

// The six rule items form one choice, time or score.
void ClearRuleChoice(Game& g) {
    for (int i = 1; i <= 3; ++i) {
        g.Menu.SetChecked(MenuModel::Time(i), false);
        g.Menu.SetChecked(MenuModel::Score(i), false);
    }
    g.TimeChecks = {kFalse, kFalse, kFalse};
    g.ScoreChecks = {kFalse, kFalse, kFalse};
}

bool ValidIndex(int16_t index) {
    return index >= 1 && index <= 3;
}

// The press is shown on the title's buttons first, as if the button had been clicked.
void StartGameFromMenu(Game& g, int16_t titleButton, uint8_t mode) {
    DrawButtonLooks(g, kTitleButtons, titleButton, ButtonLook::kPressed);
    PlayEffect(g, effect::kClick, effect_mode::kStart);
    DrawButtonLooks(g, kTitleButtons, titleButton, ButtonLook::kHover);
    g.ScreenState = screen_state::kBusy;
    g.GameMode = mode;
    ShowStageSelect(g);
    g.flow.Do([](Game& g) { g.Menu.SetGameStartItemsEnabled(false); });
}

}  // namespace

void MenuVSCPU_Click(Game& g) {
    // Only from the title: the stop command enables this item before its fade back to
    // the title has finished, and a click then must not start a nested sequence.
    if (g.ScreenState != screen_state::kTitle) return;
    StartGameFromMenu(g, button::kVsCpu, 1);
}

void MenuVS2P_Click(Game& g) {
    if (g.ScreenState != screen_state::kTitle) return;
    StartGameFromMenu(g, button::kVs2P, 2);
}

void MenuPause_Click(Game& g) {
    RequestPause(g);
}

void MenuRePlay_Click(Game& g) {
    if (!MatchPaused(g)) return;
    ResumeMatch(g);
    g.flow.Do(EndWatchingIfOver);
}

void MenuGameStop_Click(Game& g) {
    if (!g.Menu.Enabled(MenuId::MenuPause) && g.Menu.Enabled(MenuId::MenuRePlay)) StopMatch(g);
}

void MenuEnd_Click(Game& g) {
    EndTheProgram(g);
}

void Menutime_Click(Game& g, int16_t index) {
    if (!ValidIndex(index)) return;
    ClearRuleChoice(g);
    g.RuleKind = rule_kind::kTime;
    g.TimeLeft = match_settings::kTimeLimits[static_cast<size_t>(index - 1)];
    g.Menu.SetChecked(MenuModel::Time(index), true);
    g.TimeChecks[static_cast<size_t>(index - 1)] = kTrue;
    SaveSettings(g);
}

void Menuscr_Click(Game& g, int16_t index) {
    if (!ValidIndex(index)) return;
    ClearRuleChoice(g);
    g.RuleKind = rule_kind::kScore;
    g.ScoreLimit = match_settings::kScoreLimits[static_cast<size_t>(index - 1)];
    g.Menu.SetChecked(MenuModel::Score(index), true);
    g.ScoreChecks[static_cast<size_t>(index - 1)] = kTrue;
    SaveSettings(g);
}

void MenuDiffMode_Click(Game& g, int16_t index) {
    if (!ValidIndex(index)) return;
    for (int i = 1; i <= 3; ++i) g.Menu.SetChecked(MenuModel::Diff(i), false);
    g.LevelChecks = {kFalse, kFalse, kFalse};
    g.Difficulty = match_settings::kDifficulties[static_cast<size_t>(index - 1)];
    g.Menu.SetChecked(MenuModel::Diff(index), true);
    g.LevelChecks[static_cast<size_t>(index - 1)] = kTrue;
    SaveSettings(g);
}

void MenuWave_Click(Game& g) {
    const bool on = !g.Menu.Checked(MenuId::MenuWave);
    g.Menu.SetChecked(MenuId::MenuWave, on);
    g.EffectsOn = ToBool16(on);
    SaveSettings(g);
}

void MenuMidi_Click(Game& g) {
    if (!g.Menu.Checked(MenuId::MenuMidi)) {
        g.Menu.SetChecked(MenuId::MenuMidi, true);
        g.MusicOn = kTrue;
        const uint8_t s = g.ScreenState;
        if (s == screen_state::kTitle || s == screen_state::kStageSelect || s == screen_state::kResult) {
            StartMusic(g, "\\dat\\opening.mid");
        } else if (s == screen_state::kPlaying) {
            StartMusic(g, "\\dat\\bgm1.mid");
        }
    } else {
        g.Menu.SetChecked(MenuId::MenuMidi, false);
        g.MusicOn = kFalse;
        StopMusicAndTimer(g);
    }
    SaveSettings(g);
}

void Timer1_Timer(Game& g) {
    ServiceMusic(g, 0);
}

}  // namespace vx
