#include "core/sheet_layout.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <string>

#include "stage/sprite_table.h"

namespace vx {
namespace {

struct InclusiveBox {
    int l, t, r, b;  // inclusive, clipped to the sheet
};

InclusiveBox Clip(const SheetSprite& s) {
    return {s.x, s.y, std::min(s.x + s.w, kSheetWidth) - 1, std::min(s.y + s.h, kSheetHeight) - 1};
}

bool Overlap(const InclusiveBox& a, const InclusiveBox& b) {
    return a.l <= b.r && b.l <= a.r && a.t <= b.b && b.t <= a.b;
}

bool Declared(const std::string& a, const std::string& b) {
    for (const SheetShare& s : SheetShares()) {
        if ((a == s.a && b == s.b) || (a == s.b && b == s.a)) return true;
    }
    return false;
}

TEST(SheetLayout, NamesAreUniqueAndEveryRectangleStartsOnTheSheet) {
    std::set<std::string> names;
    for (const SheetSprite& s : SheetLayout()) {
        EXPECT_TRUE(names.insert(s.name).second) << s.name;
        EXPECT_GE(s.x, 0) << s.name;
        EXPECT_GE(s.y, 0) << s.name;
        EXPECT_GT(s.w, 0) << s.name;
        EXPECT_GT(s.h, 0) << s.name;
        EXPECT_LT(s.x, kSheetWidth) << s.name;
        EXPECT_LE(s.y + s.h, kSheetHeight) << s.name;
    }
}

TEST(SheetLayout, SpritesOverlapOnlyWhereTheyAreDeclaredToSharePixels) {
    auto all = SheetLayout();
    for (size_t i = 0; i < all.size(); ++i) {
        for (size_t j = i + 1; j < all.size(); ++j) {
            bool overlap = Overlap(Clip(all[i]), Clip(all[j]));
            EXPECT_EQ(overlap, Declared(all[i].name, all[j].name)) << all[i].name << " / " << all[j].name;
        }
    }
}

TEST(SheetLayout, InsetSharesLieInsideTheirHostAndEdgeSharesTouchByOneLine) {
    for (const SheetShare& s : SheetShares()) {
        const SheetSprite* a = FindSheetSprite(s.a);
        const SheetSprite* b = FindSheetSprite(s.b);
        ASSERT_TRUE(a && b) << s.a << " / " << s.b;
        InclusiveBox ba = Clip(*a), bb = Clip(*b);
        if (s.inset) {
            EXPECT_TRUE(ba.l >= bb.l && ba.r <= bb.r && ba.t >= bb.t && ba.b <= bb.b) << s.a;
        } else {
            int w = std::min(ba.r, bb.r) - std::max(ba.l, bb.l) + 1;
            int h = std::min(ba.b, bb.b) - std::max(ba.t, bb.t) + 1;
            EXPECT_TRUE(w == 1 || h == 1) << s.a << " / " << s.b;
        }
    }
}

TEST(SheetLayout, MatchSpriteTableReadsOnlyRectanglesOfTheLayout) {
    SpriteTable table{};
    FillSpriteTable(table);
    auto covered = [](int x, int y, int w, int h) {
        for (const SheetSprite& s : SheetLayout()) {
            if (s.x == x && s.y == y && s.w == w && s.h == h) return true;
        }
        return false;
    };
    for (int i = 0; i <= 34; ++i) {
        if (i == 21) continue;  // not set
        const auto& e = table[i];
        EXPECT_TRUE(covered(e.x, e.y, e.w, e.h)) << "entry " << i;
    }
}

}  // namespace
}  // namespace vx
