#include "support/match_harness.h"

#include "draw/menu_buttons.h"
#include "frontend/keyboard.h"
#include "match/match_loop.h"

namespace vx::testing {

MatchHarness::MatchHarness(uint64_t seed, Host* windowHost)
    : tg(seed, windowHost != nullptr ? *windowHost : host, wave, seq) {}

void MatchHarness::PrepareScreen() {
    PaintCodedSheet(g());
    PaintTable(g());
    for (uint8_t n = 1; n <= kMenuButtonCount; ++n) InitMenuButton(g(), n);
}

void MatchHarness::KeyDown(int16_t keyCode) {
    OnKeyDown(g(), keyCode, 0);
}

void MatchHarness::KeyUp(int16_t keyCode) {
    OnKeyUp(g(), keyCode, 0);
}

void MatchHarness::KeyDownAtFrame(int frame, int16_t keyCode) {
    host.At(PlayFrameStartMs(frame), [this, keyCode] { KeyDown(keyCode); });
}

void MatchHarness::KeyUpAtFrame(int frame, int16_t keyCode) {
    host.At(PlayFrameStartMs(frame), [this, keyCode] { KeyUp(keyCode); });
}

void MatchHarness::EndProgramAt(int64_t atMs) {
    host.At(atMs, [this] { host.EndProgram(); });
}

void MatchHarness::Run() {
    RunMatch(g(), g().GameMode, g().StageNo);
    host.Run();
}

void PaintCodedSheet(Game& g) {
    for (int y = 0; y < g.Pict.Height(); ++y)
        for (int x = 0; x < g.Pict.Width(); ++x) g.Pict.SetPixel(x, y, SheetColour(x, y));
    g.Mask.Fill(kBlack);
}

void PaintTable(Game& g) {
    g.BufPict.Fill(kTableColour);
    BitBlt(g.BufPict, 0, 342, g.BufPict.Width(), g.BufPict.Height() - 342, nullptr, 0, 0, BlitOp::kBlack);
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

bool ShowsSheet(const Surface& s, int x, int y, int sx, int sy) {
    return s.Pixel(x, y) == SheetColour(sx, sy);
}

}  // namespace vx::testing
