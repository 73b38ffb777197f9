// The nine item effects, switched on and off, and the paddle reset they share.
#include <array>

#include "core/game.h"
#include "puck/items.h"
#include "stage/sprite_table.h"

namespace vx {

namespace {

struct PaddleDefault {
    uint8_t halfLength;
    uint8_t kind;
    int32_t left, right;
    const char* look;  // in the sheet layout
};
constexpr std::array<PaddleDefault, 4> kPaddleDefaults = {{
    {37, 1, 72, 82, "paddle.back.p1"},
    {19, 2, 184, 194, "paddle.front"},
    {37, 1, 430, 440, "paddle.back.p2"},
    {19, 2, 318, 328, "paddle.front"},
}};

constexpr int kLookEntry = sprite_entry::kPaddleLook0;

Paddle& At(Paddles& paddles, int i) {
    return paddles[static_cast<size_t>(i)];
}

void RestoreAllPaddles(Paddles& paddles, SpriteTable& sprites) {
    for (int i = 0; i < 4; ++i) RestorePaddle(paddles, sprites, i);
}

void EffectOn(PuckSet& pucks, Paddles& paddles, SpriteTable& sprites, uint8_t kind, int16_t owner) {
    const int b = owner + 1;  // the receiver's back paddle
    const int f = owner + 2;  // and front paddle
    switch (kind) {
        case item_kind::kLengthUp: {
            Paddle& p = At(paddles, f);
            p.halfLength = 37;
            p.bounds.top -= 18;
            p.bounds.bottom += 18;
            p.prevBounds = p.bounds;
            sprites[f + kLookEntry] = sprites[sprite_entry::kLongFront];
            break;
        }
        case item_kind::kLengthDown: {
            Paddle& p = At(paddles, b);
            p.halfLength = 19;
            p.bounds.top += 18;
            p.bounds.bottom -= 18;
            p.prevBounds = p.bounds;
            sprites[b + kLookEntry] = sprites[sprite_entry::kShortBack];
            break;
        }
        case item_kind::kLostForward: At(paddles, f).kind = 0; break;
        case item_kind::kDouble:
            pucks.count = 2;  // ServePucks fills the new slot in this same frame
            break;
        case item_kind::kBackBoost:
            At(paddles, b).kind = 2;
            sprites[b + kLookEntry] = sprites[b + sprite_entry::kEffectLook];
            break;
        case item_kind::kPanic:
            for (int i = 0; i < 4; ++i) {
                At(paddles, i).kind = (i % 2 == 0) ? 2 : 4;
                sprites[i + kLookEntry] = sprites[i + sprite_entry::kPanicLook0];
            }
            break;
        case item_kind::kRandomSpeed:
            for (int i = 0; i < 4; ++i) {
                At(paddles, i).kind = 3;
                sprites[i + kLookEntry] = sprites[i + sprite_entry::kRandomSpeedLook0];
            }
            break;
        case item_kind::kShiftChange:
            At(paddles, b).directionSign = -1;
            At(paddles, f).directionSign = -1;
            sprites[b + kLookEntry] = sprites[b + 23];
            sprites[f + kLookEntry] = sprites[f + 23];
            break;
        default: break;
    }
}

void EffectOff(PuckSet& pucks, Paddles& paddles, SpriteTable& sprites, uint8_t kind, int16_t owner) {
    const int b = owner + 1;
    const int f = owner + 2;
    switch (kind) {
        case item_kind::kLengthUp:
        case item_kind::kLostForward: RestorePaddle(paddles, sprites, f); break;
        case item_kind::kLengthDown:
        case item_kind::kBackBoost: RestorePaddle(paddles, sprites, b); break;
        case item_kind::kDouble: pucks.count = 1; break;
        case item_kind::kPanic:
        case item_kind::kRandomSpeed: RestoreAllPaddles(paddles, sprites); break;
        case item_kind::kShiftChange:
            At(paddles, b).directionSign = 1;
            At(paddles, f).directionSign = 1;
            RestorePaddle(paddles, sprites, f);
            RestorePaddle(paddles, sprites, b);
            break;
        default: break;
    }
}

}  // namespace

void ApplyItem(Game&, PuckSet& pucks, Paddles& paddles, SpriteTable& sprites, uint8_t kind, int16_t owner,
               bool on) {
    if (on) {
        EffectOn(pucks, paddles, sprites, kind, owner);
    } else {
        EffectOff(pucks, paddles, sprites, kind, owner);
    }
}

void RestorePaddle(Paddles& paddles, SpriteTable& sprites, int i) {
    const PaddleDefault& d = kPaddleDefaults[static_cast<size_t>(i)];
    Paddle& p = At(paddles, i);
    p.halfLength = d.halfLength;
    p.kind = d.kind;
    MakeRect(p.bounds, d.left, p.y - d.halfLength, d.right, p.y + d.halfLength);
    sprites[i + kLookEntry] = SheetSource(d.look);
    p.directionSign = 1;
    p.prevBounds = p.bounds;
}

}  // namespace vx
