#include "draw/item_gauge.h"

#include "core/game.h"
#include "core/sheet_layout.h"
#include "draw/sprite_blit.h"

namespace vx {

void DrawItemGauge(Game& g, int16_t timer, const PuckSet& pucks) {
    using namespace item_place;
    const SheetSprite& full = Sheet("gauge.full");
    const int n = timer / 15;
    bool puckAboveGauge = false;
    for (int i = 0; i < pucks.count; ++i)
        puckAboveGauge |= pucks.pucks[static_cast<size_t>(i)].bounds.bottom < 288;
    // The empty gauge lives below the visible part of the background store.
    if (puckAboveGauge) {
        RestoreRect(g, kGaugeX, kGaugeY, kGaugeW, kGaugeH, kStoredGaugeX, kStoredGaugeY);
        DrawSprite(g, kGaugeX, kGaugeY, 7 * n, kGaugeH, full.x, full.y);
    }
    if (timer == item_timing::kEffectTimer) {
        RestoreRect(g, kGaugeX, kGaugeY, kGaugeW, kGaugeH, kStoredGaugeX, kStoredGaugeY);
        DrawSprite(g, kGaugeX, kGaugeY, full.w, full.h, full.x, full.y);
    }
    RestoreSpentGauge(g, n);
}

void RestoreSpentGauge(Game& g, int full) {
    using namespace item_place;
    const int32_t spent = 7 * (40 - full);
    const int32_t x = 397 - spent;
    RestoreRect(g, x, kGaugeY, spent + 3, kGaugeH, x, kGaugeY);
}

}  // namespace vx
