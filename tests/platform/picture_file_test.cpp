#include "platform/picture_file.h"

#include <gtest/gtest.h>

#include <fstream>

#include "support/files.h"
#include "support/test_game.h"

namespace vx {
namespace {

Surface Sample() {
    Surface s(5, 3, kWhite);  // odd width: rows need padding
    s.SetPixel(0, 0, 0x112233);
    s.SetPixel(4, 2, 0xA0B0C0);
    s.SetPixel(2, 1, kBlack);
    return s;
}

TEST(BmpPictures, PalettedAndTopDownPicturesDecode) {
    // 2x2, 1 bit per pixel, top-down (negative height), palette black/white.
    std::vector<uint8_t> b = {'B', 'M', 0, 0, 0, 0, 0, 0, 0, 0, 62, 0, 0, 0, 40, 0, 0, 0, 2, 0, 0, 0, 0xFE,
                              0xFF, 0xFF, 0xFF, 1, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 2,
                              0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xFF, 0xFF, 0xFF, 0, 0x40, 0, 0,
                              0,               // row 0: black,
                                               // white
                              0x80, 0, 0, 0};  // row 1: white, black
    Surface s;
    std::string error;
    ASSERT_TRUE(DecodeBmp(b, s, error)) << error;
    EXPECT_EQ(s.Pixel(0, 0), kBlack);
    EXPECT_EQ(s.Pixel(1, 0), kWhite);
    EXPECT_EQ(s.Pixel(0, 1), kWhite);
    EXPECT_EQ(s.Pixel(1, 1), kBlack);
}

TEST(BmpPictures, DamagedFilesAreRefusedWithoutTouchingTheSurface) {
    const std::vector<uint8_t> good = EncodeBmp(Sample());
    std::vector<std::vector<uint8_t>> bad;
    bad.emplace_back(good.begin(), good.begin() + 20);  // header cut
    bad.emplace_back(good.begin(), good.end() - 5);     // pixels cut
    auto hugeWidth = good;
    hugeWidth[21] = 0x7F;  // width 0x7F000005
    bad.push_back(hugeWidth);
    auto zeroHeight = good;
    zeroHeight[22] = zeroHeight[23] = zeroHeight[24] = zeroHeight[25] = 0;
    bad.push_back(zeroHeight);
    auto compressed = good;
    compressed[30] = 1;
    bad.push_back(compressed);
    auto offsetPastEnd = good;
    offsetPastEnd[13] = 0x7F;
    bad.push_back(offsetPastEnd);
    for (const auto& bytes : bad) {
        Surface s(2, 2, 0x123456);
        std::string error;
        EXPECT_FALSE(DecodeBmp(bytes, s, error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(s, Surface(2, 2, 0x123456));
    }
}

// Also the encoder and decoder round trip: every pixel, its orientation and padded rows.
TEST(PictureLoaderTest, ReadsByContentAndNamesTheFileOnFailure) {
    testing::TempFolder folder;
    testing::WriteBytes(folder.Path() / "OP", EncodeBmp(Sample()));
    std::ofstream(folder.Path() / "junk") << "hello";
    PictureLoader loader;
    Surface s;
    std::string error;
    EXPECT_TRUE(loader.Load(folder.Path() / "OP", s, error)) << error;
    EXPECT_EQ(s, Sample());
    EXPECT_FALSE(loader.Load(folder.Path() / "junk", s, error));
    EXPECT_NE(error.find("junk"), std::string::npos);
    EXPECT_FALSE(loader.Load(folder.Path() / "missing", s, error));
    EXPECT_NE(error.find("missing"), std::string::npos);
}

}  // namespace
}  // namespace vx
