#include "draw/menu_buttons.h"

#include "core/game.h"

namespace vx {

namespace {

struct ButtonRow {
    int32_t left, top, right, bottom;
    int32_t sheetX, sheetY;
    uint8_t offset;
};

// Three looks per button (normal, hover, pressed) share one rectangle. RETURN reaches
// x = 549, past the 512-pixel picture: drawing clips it, hit tests use it as stored.
constexpr ButtonRow kRows[kMenuButtonCount] = {
    {156, 169, 355, 197, 0, 74, 0},      // 1 1P VS CPU
    {156, 206, 355, 234, 0, 102, 0},     // 2 1P VS 2P
    {208, 242, 291, 270, 0, 298, 52},    // 3 QUIT
    {156, 169, 355, 197, 199, 74, 0},    // 4 hover
    {156, 206, 355, 234, 199, 102, 0},   // 5
    {208, 242, 291, 270, 199, 186, 52},  // 6
    {156, 169, 355, 197, 0, 130, 0},     // 7 pressed
    {156, 206, 355, 234, 0, 158, 0},     // 8
    {208, 242, 291, 270, 0, 329, 52},    // 9
    {350, 296, 549, 324, 0, 186, 0},     // 10 RETURN
    {400, 260, 450, 288, 0, 214, 50},    // 11 OK
    {350, 296, 549, 324, 199, 130, 0},   // 12 hover
    {400, 260, 450, 288, 199, 158, 50},  // 13
    {350, 296, 549, 324, 0, 242, 0},     // 14 pressed
    {400, 260, 450, 288, 0, 270, 50},    // 15
    {192, 119, 328, 147, 0, 593, 80},    // 16 RETRY
    {112, 156, 408, 184, 0, 621, 0},     // 17 STAGE SELECT
    {177, 192, 343, 220, 0, 649, 65},    // 18 OPENING
    {192, 119, 328, 147, 296, 593, 80},  // 19 hover
    {112, 156, 408, 184, 296, 621, 0},   // 20
    {177, 192, 343, 220, 296, 649, 65},  // 21
    {192, 119, 328, 147, 0, 677, 80},    // 22 pressed
    {112, 156, 408, 184, 0, 705, 0},     // 23
    {177, 192, 343, 220, 0, 733, 65},    // 24
    {28, 231, 88, 281, 0, 0, 0},         // 25 stage slot 1 (hit area only)
    {89, 231, 148, 281, 0, 0, 0},        // 26
    {149, 231, 208, 281, 0, 0, 0},       // 27
    {209, 231, 268, 281, 0, 0, 0},       // 28
    {269, 231, 328, 281, 0, 0, 0},       // 29
};

}  // namespace

void InitMenuButton(Game& g, uint8_t n) {
    const ButtonRow& row = kRows[n - 1];
    MenuButton& e = g.MenuButtons[n];
    MakeRect(e.rect, row.left, row.top, row.right, row.bottom);
    if (n >= button::kStageSlot1) return;
    e.sheetX = row.sheetX;
    e.sheetY = row.sheetY;
    e.sheetOffset = row.offset;
}

}  // namespace vx
