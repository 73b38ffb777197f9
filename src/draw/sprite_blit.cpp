#include "draw/sprite_blit.h"

#include "core/game.h"

namespace vx {

void ReportChanged(Game& g, int32_t x, int32_t y, int32_t w, int32_t h) {
    if (w <= 0 || h <= 0) return;
    const Rect block{x, y, x + w, y + h};
    FrameMarks& marks = g.frameMarks;
    for (PaddleMark& m : marks.paddles)
        if (m.intact && (BlocksMeet(m.restored, block) || BlocksMeet(m.drawn, block))) m.intact = false;
    if (marks.gauge.intact && BlocksMeet(kGaugeArea, block)) marks.gauge.intact = false;
    g.host.Present(x, y, w, h);
}

void RefreshMainPict(Game& g) {
    g.host.Refresh();
}

void PresentBack(Game& g, int32_t x, int32_t y, int32_t w, int32_t h) {
    BitBlt(g.MainPict, x, y, w, h, &g.BackPict, x, y, BlitOp::kCopy);
    ReportChanged(g, x, y, w, h);
}

void MaskedToBack(Game& g, int32_t x, int32_t y, int32_t w, int32_t h, int32_t xs, int32_t ys) {
    BitBlt(g.BackPict, x, y, w, h, &g.Mask, xs, ys, BlitOp::kSourceAndNotDest);
    BitBlt(g.BackPict, x, y, w, h, &g.Pict, xs, ys, BlitOp::kXor);
}

void RestoreRect(Game& g, int32_t x, int32_t y, int32_t w, int32_t h, int32_t xs, int32_t ys) {
    CopyThrough(g.BackPict, g.MainPict, x, y, w, h, g.BufPict, xs, ys);
    ReportChanged(g, x, y, w, h);
}

void DrawSprite(Game& g, int32_t x, int32_t y, int32_t w, int32_t h, int32_t xs, int32_t ys) {
    MaskThrough(g.BackPict, g.MainPict, x, y, w, h, g.Mask, g.Pict, xs, ys);
    ReportChanged(g, x, y, w, h);
}

void ScreenBlit(Game& g, int32_t x, int32_t y, int32_t w, int32_t h, int32_t xs, int32_t ys, int16_t mode) {
    if (mode == blit_mode::kScreenSprite) {
        BitBlt(g.MainPict, x, y, w, h, &g.Mask, xs, ys, BlitOp::kSourceAndNotDest);
        BitBlt(g.MainPict, x, y, w, h, &g.Pict, xs, ys, BlitOp::kXor);
        ReportChanged(g, x, y, w, h);
    } else if (mode == blit_mode::kPresent) {
        BitBlt(g.MainPict, x, y, w, h, &g.BackPict, xs, ys, BlitOp::kCopy);
        ReportChanged(g, x, y, w, h);
    }
}

}  // namespace vx
