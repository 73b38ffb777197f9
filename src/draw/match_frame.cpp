#include "draw/match_frame.h"

#include <cstdlib>

#include "core/game.h"
#include "draw/item_gauge.h"
#include "draw/match_panel.h"
#include "draw/sprite_blit.h"
#include "stage/sprite_table.h"

namespace vx {

namespace {

void RestoreBounds(Game& g, const Rect& r) {
    RestoreRect(g, r.left, r.top, r.right - r.left, r.bottom - r.top, r.left, r.top);
}

const Rect& HiddenArea(const Game& g, const ItemRecord& item) {
    return g.BlindAreas[static_cast<size_t>(item.owner + 1)];
}

// The three paddles Blind leaves visible, in drawing order: the owner's back paddle is
// the hidden one.
std::array<int, 3> VisiblePaddles(const ItemRecord& item) {
    const int owner = item.owner;
    return {3 - std::abs(owner - 1), 1 - owner, 2 - owner};
}

void DrawPaddle(Game& g, const Paddles& paddles, const SpriteTable& sprites, int j) {
    const SpritePlace p = PaddleSpritePlace(paddles, sprites, j);
    const SpriteSource& look = sprites[sprite_entry::kPaddleLook0 + j];
    DrawSprite(g, p.x, p.y, p.w, p.h, look.x, look.y);
}

// The burst picture for states 10..17; false for any other state.
bool DrawBurst(Game& g, const Puck& puck, const SpriteTable& sprites) {
    int entry = 0;
    if (puck.state >= 10 && puck.state <= 12)
        entry = sprite_entry::kBurst1;
    else if (puck.state >= 13 && puck.state <= 15)
        entry = sprite_entry::kBurst2;
    else if (puck.state >= 16 && puck.state <= 17)
        entry = sprite_entry::kBurst3;
    else
        return false;
    const SpriteSource& s = sprites[entry];
    DrawSprite(g, puck.bounds.left, puck.bounds.top, s.w, s.h, s.x, s.y);
    return true;
}

void DrawLivePuck(Game& g, const Puck& puck, const SpriteTable& sprites) {
    const SpriteSource& s = sprites[sprite_entry::kPuck];
    DrawSprite(g, puck.bounds.left, puck.bounds.top, s.w, s.h, s.x, s.y);
}

bool ItemEffectShowing(const ItemRecord& item) {
    return item.phase == item_phase::kEffect && item.timer >= 0;
}

Rect PlaceRect(const SpritePlace& p) {
    return {p.x, p.y, p.x + p.w, p.y + p.h};
}

std::array<uint64_t, 5> SurfaceWrites(const Game& g) {
    return {g.BackPict.Writes(), g.MainPict.Writes(), g.BufPict.Writes(), g.Pict.Writes(), g.Mask.Writes()};
}

void ForgetMarks(Game& g) {
    for (PaddleMark& m : g.frameMarks.paddles) m.intact = false;
    g.frameMarks.gauge.intact = false;
}

// Paddle j stands where its look was drawn, with that look, over the block last restored
// for it, and no other paddle's restore or look this frame reaches into either block
// (those would land in another order than when it is drawn again).
bool StandsAsLeft(const Game& g, const Paddles& paddles, const SpriteTable& sprites,
                  const PaddleRestores& later, int j) {
    const PaddleMark& m = g.frameMarks.paddles[static_cast<size_t>(j)];
    const SpriteSource& look = sprites[sprite_entry::kPaddleLook0 + j];
    if (!m.intact || paddles[static_cast<size_t>(j)].kind == 0 ||
        m.restored != later.block[static_cast<size_t>(j)] ||
        m.drawn != PlaceRect(PaddleSpritePlace(paddles, sprites, j)) || m.lookX != look.x ||
        m.lookY != look.y)
        return false;
    for (int i = 0; i < 4; ++i) {
        if (i == j) continue;
        const Rect others[] = {later.block[static_cast<size_t>(i)],
                               PlaceRect(PaddleSpritePlace(paddles, sprites, i))};
        for (const Rect& o : others)
            if (BlocksMeet(o, m.restored) || BlocksMeet(o, m.drawn)) return false;
    }
    return true;
}

}  // namespace

bool BlindInForce(const ItemRecord& item) {
    return item.kind == item_kind::kBlind && item.phase == item_phase::kEffect;
}

SpritePlace PaddleSpritePlace(const Paddles& paddles, const SpriteTable& sprites, int j) {
    const Paddle& paddle = paddles[static_cast<size_t>(j)];
    const int32_t h = sprites[sprite_entry::kPaddleLook0 + j].h;
    return {paddle.x - 5, paddle.y - RoundHalfEven(h / 2.0), 10, h};
}

void PaintBlindArea(Game& g, const ItemRecord& item) {
    const Rect& a = HiddenArea(g, item);
    BitBlt(g.MainPict, a.left, a.top, a.right - a.left, a.bottom - a.top, nullptr, 0, 0, BlitOp::kBlack);
    ReportChanged(g, a.left, a.top, a.right - a.left, a.bottom - a.top);
}

void EraseFrame(Game& g, PuckSet& pucks, Paddles& paddles, ItemRecord& item, SpriteTable& sprites,
                PaddleRestores* later) {
    const bool blind = BlindInForce(item);
    if (later != nullptr) *later = {};
    // Anything else written since the last frame of local play: no paddle is left.
    if (later == nullptr || blind || g.frameMarks.writes != SurfaceWrites(g)) ForgetMarks(g);
    const bool hit0 = blind && RectsOverlap(pucks.pucks[0].bounds, HiddenArea(g, item));
    if (!(hit0 && blind))
        for (int i = 0; i < pucks.count; ++i)
            RestoreBounds(g, pucks.pucks[static_cast<size_t>(i)].prevBounds);
    if (blind) {
        for (int i = 0; i < pucks.count; ++i)
            RestoreBounds(g, pucks.pucks[static_cast<size_t>(i)].prevBounds);
        PaintBlindArea(g, item);
    }
    // A restore near the top wall may have cut into the score digits.
    for (int i = 0; i < pucks.count; ++i) {
        const Puck& p = pucks.pucks[static_cast<size_t>(i)];
        if (p.bounds.top <= table::kFieldTop || p.prevBounds.top <= table::kFieldTop) {
            DrawScore(g, 0);
            DrawScore(g, 1);
        }
    }
    if (!blind) {
        for (size_t j = 0; j < paddles.size(); ++j) {
            const Paddle& p = paddles[j];
            const PaddleMark& m = g.frameMarks.paddles[j];
            if (later != nullptr) {
                later->block[j] = p.prevBounds;
                later->left[j] = p.kind != 0 && m.intact && m.restored == p.prevBounds;
                if (later->left[j]) continue;
            }
            RestoreBounds(g, p.prevBounds);
        }
    } else {
        for (int j : VisiblePaddles(item)) {
            const SpritePlace p = PaddleSpritePlace(paddles, sprites, j);
            RestoreRect(g, p.x, p.y, p.w, p.h, p.x, p.y);
        }
    }
    if (item.phase != item_phase::kNone && !blind) RestoreBounds(g, item.prevBounds);
}

void MakePaddleRestores(Game& g, PaddleRestores& later) {
    for (size_t j = 0; j < later.block.size(); ++j) {
        if (!later.left[j]) continue;
        later.left[j] = false;
        RestoreBounds(g, later.block[j]);
    }
}

void DrawFrame(Game& g, PuckSet& pucks, Paddles& paddles, ItemRecord& item, SpriteTable& sprites,
               PaddleRestores* later) {
    if (ItemEffectShowing(item) && item.kind == item_kind::kBlind) {
        if (later != nullptr) MakePaddleRestores(g, *later);
        ForgetMarks(g);
        DrawBlindFrame(g, pucks, paddles, item, sprites);
        return;
    }
    std::array<bool, 4> stays{};
    if (later != nullptr) {
        for (int j = 0; j < 4; ++j)
            stays[static_cast<size_t>(j)] =
                later->left[static_cast<size_t>(j)] && StandsAsLeft(g, paddles, sprites, *later, j);
        for (size_t j = 0; j < stays.size(); ++j)
            if (stays[j]) later->left[j] = false;
        MakePaddleRestores(g, *later);
    } else {
        ForgetMarks(g);
    }
    for (int j = 0; j < 4; ++j) {
        const Paddle& paddle = paddles[static_cast<size_t>(j)];
        if (paddle.kind != 0 && !stays[static_cast<size_t>(j)]) DrawPaddle(g, paddles, sprites, j);
        if (later == nullptr || stays[static_cast<size_t>(j)]) continue;
        const SpriteSource& look = sprites[sprite_entry::kPaddleLook0 + j];
        g.frameMarks.paddles[static_cast<size_t>(j)] =
            PaddleMark{later->block[static_cast<size_t>(j)],
                       PlaceRect(PaddleSpritePlace(paddles, sprites, j)), look.x, look.y, paddle.kind != 0};
    }

    for (int i = 0; i < pucks.count; ++i) {
        Puck& p = pucks.pucks[static_cast<size_t>(i)];
        if (p.state == puck_state::kInPlay) {
            DrawLivePuck(g, p, sprites);
            p.prevBounds = p.bounds;
        } else if (DrawBurst(g, p, sprites)) {
            p.prevBounds = p.bounds;
        }
    }

    if (item.phase == item_phase::kCapsuleWaiting || item.phase == item_phase::kCapsuleMoving) {
        const Rect& b = item.bounds;
        DrawSprite(g, b.left, b.top, b.right - b.left, b.bottom - b.top, item.icon.x, item.icon.y);
        item.prevBounds = item.bounds;
    } else if (ItemEffectShowing(item)) {
        DrawItemGauge(g, item.timer, pucks, later != nullptr);
    }

    if (g.ClockChanged) {
        DrawClock(g, g.TimeLeft);
        g.ClockChanged = false;
    }
    RefreshMainPict(g);
    if (later != nullptr) g.frameMarks.writes = SurfaceWrites(g);
}

void DrawBlindFrame(Game& g, PuckSet& pucks, Paddles& paddles, ItemRecord& item, SpriteTable& sprites) {
    for (int j : VisiblePaddles(item)) DrawPaddle(g, paddles, sprites, j);

    const Rect& hidden = HiddenArea(g, item);
    for (int i = 0; i < pucks.count; ++i) {
        Puck& p = pucks.pucks[static_cast<size_t>(i)];
        if (p.state == puck_state::kInPlay) {
            if (!RectsOverlap(p.bounds, hidden)) DrawLivePuck(g, p, sprites);
            p.prevBounds = p.bounds;
        } else if (DrawBurst(g, p, sprites)) {
            if (RectsOverlap(p.bounds, hidden)) PaintBlindArea(g, item);
            p.prevBounds = p.bounds;
        }
    }

    if (ItemEffectShowing(item)) DrawItemGauge(g, item.timer, pucks);
    if (g.ClockChanged) {
        DrawClock(g, g.TimeLeft);
        g.ClockChanged = false;
    }
    RefreshMainPict(g);
}

void DrawClock(Game& g, int16_t time) {
    const int hundreds = time / 100;
    const int tens = time / 10 - hundreds * 10;
    const int ones = time - 100 * hundreds - 10 * tens;
    RestoreRect(g, table::kClockAt.x, table::kClockAt.y, table::kClockWidth, table::kClockHeight,
                table::kClockAt.x, table::kClockAt.y);
    if (time < 10) {
        DrawClockDigit(g, 280, ones);
    } else if (time < 100) {
        DrawClockDigit(g, 265, tens);
        DrawClockDigit(g, 295, ones);
    } else {
        DrawClockDigit(g, 247, hundreds);
        DrawClockDigit(g, 277, tens);
        DrawClockDigit(g, 307, ones);
    }
}

}  // namespace vx
