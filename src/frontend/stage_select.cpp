#include "frontend/stage_select.h"

#include <array>

#include "core/game.h"
#include "draw/buttons.h"
#include "draw/menu_buttons.h"
#include "draw/screen_pictures.h"
#include "draw/sprite_blit.h"
#include "match/screen_wipe.h"

namespace vx {

namespace {

constexpr const char* kStagePicture = "\\dat\\stagec";
constexpr int kStripX = 28, kStripY = 231, kStripW = 300, kSlotW = 60, kSlotH = 50;
constexpr int kShadeX = 259, kShadeY = 217;
constexpr int kLayoutX = 50, kLayoutY = 52, kLayoutW = 200, kLayoutH = 130;
constexpr int kNumberX = 215, kNumberY = 15, kNumberW = 25, kNumberH = 27;
constexpr int kDigitW = 23, kDigitH = 25;
constexpr int kNameX = 340, kNameY = 73, kNameW = 114, kNameH = 15;
constexpr int kPanelX = 320, kPanelY = 130, kPanelW = 149, kPanelH = 60, kLineH = 14;

// Sheet rows of the item panel's names.
constexpr int kNothing = 426, kLengthUp = 440, kDouble = 454, kBlind = 468, kShiftChange = 482;

void Copy(Surface& dest, const Surface& src, int x, int y, int w, int h) {
    BitBlt(dest, x, y, w, h, &src, x, y, Rop::SrcCopy);
}

void ShadeAllSlots(Game& g) {
    for (int k = 1; k <= 5; ++k)
        MaskedToBack(g, kStripX + kSlotW * (k - 1), kStripY, kSlotW, kSlotH, kShadeX, kShadeY);
}

// The names of the item kinds that the stage's list leaves out in this mode.
std::array<int, 3> MissingItemRows(uint8_t mode, uint8_t stage) {
    const bool noLengthUp = stage == 3 || stage == 4;
    const bool noDouble = stage == 5;
    std::array<int, 3> rows{0, 0, 0};
    size_t line = 0;
    if (mode == game_mode::kVs2P) {
        rows[0] = noLengthUp ? kLengthUp : noDouble ? kDouble : kNothing;
        return rows;
    }
    if (noLengthUp) rows[line++] = kLengthUp;
    if (noDouble) rows[line++] = kDouble;
    rows[line++] = kBlind;
    rows[line] = kShiftChange;
    return rows;
}

}  // namespace

void ShowStageSelect(Game& g) {
    if (!ScreenWipe(g, wipe_mode::kFadeOut)) return;
    if (!LoadScreenPicture(g, kStagePicture, g.BufPict)) return;
    Copy(g.BackPict, g.BufPict, 0, 0, kScreenWidth, kScreenHeight);
    DrawButton(g, button::kReturn, 0);
    DrawButton(g, button::kOk, 0);
    ShadeAllSlots(g);
    Copy(g.BackPict, g.BufPict, kStripX, kStripY, kSlotW, kSlotH);
    DrawStagePreview(g, 1);
    g.StageNo = 1;
    if (!ScreenWipe(g, wipe_mode::kFadeIn)) return;
    if (!LoadScreenPicture(g, kStagePicture, g.BufPict)) return;
    g.ScreenState = screen_state::kStageSelect;
}

void SelectStage(Game& g, uint8_t n) {
    Copy(g.BackPict, g.BufPict, kStripX, kStripY, kStripW, kSlotH);
    ShadeAllSlots(g);
    Copy(g.BackPict, g.BufPict, kStripX + kSlotW * (n - 1), kStripY, kSlotW, kSlotH);
    PresentBack(g, kStripX, kStripY, kStripW, kSlotH);
    DrawStagePreview(g, g.StageNo);
    RefreshMainPict(g);
}

void DrawStagePreview(Game& g, uint8_t n) {
    Copy(g.BackPict, g.BufPict, kLayoutX, kLayoutY, kLayoutW, kLayoutH);
    Copy(g.MainPict, g.BufPict, kLayoutX, kLayoutY, kLayoutW, kLayoutH);
    ReportChanged(g, kLayoutX, kLayoutY, kLayoutW, kLayoutH);

    Copy(g.BackPict, g.BufPict, kNumberX, kNumberY, kNumberW, kNumberH);
    // The shadow: the digit's mask twice leaves black where the digit is opaque.
    const int digitX = 40 + kDigitW * n;
    BitBlt(g.BackPict, kNumberX + 2, kNumberY + 2, kDigitW, kDigitH, &g.Mask, digitX, 0, Rop::SrcErase);
    BitBlt(g.BackPict, kNumberX + 2, kNumberY + 2, kDigitW, kDigitH, &g.Mask, digitX, 0, Rop::SrcInvert);
    MaskedToBack(g, kNumberX, kNumberY, kDigitW, kDigitH, digitX, 0);
    PresentBack(g, kNumberX, kNumberY, kNumberW, kNumberH);

    MakeMask(g.LMask, g.LinePict, g.LinePict.Width(), g.LinePict.Height(), kWhite);
    if (n > 1) {
        const int sx = (n - 2) * kLayoutW;
        BitBlt(g.BackPict, kLayoutX, kLayoutY, kLayoutW, kLayoutH, &g.LMask, sx, 220, Rop::SrcErase);
        BitBlt(g.BackPict, kLayoutX, kLayoutY, kLayoutW, kLayoutH, &g.LinePict, sx, 220, Rop::SrcInvert);
    }
    MaskedToBack(g, 164, 164, 83, 15, 0, 761 + 15 * (g.GameMode - game_mode::kVsCpu));
    PresentBack(g, kLayoutX, kLayoutY, kLayoutW, kLayoutH);

    Copy(g.BackPict, g.BufPict, kNameX, kNameY, kNameW, kNameH);
    MaskedToBack(g, kNameX, kNameY, kNameW, kNameH, 320, 426 + 15 * (n - 1));
    PresentBack(g, kNameX, kNameY, kNameW, kNameH);

    Copy(g.BackPict, g.BufPict, kPanelX, kPanelY, kPanelW, kPanelH);
    if (g.GameMode == game_mode::kVsCpu || g.GameMode == game_mode::kVs2P) {
        const auto rows = MissingItemRows(g.GameMode, n);
        for (size_t line = 0; line < rows.size(); ++line) {
            if (rows[line] == 0) continue;
            MaskedToBack(g, kPanelX, kPanelY + 20 * static_cast<int>(line), kPanelW, kLineH, 434, rows[line]);
        }
    }
    PresentBack(g, kPanelX, kPanelY, kPanelW, kPanelH);
}

}  // namespace vx
