#include "match/screen_wipe.h"

#include "core/game.h"
#include "draw/sprite_blit.h"

namespace vx {

namespace {

constexpr int kBandHeight = 20;
constexpr int kBands = 19;  // from y = 1 in steps of 20; row 0 is never dithered
constexpr int32_t kStepMs = 100;

// Leaves picture AND pattern in every band: pixels under the pattern's set bits keep
// their colour, the others turn black.
void DitherBands(Game& g, Surface& picture) {
    for (int band = 0; band < kBands; ++band) {
        const int y = 1 + band * kBandHeight;
        BitBlt(picture, 0, y, kScreenWidth, kBandHeight, &g.Mas, 0, 0, BlitOp::kSourceAndNotDest);
        BitBlt(picture, 0, y, kScreenWidth, kBandHeight, &g.Mas, 0, 0, BlitOp::kXor);
    }
}

void ShowWhole(Game& g, const Surface& from) {
    BitBlt(g.MainPict, 0, 0, kScreenWidth, kScreenHeight, &from, 0, 0, BlitOp::kCopy);
    ReportChanged(g, 0, 0, kScreenWidth, kScreenHeight);
    RefreshMainPict(g);
}

}  // namespace

void ScreenWipe(Game& g, uint8_t mode) {
    Flow& flow = g.flow;
    if (mode == wipe_mode::kFadeOut) {
        flow.Do([](Game& g) {
            DitherBands(g, g.BackPict);
            ShowWhole(g, g.BackPict);
        });
        flow.WaitMs(kStepMs);
        flow.Do([](Game& g) {
            BitBlt(g.BackPict, 0, 0, kScreenWidth, kScreenHeight, nullptr, 0, 0, BlitOp::kBlack);
            ShowWhole(g, g.BackPict);
        });
        flow.WaitMs(kStepMs);
    } else if (mode == wipe_mode::kFadeIn) {
        flow.Do([](Game& g) {
            BitBlt(g.BufPict, 0, 0, kScreenWidth, kScreenHeight, &g.BackPict, 0, 0, BlitOp::kCopy);
            DitherBands(g, g.BufPict);
            ShowWhole(g, g.BufPict);
        });
        flow.WaitMs(kStepMs);
        flow.Do([](Game& g) {
            BitBlt(g.BufPict, 0, 0, kScreenWidth, kScreenHeight, &g.BackPict, 0, 0, BlitOp::kCopy);
            ShowWhole(g, g.BufPict);
        });
        flow.WaitMs(kStepMs);
    }
}

}  // namespace vx
