#include "stage/sprite_table.h"

#include "core/sheet_layout.h"

namespace vx {

namespace {

SpriteSource From(const char* name) {
    return SheetSource(name);
}

}  // namespace

SpriteSource SheetSource(const char* name) {
    const SheetSprite& s = Sheet(name);
    return {s.x, s.y, s.w, s.h};
}

void FillSpriteTable(SpriteTable& s) {
    s[sprite_entry::kPuck] = From("puck");
    s[sprite_entry::kBurst1] = From("burst.1");
    s[sprite_entry::kBurst2] = From("burst.2");
    s[sprite_entry::kBurst3] = From("burst.3");
    s[4] = From("paddle.back.p1");
    s[5] = From("paddle.front");
    s[6] = From("paddle.back.p2");
    s[7] = From("paddle.front");
    for (int k = 1; k <= 10; ++k) s[sprite_entry::kItemIcon0 + k - 1] = From(ItemIconName(k));
    s[sprite_entry::kLongFront] = From("paddle.front.long");
    s[sprite_entry::kShortBack] = From("paddle.back.short");
    // Effect looks: Back Boost 20..23, Shift Change 23..26, Panic 27..30, Random Speed
    // 31..34, each for paddles 0..3 (the front looks of Back Boost are never used).
    s[20] = From("paddle.boost.back.p1");
    s[21] = {0, 0, 0, 0};
    s[22] = From("paddle.boost.back.p2");
    s[23] = From("paddle.reversed.back.p1");
    s[24] = From("paddle.reversed.front");
    s[25] = From("paddle.reversed.back.p2");
    s[26] = From("paddle.reversed.front");
    s[27] = From("paddle.panic.back.p1");
    s[28] = From("paddle.panic.front");
    s[29] = From("paddle.panic.back.p2");
    s[30] = From("paddle.panic.front");
    s[31] = From("paddle.random.back.p1");
    s[32] = From("paddle.random.front");
    s[33] = From("paddle.random.back.p2");
    s[34] = From("paddle.random.front");
}

}  // namespace vx
