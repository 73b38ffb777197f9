#include "puck/items.h"

#include <cmath>

#include "core/game.h"
#include "draw/sheet_layout.h"
#include "draw/sprite_blit.h"
#include "draw/sprite_table.h"

namespace vx {

namespace {

constexpr int kUnknownIcon = 17;  // the "???" capsule

// Kinds that act on both players show their icon on both sides.
bool ShownOnBothSides(uint8_t kind) {
    return kind == item_kind::kDouble || kind == item_kind::kPanic || kind == item_kind::kRandomSpeed;
}

int32_t IconX(int16_t owner) {
    return owner < 0 ? item_place::kIconX1 : item_place::kIconX2;
}

void SetCapsuleBounds(ItemRecord& item) {
    const int32_t cx = FloorDiv100(item.x);
    const int32_t cy = FloorDiv100(item.y);
    MakeRect(item.bounds, cx - 16, cy - 16, cx + 16, cy + 16);
}

void PlaceCapsule(Game& g, ItemRecord& item, const SpriteTable& sprites) {
    // One chance in a hundred per frame; the products are single precision, like every draw.
    if (std::fabs(g.random.Next() * 100.0f) >= 1.0f) return;
    const int j = FloorToInt(std::fabs(g.random.Next() * 100.0f)) % item.allowedCount;
    item.kind = item.allowed[static_cast<size_t>(j)];
    // A third of the capsules hide their kind; the kind drawn above is the one given.
    item.icon = g.random.Next() * 1500.0f > 1000.0f ? sprites[kUnknownIcon] : sprites[item.kind + 7];
    item.x = 25600;
    item.y = 17100;
    SetCapsuleBounds(item);
    item.prevBounds = item.bounds;
    item.phase = item_phase::kCapsuleWaiting;
    item.timer = item_timing::kCapsuleTimer;
}

void DrawIcon(Game& g, int32_t x, uint8_t kind) {
    const SheetSprite& icon = Sheet(ItemHeldIconName(kind));
    DrawSprite(g, x, item_place::kIconY, icon.w, icon.h, icon.x, icon.y);
}

void RestoreIcon(Game& g, int32_t x) {
    RestoreRect(g, x, item_place::kIconY, item_place::kIconSize, item_place::kIconSize, x,
                item_place::kIconY);
}

void Award(Game& g, ItemRecord& item, PuckSet& pucks, Paddles& paddles, SpriteTable& sprites) {
    if (ShownOnBothSides(item.kind)) {
        DrawIcon(g, item_place::kIconX1, item.kind);
        DrawIcon(g, item_place::kIconX2, item.kind);
    } else {
        DrawIcon(g, IconX(item.owner), item.kind);
    }
    const SheetSprite& strip = Sheet(ItemStripName(item.kind));
    DrawSprite(g, item_place::kStripX, item_place::kStripY, strip.w, strip.h, strip.x, strip.y);
    item.timer = item_timing::kEffectTimer;
    ApplyItem(g, pucks, paddles, sprites, item.kind, item.owner, kTrue);
}

void MoveCapsule(Game& g, ItemRecord& item, PuckSet& pucks, Paddles& paddles, SpriteTable& sprites) {
    item.x += item.vx;
    item.y += item.vy;
    SetCapsuleBounds(item);
    if (item.bounds.top < 62 || item.bounds.bottom >= 282) item.vy = -item.vy;
    // Only the back paddles catch it; paddle 2 is asked first, so touching both gives it
    // to player 2. An end of the table gives it to the player attacking that end.
    if (RectsOverlap(item.bounds, paddles[2].bounds) == kTrue || item.bounds.left < 67) {
        item.owner = 1;
    } else if (RectsOverlap(item.bounds, paddles[0].bounds) == kTrue || item.bounds.right >= 446) {
        item.owner = -1;
    } else {
        return;
    }
    item.phase = item_phase::kEffect;
    Award(g, item, pucks, paddles, sprites);
}

void EndEffect(Game& g, ItemRecord& item, PuckSet& pucks, Paddles& paddles, SpriteTable& sprites) {
    if (item.kind == item_kind::kPanic || item.kind == item_kind::kRandomSpeed) {
        RestoreIcon(g, item_place::kIconX1);
        RestoreIcon(g, item_place::kIconX2);
    } else if (item.kind != item_kind::kDouble) {
        RestoreIcon(g, IconX(item.owner));
    }
    bool putOff = false;
    if (item.kind == item_kind::kDouble) {
        // The second puck may only go when one of the two is free; a free slot 0 takes
        // over slot 1's puck.
        Puck& first = pucks.pucks[0];
        Puck& second = pucks.pucks[1];
        if (first.state == puck_state::kFree) {
            first = second;
            second.state = puck_state::kFree;
        }
        putOff = second.state != puck_state::kFree;
    }
    if (!putOff) {
        ApplyItem(g, pucks, paddles, sprites, item.kind, item.owner, kFalse);
        item.kind = 0;
        item.phase = item_phase::kNone;
    }
    RestoreRect(g, item_place::kStripX, item_place::kStripY, item_place::kStripW, item_place::kStripH,
                item_place::kStripX, item_place::kStripY);
}

}  // namespace

void StepItem(Game& g, ItemRecord& item, PuckSet& pucks, Paddles& paddles, SpriteTable& sprites) {
    switch (item.phase) {
        case item_phase::kNone: PlaceCapsule(g, item, sprites); break;
        case item_phase::kCapsuleWaiting:
            if (item.timer > 0) {
                item.timer = static_cast<int16_t>(item.timer - item_timing::kTimerStep);
            } else {
                item.kind = 0;
                item.phase = item_phase::kNone;
            }
            break;
        case item_phase::kCapsuleMoving: MoveCapsule(g, item, pucks, paddles, sprites); break;
        case item_phase::kEffect:
            if (item.timer > 0) {
                item.timer = static_cast<int16_t>(item.timer - item_timing::kTimerStep);
            } else {
                EndEffect(g, item, pucks, paddles, sprites);
            }
            break;
        default: break;
    }
}

void RepaintItemPanel(Game& g, const ItemRecord& item) {
    using namespace item_place;
    RestoreIcon(g, kIconX1);
    RestoreIcon(g, kIconX2);
    RestoreRect(g, kStripX, kStripY, kStripW, kStripH, kStripX, kStripY);
    RestoreRect(g, kGaugeX, kGaugeY, kGaugeW, kGaugeH, kStoredGaugeX, kStoredGaugeY);
    if (item.phase != item_phase::kEffect || item.kind == 0) return;
    if (ShownOnBothSides(item.kind)) {
        DrawIcon(g, kIconX1, item.kind);
        DrawIcon(g, kIconX2, item.kind);
    } else {
        DrawIcon(g, IconX(item.owner), item.kind);
    }
    const SheetSprite& strip = Sheet(ItemStripName(item.kind));
    DrawSprite(g, kStripX, kStripY, strip.w, strip.h, strip.x, strip.y);
    const SheetSprite& full = Sheet("gauge.full");
    DrawSprite(g, kGaugeX, kGaugeY, 7 * (item.timer / 15), kGaugeH, full.x, full.y);
}

}  // namespace vx
