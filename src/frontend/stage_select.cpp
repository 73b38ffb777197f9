#include "frontend/stage_select.h"

#include <algorithm>

#include "core/game.h"
#include "core/sheet_layout.h"
#include "draw/buttons.h"
#include "draw/menu_buttons.h"
#include "draw/screen_pictures.h"
#include "draw/sprite_blit.h"
#include "match/screen_change.h"
#include "match/screen_wipe.h"
#include "platform/asset_paths.h"

namespace vx {

namespace {

constexpr const char* kStagePicture = asset::kStageSelectPicture;
constexpr Box kStrip = SlotStrip();
constexpr int kLayoutX = 50, kLayoutY = 52, kLayoutW = kThumbW, kLayoutH = kThumbH;
constexpr int kNumberX = 215, kNumberY = 15, kNumberW = 25, kNumberH = 27;
constexpr int kNameX = 340, kNameY = 73;
constexpr int kPanelX = 320, kPanelY = 130, kPanelW = 149, kPanelH = 60, kLineStep = 20;
constexpr size_t kPanelLines = kPanelH / kLineStep;

void Copy(Surface& dest, const Surface& src, int x, int y, int w, int h) {
    BitBlt(dest, x, y, w, h, &src, x, y, BlitOp::kCopy);
}

void ShadeAllSlots(Game& g) {
    const SheetSprite& shade = Sheet("slot.shade");
    for (const StageRow& s : kStages) MaskedToBack(g, s.slot.x, s.slot.y, kSlotW, kSlotH, shade.x, shade.y);
}

void BrightenSlot(Game& g, uint8_t n) {
    const Point& slot = StageFacts(n).slot;
    Copy(g.BackPict, g.BufPict, slot.x, slot.y, kSlotW, kSlotH);
}

// The panel's picture for an item kind that a stage leaves out; empty for a kind the
// panel has no picture of.
const char* MissingItemSprite(uint8_t kind) {
    switch (kind) {
        case item_kind::kLengthUp: return "panel.length_up";
        case item_kind::kDouble: return "panel.double";
        case item_kind::kShiftChange: return "panel.shift_change";
        case item_kind::kBlind: return "panel.blind";
        default: return "";
    }
}

}  // namespace

std::vector<const char*> MissingItemLines(uint8_t mode, uint8_t stage) {
    const auto& items = StageFacts(stage).items;
    std::vector<const char*> lines;
    for (uint8_t kind = item_kind::kLengthUp; kind <= item_kind::kRandomSpeed; ++kind)
        if (std::find(items.begin(), items.end(), kind) == items.end())
            lines.push_back(MissingItemSprite(kind));
    if (mode == game_mode::kVs2P) {
        // Every kind comes in 1P VS 2P but the ones the stage leaves out: the first of those.
        if (lines.empty()) lines.push_back("panel.nothing");
        lines.resize(1);
    } else {
        // The two-player kinds never come against the CPU.
        lines.push_back(MissingItemSprite(item_kind::kBlind));
        lines.push_back(MissingItemSprite(item_kind::kShiftChange));
    }
    if (lines.size() > kPanelLines) lines.resize(kPanelLines);
    return lines;
}

void ShowStageSelect(Game& g, Screen arrival) {
    ScreenWipe(g, wipe_mode::kFadeOut);
    g.flow.Do([](Game& g) {
        if (!LoadScreenPicture(g, kStagePicture, g.BufPict)) return;
        Copy(g.BackPict, g.BufPict, 0, 0, kScreenWidth, kScreenHeight);
        DrawButton(g, button::kReturn, 0);
        DrawButton(g, button::kOk, 0);
        ShadeAllSlots(g);
        BrightenSlot(g, 1);
        DrawStagePreview(g, 1);
        g.StageNo = 1;
    });
    ScreenWipe(g, wipe_mode::kFadeIn);
    g.flow.Do([arrival](Game& g) {
        if (!LoadScreenPicture(g, kStagePicture, g.BufPict)) return;
        EnterScreen(g, arrival);
    });
}

void SelectStage(Game& g, uint8_t n) {
    Copy(g.BackPict, g.BufPict, kStrip.x, kStrip.y, kStrip.w, kStrip.h);
    ShadeAllSlots(g);
    BrightenSlot(g, n);
    PresentBack(g, kStrip.x, kStrip.y, kStrip.w, kStrip.h);
    DrawStagePreview(g, g.StageNo);
    RefreshMainPict(g);
}

void DrawStagePreview(Game& g, uint8_t n) {
    Copy(g.BackPict, g.BufPict, kLayoutX, kLayoutY, kLayoutW, kLayoutH);
    Copy(g.MainPict, g.BufPict, kLayoutX, kLayoutY, kLayoutW, kLayoutH);
    ReportChanged(g, kLayoutX, kLayoutY, kLayoutW, kLayoutH);

    Copy(g.BackPict, g.BufPict, kNumberX, kNumberY, kNumberW, kNumberH);
    // The shadow: the digit's mask twice leaves black where the digit is opaque.
    const SheetSprite& digit = Sheet(SmallDigitName(n));
    BitBlt(g.BackPict, kNumberX + 2, kNumberY + 2, digit.w, digit.h, &g.Mask, digit.x, digit.y,
           BlitOp::kSourceAndNotDest);
    BitBlt(g.BackPict, kNumberX + 2, kNumberY + 2, digit.w, digit.h, &g.Mask, digit.x, digit.y, BlitOp::kXor);
    MaskedToBack(g, kNumberX, kNumberY, digit.w, digit.h, digit.x, digit.y);
    PresentBack(g, kNumberX, kNumberY, kNumberW, kNumberH);

    MakeMask(g.LMask, g.LinePict, g.LinePict.Width(), g.LinePict.Height(), kWhite);
    const StageRow& stage = StageFacts(n);
    if (stage.thumb.w > 0) {
        const Box& t = stage.thumb;
        BitBlt(g.BackPict, kLayoutX, kLayoutY, t.w, t.h, &g.LMask, t.x, t.y, BlitOp::kSourceAndNotDest);
        BitBlt(g.BackPict, kLayoutX, kLayoutY, t.w, t.h, &g.LinePict, t.x, t.y, BlitOp::kXor);
    }
    const SheetSprite& mode =
        Sheet(g.GameMode == game_mode::kVs2P ? "label.mode.vs_2p" : "label.mode.vs_cpu");
    MaskedToBack(g, 164, 164, mode.w, mode.h, mode.x, mode.y);
    PresentBack(g, kLayoutX, kLayoutY, kLayoutW, kLayoutH);

    const SheetSprite& name = Sheet(stage.namePlate.sprite);
    Copy(g.BackPict, g.BufPict, kNameX, kNameY, name.w, name.h);
    MaskedToBack(g, kNameX, kNameY, name.w, name.h, name.x, name.y);
    PresentBack(g, kNameX, kNameY, name.w, name.h);

    Copy(g.BackPict, g.BufPict, kPanelX, kPanelY, kPanelW, kPanelH);
    if (g.GameMode == game_mode::kVsCpu || g.GameMode == game_mode::kVs2P) {
        const auto lines = MissingItemLines(g.GameMode, n);
        for (size_t line = 0; line < lines.size(); ++line) {
            const SheetSprite& s = Sheet(lines[line]);
            MaskedToBack(g, kPanelX, kPanelY + kLineStep * static_cast<int>(line), s.w, s.h, s.x, s.y);
        }
    }
    PresentBack(g, kPanelX, kPanelY, kPanelW, kPanelH);
}

}  // namespace vx
