#include "match/screen_wipe.h"

#include <gtest/gtest.h>

#include "support/screen_harness.h"

namespace vx {
namespace {

using testing::ScreenHarness;

constexpr uint32_t kPicture = 0x8899AA;

TEST(ScreenWipeTest, EachHalfTakes200MsAndItsMiddleStepDithersEveryRowButTheTopOne) {
    ScreenHarness h;
    Game& g = h.g();
    g.BackPict.Fill(kPicture);
    Surface duringFadeOut, duringFadeIn;
    h.host.At(50, [&] { duringFadeOut = g.MainPict; });
    ScreenWipe(g, wipe_mode::kFadeOut);
    h.host.Run();
    const int64_t fadeInStart = h.host.NowMs();
    EXPECT_EQ(fadeInStart, 202) << "two waits, each ending at the first reading past 100 ms";
    EXPECT_EQ(testing::CountColour(g.MainPict, 0, 0, 512, 342, kBlack), 512 * 342) << "faded out to black";
    EXPECT_EQ(testing::CountColour(g.BackPict, 0, 0, 512, 342, kBlack), 512 * 342)
        << "a fade-in would stay black";
    g.BackPict.Fill(kPicture);
    h.host.At(fadeInStart + 50, [&] { duringFadeIn = g.MainPict; });
    ScreenWipe(g, wipe_mode::kFadeIn);
    h.host.Run();

    for (const Surface* s : {&duringFadeOut, &duringFadeIn}) {
        EXPECT_EQ(testing::CountColour(*s, 0, 0, 512, 1, kPicture), 512) << "row 0 keeps its colour";
        // Every other row has half its pixels black: the checkerboard.
        EXPECT_EQ(testing::CountColour(*s, 0, 1, 512, 341, kBlack), 512 * 341 / 2);
        EXPECT_EQ(testing::CountColour(*s, 0, 1, 512, 341, kPicture), 512 * 341 / 2);
    }
    EXPECT_EQ(g.MainPict, g.BackPict) << "the fade-in ends on the composed picture";
    EXPECT_EQ(g.BufPict.Pixel(10, 10), kPicture) << "and leaves its copy in BufPict";
}

TEST(ScreenWipeTest, EndingTheProgramMidFadeReturnsAtOnce) {
    ScreenHarness h;
    Game& g = h.g();
    h.host.At(30, [&] { h.host.EndProgram(); });
    ScreenWipe(g, wipe_mode::kFadeOut);
    h.host.Run();
    EXPECT_LT(h.host.NowMs(), 100);
    EXPECT_FALSE(g.flow.Busy());
}

}  // namespace
}  // namespace vx
