#include "platform/surface.h"

#include <gtest/gtest.h>

#include <string>

#include "support/match_harness.h"

namespace vx {
namespace {

constexpr uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kMixed = 0x5A3CF0;

int CountColour(const Surface& s, uint32_t colour) {
    return testing::CountColour(s, 0, 0, s.Width(), s.Height(), colour);
}

TEST(BitBltClipping, BlocksRunningPastAnyEdgeCopyOnlyTheOverlap) {
    const Surface src(4, 4, kRed);
    struct Case {
        int x, y, xs, ys, expectedRed;
    } cases[] = {
        {-2, 0, 0, 0, 8},  // left edge of dest
        {4, 0, 0, 0, 8},   // right edge of dest
        {0, -3, 0, 0, 4},  // top edge of dest
        {0, 5, 0, 0, 4},   // bottom edge of dest
        {0, 0, 2, 0, 8},   // right edge of source
        {0, 0, 0, 3, 4},   // bottom edge of source
        {-5, 0, 0, 0, 0},  // entirely outside
        {10, 10, 0, 0, 0},
    };
    for (const Case& c : cases) {
        Surface dest(6, 6, kGreen);
        BitBlt(dest, c.x, c.y, 4, 4, &src, c.xs, c.ys, BlitOp::kCopy);
        EXPECT_EQ(CountColour(dest, kRed), c.expectedRed)
            << c.x << "," << c.y << " from " << c.xs << "," << c.ys;
        EXPECT_EQ(CountColour(dest, kRed) + CountColour(dest, kGreen), 36);
    }
}

TEST(BitBltClipping, NegativeSourceKeepsPixelsAligned) {
    Surface src(3, 1, kBlack);
    src.SetPixel(0, 0, kRed);
    src.SetPixel(1, 0, kGreen);
    src.SetPixel(2, 0, kBlue);
    Surface dest(5, 1, kWhite);
    BitBlt(dest, 1, 0, 3, 1, &src, -1, 0, BlitOp::kCopy);
    // Source column -1 does not exist, so dest x=1 stays; x=2 gets src 0, x=3 gets src 1.
    EXPECT_EQ(dest.Pixel(1, 0), kWhite);
    EXPECT_EQ(dest.Pixel(2, 0), kRed);
    EXPECT_EQ(dest.Pixel(3, 0), kGreen);
    EXPECT_EQ(dest.Pixel(4, 0), kWhite);
}

TEST(BitBltClipping, BlacknessClipsToDestination) {
    Surface dest(4, 4, kWhite);
    BitBlt(dest, 2, 2, 10, 10, nullptr, 0, 0, BlitOp::kBlack);
    EXPECT_EQ(CountColour(dest, kBlack), 4);
}

TEST(BitBltClipping, OverlappingCopyWithinOneSurfaceActsThroughATemporary) {
    Surface s(4, 1, kBlack);
    for (int x = 0; x < 4; ++x) s.SetPixel(x, 0, static_cast<uint32_t>(x + 1));
    BitBlt(s, 1, 0, 3, 1, &s, 0, 0, BlitOp::kCopy);
    EXPECT_EQ(s.Pixel(1, 0), 1u);
    EXPECT_EQ(s.Pixel(2, 0), 2u);
    EXPECT_EQ(s.Pixel(3, 0), 3u);
}

TEST(MaskedTransfer, MaskThenSpriteLeavesBackgroundAroundTheSprite) {
    // A sprite sheet that is white where transparent: a 2x2 opaque block inside 4x4.
    Surface sheet(4, 4, kWhite);
    sheet.SetPixel(1, 1, kRed);
    sheet.SetPixel(2, 1, kMixed);
    sheet.SetPixel(1, 2, kBlack);
    sheet.SetPixel(2, 2, 0xFEFEFE);  // nearly white is still opaque
    Surface mask(4, 4, kBlack);
    MakeMask(mask, sheet, 4, 4, kWhite);

    Surface back(8, 8, kBlack);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x) back.SetPixel(x, y, static_cast<uint32_t>(0x102030 * (x + 1) + y));
    const Surface before = back;
    BitBlt(back, 2, 3, 4, 4, &mask, 0, 0, BlitOp::kSourceAndNotDest);
    BitBlt(back, 2, 3, 4, 4, &sheet, 0, 0, BlitOp::kXor);

