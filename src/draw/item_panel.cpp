#include "draw/item_panel.h"

#include "core/game.h"
#include "core/sheet_layout.h"
#include "draw/item_gauge.h"
#include "draw/sprite_blit.h"

namespace vx {

namespace {

// Kinds that act on both players show their icon on both sides.
bool ShownOnBothSides(uint8_t kind) {
    return kind == item_kind::kDouble || kind == item_kind::kPanic || kind == item_kind::kRandomSpeed;
}

int32_t IconX(int16_t owner) {
    return owner < 0 ? item_place::kIconX1 : item_place::kIconX2;
}

void DrawIcon(Game& g, int32_t x, uint8_t kind) {
    const SheetSprite& icon = Sheet(ItemHeldIconName(kind));
    DrawSprite(g, x, item_place::kIconY, icon.w, icon.h, icon.x, icon.y);
}

void RestoreIcon(Game& g, int32_t x) {
    RestoreRect(g, x, item_place::kIconY, item_place::kIconSize, item_place::kIconSize, x,
                item_place::kIconY);
}

void DrawIconsAndStrip(Game& g, uint8_t kind, int16_t owner) {
    if (ShownOnBothSides(kind)) {
        DrawIcon(g, item_place::kIconX1, kind);
        DrawIcon(g, item_place::kIconX2, kind);
    } else {
        DrawIcon(g, IconX(owner), kind);
    }
    const SheetSprite& strip = Sheet(ItemStripName(kind));
    DrawSprite(g, item_place::kStripX, item_place::kStripY, strip.w, strip.h, strip.x, strip.y);
}

void RestoreStrip(Game& g) {
    using namespace item_place;
    RestoreRect(g, kStripX, kStripY, kStripW, kStripH, kStripX, kStripY);
}

}  // namespace

void DrawItemStarted(Game& g, uint8_t kind, int16_t owner) {
    DrawIconsAndStrip(g, kind, owner);
    if (kind != item_kind::kBlind) return;
    // Straight onto the screen: the back buffer keeps the table for the effect's end.
    const Rect& a = g.BlindAreas[static_cast<size_t>(owner + 1)];
    BitBlt(g.MainPict, a.left, a.top, a.right - a.left, a.bottom - a.top, nullptr, 0, 0, BlitOp::kBlack);
    ReportChanged(g, a.left, a.top, a.right - a.left, a.bottom - a.top);
}

void DrawItemEnded(Game& g, uint8_t kind, int16_t owner, bool undone) {
    if (kind == item_kind::kPanic || kind == item_kind::kRandomSpeed) {
        RestoreIcon(g, item_place::kIconX1);
        RestoreIcon(g, item_place::kIconX2);
    } else if (kind != item_kind::kDouble) {
        RestoreIcon(g, IconX(owner));
    }
    if (undone && kind == item_kind::kDouble) {
        RestoreIcon(g, item_place::kIconX1);
        RestoreIcon(g, item_place::kIconX2);
    }
    // The back buffer kept the table all along.
    if (undone && kind == item_kind::kBlind) PresentBack(g, owner < 0 ? 66 : 338, 61, 108, 220);
    RestoreStrip(g);
}

void RepaintItemPanel(Game& g, const ItemRecord& item) {
    using namespace item_place;
    RestoreIcon(g, kIconX1);
    RestoreIcon(g, kIconX2);
    RestoreStrip(g);
    // The gauge as the frames leave it: the table's own picture when no effect runs (the
    // empty gauge is shown only under a running one), else the empty gauge, its full
    // steps, and the table again over the spent ones.
    const bool running = item.phase == item_phase::kEffect && item.kind != 0;
    if (!running || item.timer < 0) RestoreRect(g, kGaugeX, kGaugeY, kGaugeW, kGaugeH, kGaugeX, kGaugeY);
    if (!running) return;
    DrawIconsAndStrip(g, item.kind, item.owner);
    if (item.timer < 0) return;
    RestoreRect(g, kGaugeX, kGaugeY, kGaugeW, kGaugeH, kStoredGaugeX, kStoredGaugeY);
    const SheetSprite& full = Sheet("gauge.full");
    const int steps = item.timer / 15;
    DrawSprite(g, kGaugeX, kGaugeY, 7 * steps, kGaugeH, full.x, full.y);
    RestoreSpentGauge(g, steps);
}

}  // namespace vx
