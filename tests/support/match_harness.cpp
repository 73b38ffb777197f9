#include "support/match_harness.h"

namespace vx::testing {

MatchHarness::MatchHarness(uint64_t seed) : tg(seed) {
    Game& game = tg.g();
    game.host = &host;
    game.wavePlayer = &wave;
    game.sequencer = &seq;
}

void PaintCodedSheet(Game& g) {
    for (int y = 0; y < g.Pict.Height(); ++y)
        for (int x = 0; x < g.Pict.Width(); ++x) g.Pict.SetPixel(x, y, SheetColour(x, y));
    g.Mask.Fill(kBlack);
}

void PaintTable(Game& g) {
    g.BufPict.Fill(kTableColour);
    BitBlt(g.BufPict, 0, 342, g.BufPict.Width(), g.BufPict.Height() - 342, nullptr, 0, 0, Rop::Blackness);
    for (int y = 411; y < 426; ++y)
        for (int x = 0; x < 280; ++x) g.BufPict.SetPixel(x, y, kGaugeEmptyColour);
    g.BackPict.Fill(kTableColour);
    g.MainPict.Fill(kTableColour);
}

int CountColour(const Surface& s, int x, int y, int w, int h, uint32_t colour) {
    int n = 0;
    for (int row = y; row < y + h; ++row)
        for (int col = x; col < x + w; ++col) n += s.Contains(col, row) && s.Pixel(col, row) == colour;
    return n;
}

bool ShowsSheet(const Surface& s, int x, int y, int sx, int sy) { return s.Pixel(x, y) == SheetColour(sx, sy); }

}  // namespace vx::testing
