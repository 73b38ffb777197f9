#include "draw/buttons.h"

#include "core/game.h"
#include "draw/sprite_blit.h"

namespace vx {

void DrawButton(Game& g, int16_t number, uint8_t present) {
    const MenuButton& e = g.MenuButtons[static_cast<size_t>(number)];
    const int32_t w = e.rect.right - e.rect.left;
    const int32_t h = e.rect.bottom - e.rect.top;
    const int32_t sx = e.sheetX + e.sheetOffset;
    // The clean background first, so a new look replaces the old one completely.
    BitBlt(g.BackPict, e.rect.left, e.rect.top, w, h, &g.BufPict, e.rect.left, e.rect.top, BlitOp::kCopy);
    MaskedToBack(g, e.rect.left, e.rect.top, w, h, sx, e.sheetY);
    if (present == 1) {
        PresentBack(g, e.rect.left, e.rect.top, w, h);
        RefreshMainPict(g);
    }
}

void DrawButtonLooks(Game& g, std::span<const ButtonLooks> buttons, int16_t active, ButtonLook look) {
    for (const ButtonLooks& b : buttons) DrawButton(g, b.normal == active ? b[look] : b.normal, 1);
}

}  // namespace vx
