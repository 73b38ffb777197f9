#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <set>
#include <string>

#include "asset_files.h"
#include "draw/sheet_layout.h"

namespace vx::testing {
namespace {

Bitmap Load(const std::string& relative) {
    Bitmap bmp;
    std::string error;
    EXPECT_TRUE(LoadBmp(ProgramPath(relative), bmp, error)) << error;
    return bmp;
}

int VisibleWidth(const SheetSprite& s) {
    return std::min(s.w, kSheetWidth - s.x);
}

bool UniformArea(const Bitmap& b, int x0, int y0, int w, int h) {
    for (int y = y0; y < y0 + h; ++y)
        for (int x = x0; x < x0 + w; ++x)
            if (b.At(x, y) != b.At(x0, y0)) return false;
    return true;
}

// Mean absolute difference per channel between two sprites of one size.
double Difference(const Bitmap& b, const SheetSprite& a, const SheetSprite& c, int w) {
    double sum = 0;
    for (int y = 0; y < a.h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t p = b.At(a.x + x, a.y + y), q = b.At(c.x + x, c.y + y);
            for (int sh = 0; sh <= 16; sh += 8)
                sum += std::abs(int((p >> sh) & 0xFF) - int((q >> sh) & 0xFF));
        }
    return sum / (3.0 * a.h * w);
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
        Bitmap b = Load(e.file);
        EXPECT_EQ(b.width, e.w) << e.file;
        EXPECT_EQ(b.height, e.h) << e.file;
    }
}

TEST(GeneratedPictures, SheetIsWhiteOutsideSpritesAndEverySpriteShowsSomething) {
    Bitmap sheet = Load("design/Pict.bmp");
    ASSERT_EQ(sheet.width, kSheetWidth);
    std::vector<bool> covered(size_t(kSheetWidth) * kSheetHeight, false);
    for (const SheetSprite& s : SheetLayout()) {
        int opaque = 0;
        for (int y = s.y; y < s.y + s.h; ++y)
            for (int x = s.x; x < s.x + VisibleWidth(s); ++x) {
                covered[size_t(y) * kSheetWidth + size_t(x)] = true;
                opaque += !sheet.White(x, y);
            }
        EXPECT_GT(opaque, 0) << s.name << " is empty";
    }
    int stray = 0;
    for (int y = 0; y < kSheetHeight; ++y)
        for (int x = 0; x < kSheetWidth; ++x)
            stray += !covered[size_t(y) * kSheetWidth + size_t(x)] && !sheet.White(x, y);
    EXPECT_EQ(stray, 0) << "opaque pixels outside every sprite";
}

TEST(GeneratedPictures, PixelsSharedAlongAnEdgeAreTransparentForBothSprites) {
    Bitmap sheet = Load("design/Pict.bmp");
    for (const SheetShare& share : SheetShares()) {
        if (share.inset) continue;
        const SheetSprite* a = FindSheetSprite(share.a);
        const SheetSprite* b = FindSheetSprite(share.b);
        for (int y = std::max(a->y, b->y); y < std::min(a->y + a->h, b->y + b->h); ++y)
            for (int x = std::max(a->x, b->x); x < std::min({a->x + a->w, b->x + b->w, kSheetWidth}); ++x)
                EXPECT_TRUE(sheet.White(x, y)) << share.a << " / " << share.b << " at " << x << ", " << y;
    }
}

TEST(GeneratedPictures, SpriteEdgesCarryNoLightFringe) {
    // An anti-aliased edge blended towards white would show as a pale halo on the dark
    // table; flattened edges are composed over the dark colour instead.
    Bitmap sheet = Load("design/Pict.bmp");
    int fringe = 0;
    for (int y = 1; y < kSheetHeight - 1; ++y)
        for (int x = 1; x < kSheetWidth - 1; ++x) {
            if (sheet.White(x, y)) continue;
            const bool edge = sheet.White(x - 1, y) || sheet.White(x + 1, y) || sheet.White(x, y - 1) ||
                              sheet.White(x, y + 1);
            const uint32_t c = sheet.At(x, y);
            if (edge && ((c >> 16) & 0xFF) >= 0xE0 && ((c >> 8) & 0xFF) >= 0xE0 && (c & 0xFF) >= 0xE0)
                ++fringe;
        }
    EXPECT_EQ(fringe, 0);
}

TEST(GeneratedPictures, PiecesDrawnOverOtherPicturesAreSolidRectangles) {
    // The held item icon, the name strips and the gauge are drawn over the panel and
    // partly erased again; a hole would let stale pixels show through.
    Bitmap sheet = Load("design/Pict.bmp");
    for (const SheetSprite& s : SheetLayout()) {
        const std::string n = s.name;
        if (n.rfind("item.held.", 0) != 0 && n.rfind("item.strip.", 0) != 0 && n != "gauge.full") continue;
        // Name strips share their first and last rows with their neighbours.
        const bool strip = n.rfind("item.strip.", 0) == 0;
        for (int y = s.y + (strip ? 1 : 0); y < s.y + (strip ? 15 : s.h); ++y)
            for (int x = s.x; x < s.x + s.w; ++x)
                ASSERT_FALSE(sheet.White(x, y)) << n << " at " << x << ", " << y;
    }
}

TEST(GeneratedPictures, ButtonLooksAndItemIconsAreClearlyDistinct) {
    Bitmap sheet = Load("design/Pict.bmp");
    for (const char* id : {"vs_cpu", "vs_2p", "quit", "return", "ok", "retry", "stage_select", "opening"}) {
        const std::string base = std::string("button.") + id + ".";
        const SheetSprite* normal = FindSheetSprite(base + "normal");
        const SheetSprite* hover = FindSheetSprite(base + "hover");
        const SheetSprite* pressed = FindSheetSprite(base + "pressed");
        const int w = std::min({VisibleWidth(*normal), VisibleWidth(*hover), VisibleWidth(*pressed)});
        EXPECT_GT(Difference(sheet, *normal, *hover, w), 40.0) << id;
        EXPECT_GT(Difference(sheet, *normal, *pressed, w), 40.0) << id;
        EXPECT_GT(Difference(sheet, *hover, *pressed, w), 40.0) << id;
    }
    for (int a = 1; a <= 10; ++a)
        for (int b = a + 1; b <= 10; ++b)
            EXPECT_GT(
                Difference(sheet, *FindSheetSprite(ItemIconName(a)), *FindSheetSprite(ItemIconName(b)), 32),
                15.0)
                << a << " / " << b;
}

TEST(GeneratedPictures, EveryPaddleLookOfOneLengthDiffers) {
    Bitmap sheet = Load("design/Pict.bmp");
    std::vector<const SheetSprite*> paddles;
    for (const SheetSprite& s : SheetLayout())
        if (std::string(s.name).rfind("paddle.", 0) == 0) paddles.push_back(&s);
    for (size_t i = 0; i < paddles.size(); ++i) {
        for (size_t j = i + 1; j < paddles.size(); ++j) {
            if (paddles[i]->h != paddles[j]->h) continue;
            EXPECT_GT(Difference(sheet, *paddles[i], *paddles[j], 10), 12.0)
                << paddles[i]->name << " / " << paddles[j]->name;
        }
    }
}

TEST(GeneratedPictures, BackgroundsKeepThePlacesSpritesAreDrawnIntoPlain) {
    Bitmap title = Load("dat/OP");
    EXPECT_TRUE(UniformArea(title, 156, 169, 200, 29));
    EXPECT_TRUE(UniformArea(title, 156, 206, 200, 29));
    EXPECT_TRUE(UniformArea(title, 208, 242, 84, 29));
    Bitmap waiting = Load("dat/bwait");
    EXPECT_TRUE(UniformArea(waiting, 375, 139, 43, 47));
    Bitmap battle = Load("dat/battle");
    EXPECT_TRUE(UniformArea(battle, 70, 22, 70, 24)) << "player 1 score";
    EXPECT_TRUE(UniformArea(battle, 374, 22, 70, 24)) << "player 2 score";
    EXPECT_TRUE(UniformArea(battle, 247, 14, 100, 31)) << "clock";
    EXPECT_TRUE(UniformArea(battle, 117, 293, 280, 15)) << "gauge place";
    EXPECT_TRUE(UniformArea(battle, 77, 293, 28, 28)) << "player 1 icon";
    EXPECT_TRUE(UniformArea(battle, 410, 293, 28, 28)) << "player 2 icon";
    EXPECT_TRUE(UniformArea(battle, 175, 323, 162, 16)) << "name strip";
    EXPECT_FALSE(UniformArea(battle, 0, 411, 280, 15)) << "the empty gauge shows its segments";
    Bitmap stage = Load("dat/stagec");
    EXPECT_TRUE(UniformArea(stage, 164, 164, 83, 15)) << "mode label";
    EXPECT_TRUE(UniformArea(stage, 340, 73, 114, 15)) << "stage name";
    EXPECT_TRUE(UniformArea(stage, 320, 130, 149, 60)) << "item panel";
    EXPECT_TRUE(UniformArea(stage, 400, 260, 51, 29)) << "OK";
    EXPECT_TRUE(UniformArea(stage, 350, 296, 162, 29)) << "RETURN";
}

TEST(GeneratedPictures, DitherAndCursorPatternsAreExact) {
    Bitmap mas = Load("design/Mas.bmp");
    for (int y = 0; y < mas.height; ++y)
        for (int x = 0; x < mas.width; ++x)
            ASSERT_EQ(mas.At(x, y), ((x + y) & 1) ? 0x000000u : 0xFFFFFFu) << x << ", " << y;
    Bitmap colour = Load("design/Image1.bmp"), mask = Load("design/Image1Mask.bmp");
    for (uint32_t p : colour.pixels) ASSERT_EQ(p, 0x000000u);
    for (uint32_t p : mask.pixels) ASSERT_EQ(p, 0xFFFFFFu);
}

TEST(GeneratedPictures, TheSameBuildWritesTheSameBytes) {
    const std::filesystem::path dir = std::filesystem::temp_directory_path() / "voltrax_assets_again";
    std::filesystem::remove_all(dir);
    const std::string cmd = std::string("QT_QPA_PLATFORM=offscreen \"") + VOLTRAX_ASSETGEN + "\" \"" +
                            dir.string() + "\" > /dev/null 2>&1";
    ASSERT_EQ(std::system(cmd.c_str()), 0);
    int compared = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(dir)) {
        if (!entry.is_regular_file()) continue;
        const std::string rel = std::filesystem::relative(entry.path(), dir).string();
        EXPECT_EQ(ReadAll(entry.path().string()), ReadAll(ProgramPath(rel))) << rel;
        ++compared;
    }
    EXPECT_GE(compared, 27);
    std::filesystem::remove_all(dir);
}

}  // namespace
}  // namespace vx::testing
