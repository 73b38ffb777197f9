#include "draw/menu_buttons.h"

#include <string>

#include "core/game.h"
#include "core/sheet_layout.h"

namespace vx {

namespace {

struct ButtonRow {
    ButtonLooks looks;
    Rect rect;         // inclusive; the image is right - left by bottom - top
    const char* name;  // the looks are the sheet's "<name>.normal", ".hover" and ".pressed"
    uint8_t offset;    // MenuButtons keeps sheet x as the sprite's x minus this offset
};

// RETURN reaches x = 549, past the 512-pixel picture: drawing clips it, hit tests use
// it as stored.
constexpr std::array<ButtonRow, kTitleButtons.size() + kStageSelectButtons.size() + kResultButtons.size()>
    kRows = {{
        {kTitleButtons[0], {156, 169, 355, 197}, "button.vs_cpu", 0},
        {kTitleButtons[1], {156, 206, 355, 234}, "button.vs_2p", 0},
        {kTitleButtons[2], {208, 242, 291, 270}, "button.quit", 52},
        {kStageSelectButtons[0], {350, 296, 549, 324}, "button.return", 0},
        {kStageSelectButtons[1], {400, 260, 450, 288}, "button.ok", 50},
        {kResultButtons[0], {192, 119, 328, 147}, "button.retry", 80},
        {kResultButtons[1], {112, 156, 408, 184}, "button.stage_select", 0},
        {kResultButtons[2], {177, 192, 343, 220}, "button.opening", 65},
    }};
static_assert(button::kStageSlot1 - 1 + kStageCount == kMenuButtonCount);

void SetLook(MenuButton& e, const ButtonRow& row, const char* look) {
    e.rect = row.rect;
    const SheetSprite& s = Sheet(std::string(row.name) + "." + look);
    e.sheetX = s.x - row.offset;
    e.sheetY = s.y;
    e.sheetOffset = row.offset;
}

}  // namespace

void InitMenuButton(Game& g, uint8_t n) {
    MenuButton& e = g.MenuButtons[n];
    if (n >= button::kStageSlot1) {
        const Rect& r = StageFacts(n - button::kStageSlot1 + 1).slotHit;
        MakeRect(e.rect, r.left, r.top, r.right, r.bottom);
        return;
    }
    for (const ButtonRow& row : kRows) {
        if (n == row.looks.normal) SetLook(e, row, "normal");
        if (n == row.looks.hover) SetLook(e, row, "hover");
        if (n == row.looks.pressed) SetLook(e, row, "pressed");
    }
}

}  // namespace vx
