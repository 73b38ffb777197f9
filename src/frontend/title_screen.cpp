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
#include "match/screen_change.h"
#include "match/screen_wipe.h"
#include "platform/asset_paths.h"

namespace vx {

namespace {
constexpr const char* kTitlePicture = asset::kTitlePicture;
}  // namespace

void ShowTitle(Game& g, bool startup, Screen arrival) {
    EndMatchRandom(g);
    g.random.Randomize();
    g.MatchRequest = match_request::kNone;

    if (startup) {
        MakeMask(g.Mask, g.Pict, g.Pict.Width(), g.Pict.Height(), kWhite);
        EnterScreen(g, Screen::kTitleKeepingTune);
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
    g.flow.Do([arrival](Game& g) {
        // The fade-in leaves its copy of BackPict in BufPict; hover redraws need the clean title.
        if (!LoadScreenPicture(g, kTitlePicture, g.BufPict)) return;
        EnterScreen(g, arrival);
    });
}

void StopMatch(Game& g) {
    if (!MatchPaused(g)) return;
    // A network match stops on both sides; the connection ends with it.
    if (g.frameSource != nullptr) g.frameSource->Stopped(g);
    // The part played so far becomes a replay; a watched replay just ends.
    if (g.KeyLog.mode == MatchKeyLog::Mode::kWatching) g.KeyLog.mode = MatchKeyLog::Mode::kOff;
    FinishReplay(g, 0);
    g.MatchRequest = match_request::kNone;
    ApplySettings(g);
    EnterScreen(g, Screen::kToTitle);
    ShowTitle(g, false);
}

}  // namespace vx
