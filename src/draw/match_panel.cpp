#include "draw/match_panel.h"

#include <string>

#include "core/game.h"
#include "core/sheet_layout.h"
#include "draw/sprite_blit.h"

namespace vx {

namespace {

void SmallDigitToBack(Game& g, int32_t x, int digit) {
    const SheetSprite& d = Sheet(SmallDigitName(digit));
    MaskedToBack(g, x, panel::kScoreY, d.w, d.h, d.x, d.y);
}

// A sprite of the sheet drawn with its top-left corner at (x, y).
void DrawNamed(Game& g, int32_t x, int32_t y, const char* name) {
    const SheetSprite& s = Sheet(name);
    DrawSprite(g, x, y, s.w, s.h, s.x, s.y);
}

}  // namespace

void DrawClockDigit(Game& g, int32_t x, int digit) {
    DrawNamed(g, x, 14, LargeDigitName(digit));
}

void DrawScore(Game& g, int16_t p) {
    DrawScoreOf(g, p, g.Scores[static_cast<size_t>(p)]);
}

void DrawScoreOf(Game& g, int16_t p, int s) {
    const int32_t left = panel::ScoreLeft(p);
    BitBlt(g.BackPict, left, panel::kScoreY, 70, panel::kScoreH, &g.BufPict, left, panel::kScoreY,
           BlitOp::kCopy);
    const int hundreds = s / 100;
    const int tens = s / 10 - 10 * hundreds;
    const int units = s - 100 * hundreds - 10 * tens;
    if (s <= 9) {
        SmallDigitToBack(g, left + 23, units);
        PresentBack(g, left + 23, panel::kScoreY, Sheet(SmallDigitName(units)).w, panel::kScoreH);
    } else {
        SmallDigitToBack(g, left + 11, tens);
        SmallDigitToBack(g, left + 36, units);
        PresentBack(g, left + 11, panel::kScoreY, 70, panel::kScoreH);
    }
}

void DrawMatchHeader(Game& g) {
    DrawNamed(g, 140, 34, "mark.p1");
    DrawNamed(g, 359, 34, g.GameMode == game_mode::kVsCpu ? "mark.cpu" : "mark.p2");
    BitBlt(g.LMask, 0, 0, 400, 50, &g.BackPict, 56, 0, BlitOp::kCopy);

    g.Scores = {0, 0};
    DrawScore(g, 0);
    DrawScore(g, 1);

    if (g.RuleKind == rule_kind::kScore) {
        DrawNamed(g, 267, 14, "label.score_limit");
        // Each score limit of the options table has its sprite, "limit.<goals>".
        if (IsChoiceValue(Choice::kScore, g.ScoreLimit))
            DrawNamed(g, 323, 4, ("limit." + std::to_string(g.ScoreLimit)).c_str());
        return;
    }
    // The settings never hold a negative time; the digits are bytes all the same.
    const int t = g.TimeLeft < 0 ? 0 : g.TimeLeft;
    const int hundreds = t / 100;
    const int tens = t / 10 - 10 * hundreds;
    const int units = t - 100 * hundreds - 10 * tens;
    if (t < 100) {
        DrawClockDigit(g, 265, tens);
        DrawClockDigit(g, 295, units);
    } else if (t == 120) {
        DrawClockDigit(g, 247, hundreds);
        DrawClockDigit(g, 277, tens);
        DrawClockDigit(g, 307, units);
    }
}

}  // namespace vx
