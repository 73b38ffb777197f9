#include "frontend/title_screen.h"

#include "core/game.h"
#include "core/match_frame_source.h"
#include "draw/buttons.h"
#include "draw/menu_buttons.h"
#include "draw/screen_pictures.h"
#include "draw/sprite_blit.h"
#include "frontend/sys_data.h"
#include "match/match_sequences.h"
#include "match/replay_recorder.h"
#include "match/screen_wipe.h"
#include "platform/asset_paths.h"
#include "sound/music.h"

namespace vx {

namespace {
constexpr const char* kTitlePicture = asset::kTitlePicture;
}  // namespace

void ShowTitle(Game& g, bool startup) {
    EndMatchRandom(g);
    g.random.Randomize();
    g.MatchRequest = match_request::kNone;

    if (startup) {
        MakeMask(g.Mask, g.Pict, g.Pict.Width(), g.Pict.Height(), kWhite);
        g.ScreenState = screen_state::kTitle;
        for (uint8_t n = 1; n <= kMenuButtonCount; ++n) InitMenuButton(g, n);
        if (!LoadScreenPicture(g, kTitlePicture, g.BufPict)) return;
        BitBlt(g.BackPict, 0, 0, kScreenWidth, kScreenHeight, &g.BufPict, 0, 0, BlitOp::kCopy);
        DrawButtonLooks(g, kTitleButtons, 0, ButtonLook::kNormal);
        PresentBack(g, 0, 0, kScreenWidth, kScreenHeight);
        RefreshMainPict(g);
        return;
    }

    ScreenWipe(g, wipe_mode::kFadeOut);
    g.flow.Do([](Game& g) {
        if (!LoadScreenPicture(g, kTitlePicture, g.BufPict)) return;
        BitBlt(g.BackPict, 0, 0, kScreenWidth, kScreenHeight, &g.BufPict, 0, 0, BlitOp::kCopy);
        for (const ButtonLooks& b : kTitleButtons) DrawButton(g, b.normal, 0);
    });
    ScreenWipe(g, wipe_mode::kFadeIn);
    g.flow.Do([](Game& g) {
        // The fade-in leaves its copy of BackPict in BufPict; hover redraws need the clean title.
        if (!LoadScreenPicture(g, kTitlePicture, g.BufPict)) return;
        g.ScreenState = screen_state::kTitle;
    });
}

void StopMatch(Game& g) {
    if (!MatchPaused(g)) return;
    // A network match stops on both sides; the connection ends with it.
    if (g.frameSource != nullptr) g.frameSource->Stopped(g);
    // The part played so far becomes a replay; a watched replay just ends.
    if (g.KeyLog.mode == MatchKeyLog::Mode::kWatching) g.KeyLog.mode = MatchKeyLog::Mode::kOff;
    FinishReplay(g, 0);
    g.Menu.SetOptionItemsEnabled(true);
    g.MatchRequest = match_request::kNone;
    g.host.SetMousePointer(MousePointer::Normal);
    g.Menu.SetGameStartItemsEnabled(true);
    g.Menu.SetEnabled(MenuId::MenuRePlay, false);
    g.Menu.SetEnabled(MenuId::MenuGameStop, false);
    ApplySettings(g);
    g.ScreenState = screen_state::kBusy;
    ShowTitle(g, false);
    g.flow.Do(SwitchToOpeningMusic);
}

}  // namespace vx
