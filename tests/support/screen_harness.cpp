#include "support/screen_harness.h"

#include "frontend/mouse.h"
#include "platform/picture_file.h"
#include "support/files.h"

namespace vx::testing {

void HoverButton(Game& g, int number) {
    const Rect& r = g.MenuButtons[static_cast<size_t>(number)].rect;
    OnPointerMove(g, 0, 0, (r.left + r.right) / 2.0f, (r.top + r.bottom) / 2.0f);
}

void ClickButton(Game& g, int number) {
    const Rect& r = g.MenuButtons[static_cast<size_t>(number)].rect;
    const float x = (r.left + r.right) / 2.0f, y = (r.top + r.bottom) / 2.0f;
    OnPointerDown(g, 1, 0, x, y);
    OnPointerUp(g, 1, 0, x, y);
    RunFlow(g);
}

void RunFlow(Game& g) {
    if (auto* headless = dynamic_cast<HeadlessHost*>(&g.host)) headless->Run();
}

void WriteFlatBmp(const std::filesystem::path& path, int w, int h, uint32_t colour) {
    Surface s(w, h, colour);
    if (colour == kTableColour) {
        // The empty item gauge on the table, which loading the table stores below it.
        for (int y = 293; y < 308; ++y)
            for (int x = 117; x < 397; ++x) s.SetPixel(x, y, kGaugeEmptyColour);
    }
    WriteBytes(path, EncodeBmp(s));
}

ScreenHarness::ScreenHarness(uint64_t seed) : MatchHarness(seed) {
    WriteFlatBmp(Dat() / "OP", 512, 342, kTitleColour);
    WriteFlatBmp(Dat() / "stagec", 512, 342, kStageSelectColour);
    WriteFlatBmp(Dat() / "bwait", 512, 342, kWaitingColour);
    WriteFlatBmp(Dat() / "battle", 512, 342, kTableColour);
    Game& game = g();
    PaintCodedSheet(game);
    for (int y = 0; y < game.Mas.Height(); ++y)
        for (int x = 0; x < game.Mas.Width(); ++x)
            game.Mas.SetPixel(x, y, (x + y) % 2 == 0 ? kWhite : kBlack);
    // One diagonal per line drawing panel and thumbnail.
    game.LinePict.Fill(kWhite);
    for (int i = 0; i < 130; ++i)
        for (int panel = 0; panel < 5; ++panel)
            game.LinePict.SetPixel(panel * 200 + i, 220 + i, kThumbColour);
    for (int i = 0; i < 220; ++i)
        for (int panel = 0; panel < 3; ++panel) game.LinePict.SetPixel(panel * 380 + i, i, kThumbColour);
    game.St3.Fill(kWhite);
    for (int i = 0; i < 264; ++i) game.St3.SetPixel(i, i, kThumbColour);
}

}  // namespace vx::testing

#include "draw/screen_pictures.h"

namespace vx::testing {

RealScreenHarness::RealScreenHarness(uint64_t seed, Host* windowHost) : MatchHarness(seed, windowHost) {
    CopyBuiltProgram(tg.folder.Path());
    LoadDesignPictures(g());
}

}  // namespace vx::testing
