#include "match/match_sequences.h"

#include "core/game.h"
#include "core/sheet_layout.h"
#include "draw/match_panel.h"
#include "draw/screen_pictures.h"
#include "draw/sprite_blit.h"
#include "match/match_loop.h"
#include "match/screen_change.h"
#include "match/screen_wipe.h"
#include "platform/asset_paths.h"

namespace vx {

namespace {

constexpr const char* kWaitingPicture = asset::kWaitingPicture;
constexpr const char* kTablePicture = asset::kTablePicture;
constexpr int32_t kWaitingShownMs = 1000;

// The masked draw of a line drawing into the background store.
void MaskedLinesToBuf(Game& g, const Surface& lines, int sx, int sy, int x, int y, int w, int h) {
    BitBlt(g.BufPict, x, y, w, h, &g.LMask, sx, sy, BlitOp::kSourceAndNotDest);
    BitBlt(g.BufPict, x, y, w, h, &lines, sx, sy, BlitOp::kXor);
}

// Steps shared by the end of both start sequences: the composed table faded in, the
// clean table back in BufPict with the panel strip the header saved, then the loop.
void FadeInTableAndPlay(Game& g, bool clearMask) {
    ScreenWipe(g, wipe_mode::kFadeIn);
    g.flow.Do([clearMask](Game& g) {
        if (!LoadScreenPicture(g, kTablePicture, g.BufPict)) return;
        BitBlt(g.BufPict, 0, 0, kScreenWidth, kScreenHeight, &g.BackPict, 0, 0, BlitOp::kCopy);
        BitBlt(g.BufPict, 56, 0, 400, 50, &g.LMask, 0, 0, BlitOp::kCopy);
        if (clearMask) g.LMask.Fill(kWhite);
        PlayAndShowPause(g);
    });
}

}  // namespace

bool MatchPaused(const Game& g) {
    return !g.Menu.Enabled(MenuId::MenuPause) && g.Menu.Enabled(MenuId::MenuRePlay);
}

void PlayAndShowPause(Game& g) {
    RunMatch(g, g.GameMode, g.StageNo);
    g.flow.Do([](Game& g) {
        if (g.ScreenState == screen_state::kPaused) ShowPauseScreen(g);
    });
}

void ShowGuestWaiting(Game& g) {
    ScreenWipe(g, wipe_mode::kFadeOut);
    g.flow.Do([](Game& g) {
        if (!LoadScreenPicture(g, asset::kWaitingPicture, g.BufPict)) return;
        BitBlt(g.BackPict, 0, 0, kScreenWidth, kScreenHeight, &g.BufPict, 0, 0, BlitOp::kCopy);
    });
    ScreenWipe(g, wipe_mode::kFadeIn);
    g.flow.Do([](Game& g) { EnterScreen(g, Screen::kGuestWaiting); });
}

void StartMatch(Game& g) {
    ScreenWipe(g, wipe_mode::kFadeOut);
    g.flow.Do([](Game& g) {
        if (!LoadScreenPicture(g, kWaitingPicture, g.BufPict)) return;
        BitBlt(g.BackPict, 0, 0, kScreenWidth, kScreenHeight, &g.BufPict, 0, 0, BlitOp::kCopy);
        const SheetSprite& digit = Sheet(StageFacts(g.StageNo).digit.sprite);
        BitBlt(g.BackPict, 375, 139, digit.w, digit.h, &g.Pict, digit.x, digit.y, BlitOp::kCopy);
        // The options lock before the waiting screen fades in: the match about to start
        // is played with them.
        SetGroupEnabled(g, MenuGroup::kOptions, false);
    });
    ScreenWipe(g, wipe_mode::kFadeIn);
    g.flow.Do([](Game& g) {
        if (!LoadScreenPicture(g, kWaitingPicture, g.BufPict)) return;
        EnterScreen(g, Screen::kWaiting);
    });
    g.flow.WaitMs(kWaitingShownMs);
    ScreenWipe(g, wipe_mode::kFadeOut);
    g.flow.Do([](Game& g) {
        if (!LoadScreenPicture(g, kTablePicture, g.BufPict)) return;
        ComposeStage(g);
        DrawMatchHeader(g);
    });
    FadeInTableAndPlay(g, false);
}

void RetryMatch(Game& g) {
    ScreenWipe(g, wipe_mode::kFadeOut);
    g.flow.Do([](Game& g) {
        if (!LoadScreenPicture(g, kTablePicture, g.BufPict)) return;
        MakeMask(g.LMask, g.LinePict, g.LinePict.Width(), g.LinePict.Height(), kWhite);
        ComposeStage(g);
        DrawMatchHeader(g);
    });
    FadeInTableAndPlay(g, true);
}

void ComposeStage(Game& g) {
    const StageLines& lines = StageFacts(g.StageNo).lines;
    const Box& src = lines.source;
    switch (lines.picture) {
        case LinePicture::kLinePict:
            MaskedLinesToBuf(g, g.LinePict, src.x, src.y, lines.at.x, lines.at.y, src.w, src.h);
            break;
        case LinePicture::kSt3:
            g.LMask.Fill(kWhite);
            MakeMask(g.LMask, g.St3, g.St3.Width(), g.St3.Height(), kWhite);
            // Two passes over the table are part of how this picture is composed.
            MaskedLinesToBuf(g, g.St3, src.x, src.y, lines.at.x, lines.at.y, src.w, src.h);
            MaskedLinesToBuf(g, g.St3, src.x, src.y, lines.at.x, lines.at.y, src.w, src.h);
            break;
        case LinePicture::kNone: break;
    }
    BitBlt(g.BackPict, 0, 0, kScreenWidth, kScreenHeight, &g.BufPict, 0, 0, BlitOp::kCopy);
}

void ShowPauseScreen(Game& g) {
    if (!(g.Menu.Enabled(MenuId::MenuPause) && !g.Menu.Enabled(MenuId::MenuRePlay) &&
          g.ScreenState == screen_state::kPaused))
        return;
    EnterScreen(g, Screen::kPaused);
    const SheetSprite& pause = Sheet("msg.pause");
    ScreenBlit(g, 25, 145, pause.w, pause.h, pause.x, pause.y, blit_mode::kScreenSprite);
    RefreshMainPict(g);
}

void ResumeMatch(Game& g) {
    if (!MatchPaused(g)) return;
    EnterScreen(g, Screen::kResumeRequested);
    g.MatchRequest = match_request::kNone;
    ScreenBlit(g, 0, 0, kScreenWidth, kScreenHeight, 0, 0, blit_mode::kPresent);
    RefreshMainPict(g);
    PlayAndShowPause(g);
}

}  // namespace vx
