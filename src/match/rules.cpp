#include "match/rules.h"

#include <string_view>

#include "core/game.h"
#include "draw/buttons.h"
#include "draw/match_frame.h"
#include "draw/menu_buttons.h"
#include "draw/messages.h"
#include "draw/sprite_blit.h"
#include "match/screen_change.h"
#include "sound/effects.h"

namespace vx {

namespace {

bool TimeIsUp(const Game& g) {
    return g.RuleKind == rule_kind::kTime && g.TimeLeft == 0;
}

bool ScoreLimitReached(const Game& g) {
    return g.RuleKind == rule_kind::kScore && (g.Scores[0] >= g.ScoreLimit || g.Scores[1] >= g.ScoreLimit);
}

void RestoreMessageArea(Game& g) {
    RestoreRect(g, 0, 61, 512, 220, 0, 61);
}

// Both endings start by freezing the last frame as the background.
void FreezeLastFrame(Game& g, const ItemRecord& item) {
    EnterScreen(g, Screen::kMatchOver);
    // Only a running Blind counts: a Blind capsule still lying on the table hides nothing.
    if (BlindInForce(item)) {
        const Rect& a = g.BlindAreas[static_cast<size_t>(item.owner + 1)];
        BitBlt(g.BackPict, a.left, a.top, a.right - a.left, a.bottom - a.top, nullptr, 0, 0, BlitOp::kBlack);
    }
    BitBlt(g.BufPict, 0, 0, kScreenWidth, kScreenHeight, &g.BackPict, 0, 0, BlitOp::kCopy);
}

constexpr int32_t kTimeUpShownMs = 600;
constexpr int32_t kGameSetShownMs = 1200;
constexpr int32_t kResultMessageShownMs = 800;

void TimeUp(Game& g) {
    g.MatchRequest = match_request::kOver;
    ShowMessage(g, "TimeUp");
    PlayEffect(g, effect::kTimeUp, effect_mode::kToTheEnd);
    g.flow.WaitMs(kTimeUpShownMs);
    g.flow.Do(RestoreMessageArea);
}

void GameSet(Game& g) {
    g.MatchRequest = match_request::kOver;
    ShowMessage(g, "GameSet");
    PlayEffect(g, effect::kGameSet, effect_mode::kStart);
    g.flow.WaitMs(kGameSetShownMs);
    g.flow.Do(RestoreMessageArea);
}

struct ResultShow {
    std::string_view message;
    std::string_view effect;
};

ResultShow ResultFor(const Game& g, int16_t result) {
    if (result == match_result::kDraw) return {"Draw", effect::kDraw};
    const bool twoPlayers = g.GameMode == game_mode::kVs2P;
    if (result == match_result::kPlayer1)
        return twoPlayers ? ResultShow{"Player1_win", effect::kPlayer1Wins}
                          : ResultShow{"you_win", effect::kYouWin};
    return twoPlayers ? ResultShow{"Player2_win", effect::kPlayer2Wins}
                      : ResultShow{"you_lose", effect::kYouLose};
}

}  // namespace

int16_t DecidedResult(const Game& g) {
    if (TimeIsUp(g)) {
        if (g.Scores[0] == g.Scores[1]) return match_result::kDraw;
        return g.Scores[0] > g.Scores[1] ? match_result::kPlayer1 : match_result::kPlayer2;
    }
    if (ScoreLimitReached(g))
        return g.Scores[0] >= g.ScoreLimit ? match_result::kPlayer1 : match_result::kPlayer2;
    return match_result::kUndecided;
}

bool CountClock(Game& g, int16_t& time) {
    if (time <= 0) return false;
    g.ClockTick = static_cast<uint8_t>(g.ClockTick - 1);
    if (g.ClockTick > 0) return false;
    time = static_cast<int16_t>(time - 1);
    g.ClockTick = 30;
    return true;
}

void CountFrameClock(Game& g) {
    if (g.RuleKind == rule_kind::kTime && CountClock(g, g.TimeLeft)) g.ClockChanged = true;
}

bool CheckMatchEnd(Game& g, MatchRecords& r) {
    const int16_t result = DecidedResult(g);
    if (result == match_result::kUndecided) return false;
    const bool timeUp = TimeIsUp(g);
    FreezeLastFrame(g, r.item);
    if (timeUp)
        TimeUp(g);
    else
        GameSet(g);
    g.flow.Do([&r, result](Game& g) { ShowResult(g, r, result); });
    return true;
}

void ShowResult(Game& g, MatchRecords& r, int16_t result) {
    const ResultShow show = ResultFor(g, result);
    ShowMessage(g, show.message);
    PlayEffect(g, show.effect, effect_mode::kToTheEnd);
    g.flow.WaitMs(kResultMessageShownMs);
    g.flow.Do([&r](Game& g) {
        RestoreMessageArea(g);
        DrawFrame(g, r.pucks, r.paddles, r.item, r.sprites);
        EnterScreen(g, Screen::kResult);
        DrawButton(g, button::kRetry, 1);
        DrawButton(g, button::kStageSelect, 1);
        DrawButton(g, button::kOpening, 1);
    });
}

}  // namespace vx
