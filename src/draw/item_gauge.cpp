#include "draw/item_gauge.h"

#include "core/game.h"
#include "core/sheet_layout.h"
#include "draw/sprite_blit.h"

namespace vx {

void DrawItemGauge(Game& g, int16_t timer, const PuckSet& pucks, bool mayLeave) {
    using namespace item_place;
    static_assert(kGaugeArea == Rect{kGaugeX, kGaugeY, kGaugeX + kGaugeW + 3, kGaugeY + kGaugeH});
    const SheetSprite& full = Sheet("gauge.full");
    const int n = timer / 15;
    bool puckAboveGauge = false;
    for (int i = 0; i < pucks.count; ++i)
        puckAboveGauge |= pucks.pucks[static_cast<size_t>(i)].bounds.bottom < 288;
    // What follows leaves the whole area a function of n alone (the gauge restored, n
    // steps drawn, the spent part restored), or with no puck above it restores the spent
    // part alone: either is already on screen if the last drawing was the same and
    // nothing has touched the area since.
    GaugeMark& mark = g.frameMarks.gauge;
    const bool holds = mayLeave && mark.intact && mark.steps == n && timer != item_timing::kEffectTimer;
    if (holds && (mark.whole || !puckAboveGauge)) return;
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
    mark = GaugeMark{n, puckAboveGauge && timer != item_timing::kEffectTimer, mayLeave};
}

void RestoreSpentGauge(Game& g, int full) {
    using namespace item_place;
    const int32_t spent = 7 * (40 - full);
    const int32_t x = 397 - spent;
    RestoreRect(g, x, kGaugeY, spent + 3, kGaugeH, x, kGaugeY);
}

}  // namespace vx
