#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "asset_files.h"
#include "core/sheet_layout.h"
#include "support/files.h"
#include "support/test_game.h"

namespace vx::testing {
namespace {

int VisibleWidth(const SheetSprite& s) {
    return std::min(s.w, kSheetWidth - s.x);
}

TEST(GeneratedPictures, EveryPictureHasTheSizeTheGameReadsItAt) {
    struct Expect {
        const char* file;
        int w, h;
    };
    // The table carries the empty item gauge below the screen, at (0, 411).
    const Expect all[] = {{"dat/OP", 512, 342},           {"dat/stagec", 512, 342},
                          {"dat/bwait", 512, 342},        {"dat/battle", 512, 426},
                          {"design/Pict.bmp", 832, 806},  {"design/LinePict.bmp", 1140, 350},
                          {"design/St3.bmp", 456, 264},   {"design/Mas.bmp", 512, 30},
                          {"design/Image1.bmp", 32, 32},  {"design/Image1Mask.bmp", 32, 32},
                          {"design/About.bmp", 331, 235}, {"design/Items.bmp", 480, 520}};
    for (const Expect& e : all) {
        const Surface b = LoadPicture(e.file);
        EXPECT_EQ(b.Width(), e.w) << e.file;
        EXPECT_EQ(b.Height(), e.h) << e.file;
    }
}

TEST(GeneratedPictures, SheetIsWhiteOutsideSpritesAndEverySpriteShowsSomething) {
    Surface sheet = LoadPicture("design/Pict.bmp");
    ASSERT_EQ(sheet.Width(), kSheetWidth);
    std::vector<bool> covered(size_t(kSheetWidth) * kSheetHeight, false);
    for (const SheetSprite& s : SheetLayout()) {
        int opaque = 0;
        for (int y = s.y; y < s.y + s.h; ++y)
            for (int x = s.x; x < s.x + VisibleWidth(s); ++x) {
                covered[size_t(y) * kSheetWidth + size_t(x)] = true;
                opaque += !IsWhite(sheet, x, y);
            }
        EXPECT_GT(opaque, 0) << s.name << " is empty";
    }
    int stray = 0;
    for (int y = 0; y < kSheetHeight; ++y)
        for (int x = 0; x < kSheetWidth; ++x)
            stray += !covered[size_t(y) * kSheetWidth + size_t(x)] && !IsWhite(sheet, x, y);
    EXPECT_EQ(stray, 0) << "opaque pixels outside every sprite";
}

TEST(GeneratedPictures, PixelsSharedAlongAnEdgeAreTransparentForBothSprites) {
    Surface sheet = LoadPicture("design/Pict.bmp");
    for (const SheetShare& share : SheetShares()) {
        if (share.inset) continue;
        const SheetSprite* a = FindSheetSprite(share.a);
        const SheetSprite* b = FindSheetSprite(share.b);
        for (int y = std::max(a->y, b->y); y < std::min(a->y + a->h, b->y + b->h); ++y)
            for (int x = std::max(a->x, b->x); x < std::min({a->x + a->w, b->x + b->w, kSheetWidth}); ++x)
                EXPECT_TRUE(IsWhite(sheet, x, y)) << share.a << " / " << share.b << " at " << x << ", " << y;
    }
}

TEST(GeneratedPictures, PiecesDrawnOverOtherPicturesAreSolidRectangles) {
    // The held item icon, the name strips and the gauge are drawn over the panel and
    // partly erased again; a hole would let stale pixels show through.
    Surface sheet = LoadPicture("design/Pict.bmp");
    for (const SheetSprite& s : SheetLayout()) {
        const std::string n = s.name;
        if (n.rfind("item.held.", 0) != 0 && n.rfind("item.strip.", 0) != 0 && n != "gauge.full") continue;
        // Name strips share their first and last rows with their neighbours.
        const bool strip = n.rfind("item.strip.", 0) == 0;
        for (int y = s.y + (strip ? 1 : 0); y < s.y + (strip ? 15 : s.h); ++y)
            for (int x = s.x; x < s.x + s.w; ++x)
                ASSERT_FALSE(IsWhite(sheet, x, y)) << n << " at " << x << ", " << y;
    }
}

TEST(GeneratedPictures, DitherAndCursorPatternsAreExact) {
    Surface mas = LoadPicture("design/Mas.bmp");
    for (int y = 0; y < mas.Height(); ++y)
        for (int x = 0; x < mas.Width(); ++x)
            ASSERT_EQ(mas.Pixel(x, y), ((x + y) & 1) ? 0x000000u : 0xFFFFFFu) << x << ", " << y;
    const Surface colour = LoadPicture("design/Image1.bmp"), mask = LoadPicture("design/Image1Mask.bmp");
    EXPECT_EQ(colour, Surface(32, 32, 0x000000));
    EXPECT_EQ(mask, Surface(32, 32, 0xFFFFFF));
}

TEST(GeneratedPictures, TheSameBuildWritesTheSameBytes) {
    const TempFolder folder;
    const std::filesystem::path dir = folder.Path() / "again";
    const std::string cmd = std::string("QT_QPA_PLATFORM=offscreen \"") + VOLTRAX_ASSETGEN + "\" \"" +
                            dir.string() + "\" > /dev/null 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    int compared = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        if (!entry.is_regular_file()) continue;
        const std::string rel = std::filesystem::relative(entry.path(), dir).string();
        EXPECT_EQ(ReadBytes(entry.path()), ReadBytes(ProgramPath(rel))) << rel;
        ++compared;
    }
    EXPECT_GE(compared, 27);
}

}  // namespace
}  // namespace vx::testing
