#include "puck/items.h"

#include <cmath>

#include "core/game.h"
#include "stage/sprite_table.h"

namespace vx {

namespace {

constexpr int kUnknownIcon = 17;  // the "???" capsule

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

void Award(Game& g, ItemRecord& item, PuckSet& pucks, Paddles& paddles, SpriteTable& sprites,
           MatchEvents& events) {
    MatchEvent started{MatchEvent::Kind::kItemStarted};
    started.itemKind = item.kind;
    started.owner = item.owner;
    events.Add(started);
    item.timer = item_timing::kEffectTimer;
    ApplyItem(g, pucks, paddles, sprites, item.kind, item.owner, true);
}

void MoveCapsule(Game& g, ItemRecord& item, PuckSet& pucks, Paddles& paddles, SpriteTable& sprites,
                 MatchEvents& events) {
    item.x += item.vx;
    item.y += item.vy;
    SetCapsuleBounds(item);
    if (item.bounds.top < 62 || item.bounds.bottom >= 282) item.vy = -item.vy;
    // Only the back paddles catch it; paddle 2 is asked first, so touching both gives it
    // to player 2. An end of the table gives it to the player attacking that end.
    if (RectsOverlap(item.bounds, paddles[2].bounds) || item.bounds.left < 67) {
        item.owner = 1;
    } else if (RectsOverlap(item.bounds, paddles[0].bounds) || item.bounds.right >= 446) {
        item.owner = -1;
    } else {
        return;
    }
    item.phase = item_phase::kEffect;
    Award(g, item, pucks, paddles, sprites, events);
}

void EndEffect(Game& g, ItemRecord& item, PuckSet& pucks, Paddles& paddles, SpriteTable& sprites,
               MatchEvents& events) {
    MatchEvent ended{MatchEvent::Kind::kItemEnded};
    ended.itemKind = item.kind;
    ended.owner = item.owner;
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
    ended.undone = !putOff;
    events.Add(ended);
    if (!putOff) {
        ApplyItem(g, pucks, paddles, sprites, item.kind, item.owner, false);
        item.kind = 0;
        item.phase = item_phase::kNone;
    }
}

}  // namespace

void StepItem(Game& g, ItemRecord& item, PuckSet& pucks, Paddles& paddles, SpriteTable& sprites,
              MatchEvents& events) {
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
        case item_phase::kCapsuleMoving: MoveCapsule(g, item, pucks, paddles, sprites, events); break;
        case item_phase::kEffect:
            if (item.timer > 0) {
                item.timer = static_cast<int16_t>(item.timer - item_timing::kTimerStep);
            } else {
                EndEffect(g, item, pucks, paddles, sprites, events);
            }
            break;
        default: break;
    }
}

}  // namespace vx