    for (int y = 0; y < 8; ++y) {
        for (int x = 0; x < 8; ++x) {
            const int sx = x - 2, sy = y - 3;
            const bool opaque = sx >= 1 && sx <= 2 && sy >= 1 && sy <= 2;
            const uint32_t expected = opaque ? sheet.Pixel(sx, sy) : before.Pixel(x, y);
            EXPECT_EQ(back.Pixel(x, y), expected) << x << "," << y;
        }
    }
}

// Every pixel different: a word that differs in every byte from its neighbours.
Surface Noise(int w, int h, uint32_t seed) {
    Surface s(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            seed = seed * 1664525u + 1013904223u;
            s.SetPixel(x, y, seed >> 8);
        }
    return s;
}

// The one-pass compositions against the BitBlt calls they stand for, over blocks that
// lie inside, run past every edge, and read the surface they write.
TEST(OnePassComposition, GivesExactlyWhatTheSeparateBlitsGive) {
    struct Case {
        int x, y, w, h, xs, ys;
    } cases[] = {
        {3, 4, 10, 17, 5, 2}, {0, 0, 16, 12, 0, 0}, {12, 9, 10, 10, 0, 0}, {-3, 2, 8, 5, 1, 1},
        {2, -4, 6, 9, 3, 0},  {1, 1, 5, 5, 14, 13}, {1, 1, 4, 4, -2, -1},  {4, 4, 0, 3, 0, 0},
    };
    const Surface mask = Noise(18, 15, 1), sprite = Noise(18, 15, 2), source = Noise(18, 15, 3);
    for (const Case& c : cases) {
        for (int aliased = 0; aliased < 2; ++aliased) {
            const std::string where = std::to_string(c.x) + "," + std::to_string(c.y) + " " +
                                      std::to_string(c.w) + "x" + std::to_string(c.h) + " from " +
                                      std::to_string(c.xs) + "," + std::to_string(c.ys) +
                                      (aliased ? " reading back itself" : "");
            Surface back = Noise(16, 12, 4), front = Noise(16, 12, 5);
            Surface back2 = back, front2 = front;
            const Surface& src = aliased ? back : source;
            const Surface& src2 = aliased ? back2 : source;
            CopyThrough(back, front, c.x, c.y, c.w, c.h, src, c.xs, c.ys);
            BitBlt(back2, c.x, c.y, c.w, c.h, &src2, c.xs, c.ys, BlitOp::kCopy);
            BitBlt(front2, c.x, c.y, c.w, c.h, &back2, c.x, c.y, BlitOp::kCopy);
            EXPECT_TRUE(back == back2 && front == front2) << "copy " << where;

            const Surface& m = aliased ? back : mask;
            const Surface& m2 = aliased ? back2 : mask;
            MaskThrough(back, front, c.x, c.y, c.w, c.h, m, sprite, c.xs, c.ys);
            BitBlt(back2, c.x, c.y, c.w, c.h, &m2, c.xs, c.ys, BlitOp::kSourceAndNotDest);
            BitBlt(back2, c.x, c.y, c.w, c.h, &sprite, c.xs, c.ys, BlitOp::kXor);
            BitBlt(front2, c.x, c.y, c.w, c.h, &back2, c.x, c.y, BlitOp::kCopy);
            EXPECT_TRUE(back == back2 && front == front2) << "mask " << where;
        }
    }
}

TEST(MakeMaskTest, AllBlackWhenNoPixelIsTransparentAndOnlyWxHWritten) {
    Surface src(5, 4, kRed);
    Surface mask(8, 8, kGreen);
    MakeMask(mask, src, 5, 4, kWhite);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(mask.Pixel(x, y), (x < 5 && y < 4) ? kBlack : kGreen) << x << "," << y;
}

TEST(MakeMaskTest, TransparentColourOtherThanWhiteBecomesWhite) {
    Surface src(2, 1, kBlue);
    src.SetPixel(1, 0, kRed);
    Surface mask(2, 1, kBlack);
    MakeMask(mask, src, 2, 1, kBlue);
    EXPECT_EQ(mask.Pixel(0, 0), kWhite);
    EXPECT_EQ(mask.Pixel(1, 0), kBlack);
}

}  // namespace
}  // namespace vx
