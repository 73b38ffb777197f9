#include "match/screen_wipe.h"

#include "core/game.h"
#include "core/wait_rule.h"
#include "draw/sprite_blit.h"

namespace vx {

namespace {

constexpr int kBandHeight = 20;
constexpr int kBands = 19;  // from y = 1 in steps of 20; row 0 is never dithered

// Leaves picture AND pattern in every band: pixels under the pattern's set bits keep
// their colour, the others turn black.
void DitherBands(Game& g, Surface& picture) {
    for (int band = 0; band < kBands; ++band) {
        const int y = 1 + band * kBandHeight;
        BitBlt(picture, 0, y, kScreenWidth, kBandHeight, &g.Mas, 0, 0, Rop::SrcErase);
        BitBlt(picture, 0, y, kScreenWidth, kBandHeight, &g.Mas, 0, 0, Rop::SrcInvert);
    }
}

void ShowWhole(Game& g, const Surface& from) {
    BitBlt(g.MainPict, 0, 0, kScreenWidth, kScreenHeight, &from, 0, 0, Rop::SrcCopy);
    ReportChanged(g, 0, 0, kScreenWidth, kScreenHeight);
    RefreshMainPict(g);
}

}  // namespace

bool ScreenWipe(Game& g, uint8_t mode) {
    if (mode == wipe_mode::kFadeOut) {
        DitherBands(g, g.BackPict);
        ShowWhole(g, g.BackPict);
        if (!WaitMs(g, 100)) return false;
        BitBlt(g.BackPict, 0, 0, kScreenWidth, kScreenHeight, nullptr, 0, 0, Rop::Blackness);
        ShowWhole(g, g.BackPict);
        return WaitMs(g, 100);
    }
    if (mode == wipe_mode::kFadeIn) {
        BitBlt(g.BufPict, 0, 0, kScreenWidth, kScreenHeight, &g.BackPict, 0, 0, Rop::SrcCopy);
        DitherBands(g, g.BufPict);
        ShowWhole(g, g.BufPict);
        if (!WaitMs(g, 100)) return false;
        BitBlt(g.BufPict, 0, 0, kScreenWidth, kScreenHeight, &g.BackPict, 0, 0, Rop::SrcCopy);
        ShowWhole(g, g.BufPict);
        return WaitMs(g, 100);
    }
    return true;
}

}  // namespace vx
