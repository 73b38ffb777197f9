#include "draw/match_panel.h"

#include "core/game.h"
#include "draw/sprite_blit.h"

namespace vx {

namespace {

void SmallDigitToBack(Game& g, int32_t x, int digit) {
    MaskedToBack(g, x, panel::kScoreY, panel::kSmallDigitW, panel::kSmallDigitH,
                 panel::kSmallDigitX + panel::kSmallDigitW * digit, panel::kSmallDigitY);
}

}  // namespace

void DrawClockDigit(Game& g, int32_t x, int digit) {
    DrawSprite(g, x, 14, panel::kLargeDigitW, panel::kLargeDigitH,
               panel::kLargeDigitX + panel::kLargeDigitW * digit, panel::kLargeDigitY);
}

void DrawScore(Game& g, int16_t p) {
    const int32_t left = panel::ScoreLeft(p);
    BitBlt(g.BackPict, left, panel::kScoreY, 70, panel::kSmallDigitH, &g.BufPict, left, panel::kScoreY,
           Rop::SrcCopy);
    const int s = g.Scores[static_cast<size_t>(p)];
    const int hundreds = s / 100;
    const int tens = s / 10 - 10 * hundreds;
    const int units = s - 100 * hundreds - 10 * tens;
    if (s <= 9) {
        SmallDigitToBack(g, left + 23, units);
        PresentBack(g, left + 23, panel::kScoreY, panel::kSmallDigitW, panel::kSmallDigitH);
    } else {
        SmallDigitToBack(g, left + 11, tens);
        SmallDigitToBack(g, left + 36, units);
        PresentBack(g, left + 11, panel::kScoreY, 70, panel::kSmallDigitH);
    }
}

void DrawMatchHeader(Game& g) {
    DrawSprite(g, 140, 34, 13, 13, 242, 545);
    DrawSprite(g, 359, 34, 13, 13, g.GameMode == game_mode::kVsCpu ? 228 : 255, 545);
    BitBlt(g.LMask, 0, 0, 400, 50, &g.BackPict, 56, 0, Rop::SrcCopy);

    g.Scores = {0, 0};
    DrawScore(g, 0);
    DrawScore(g, 1);

    if (g.RuleKind == rule_kind::kScore) {
        DrawSprite(g, 267, 14, 53, 31, 320, 25);
        int32_t sx = -1;
        if (g.ScoreLimit == 10) sx = 282;
        if (g.ScoreLimit == 30) sx = 255;
        if (g.ScoreLimit == 50) sx = 228;
        if (sx >= 0) DrawSprite(g, 323, 4, 27, 13, sx, 532);
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
