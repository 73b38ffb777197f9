// Keeps "Adding a stage" in HACKING.md honest: a new row of the stage table must find
// free places for its pictures and its slot, contain its obstacles in its line drawing,
// and get a working slot, sheet sprites, item panel lines and settings value from the row alone.
#include "core/stage_tables.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "core/sheet_layout.h"
#include "draw/menu_buttons.h"
#include "frontend/mouse.h"
#include "frontend/stage_select.h"
#include "frontend/sys_data.h"
#include "frontend/title_screen.h"
#include "support/screen_harness.h"

namespace vx {
namespace {

bool Overlap(const Box& a, const Box& b) {
    return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}
Box FromInclusive(const Rect& r) {  // pixels, both edges in
    return {r.left, r.top, r.right - r.left + 1, r.bottom - r.top + 1};
}
Box Span(const Rect& r) {  // coordinates: a wall is the line between two corners
    return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}
bool Inside(const Box& inner, const Box& outer) {
    return inner.x >= outer.x && inner.y >= outer.y && inner.x + inner.w <= outer.x + outer.w &&
           inner.y + inner.h <= outer.y + outer.h;
}

// The places a stage's line drawing and thumbnail take in their pictures.
std::vector<std::pair<LinePicture, Box>> LinePlaces(const StageRow& s) {
    std::vector<std::pair<LinePicture, Box>> places;
    if (s.lines.picture != LinePicture::kNone) places.push_back({s.lines.picture, s.lines.source});
    if (s.thumb.w > 0) places.push_back({LinePicture::kLinePict, s.thumb});
    return places;
}

TEST(StageTable, PicturesAndSlotsOfDifferentStagesNeverOverlap) {
    const Box screen{0, 0, kScreenWidth, kScreenHeight};
    const Box returnButton{350, 296, 200, 29}, okButton{400, 260, 51, 29};
    for (int a = 1; a <= kStageCount; ++a) {
        const StageRow& s = StageFacts(a);
        const Box slot{s.slot.x, s.slot.y, kSlotW, kSlotH};
        const Box hit = FromInclusive(s.slotHit);
        EXPECT_TRUE(Inside(slot, screen) && Inside(hit, screen)) << a;
        EXPECT_TRUE(Inside({slot.x + kSlotW / 2, slot.y + kSlotH / 2, 1, 1}, hit)) << a;
        EXPECT_FALSE(Overlap(hit, returnButton) || Overlap(hit, okButton)) << a;
        for (int b = a; b <= kStageCount; ++b) {
            const StageRow& t = StageFacts(b);
            if (b != a) {
                EXPECT_FALSE(Overlap(slot, {t.slot.x, t.slot.y, kSlotW, kSlotH})) << a << " / " << b;
                EXPECT_FALSE(Overlap(hit, FromInclusive(t.slotHit))) << a << " / " << b;
            }
            const auto mine = LinePlaces(s), theirs = LinePlaces(t);
            for (size_t i = 0; i < mine.size(); ++i)
                for (size_t j = (a == b ? i + 1 : 0); j < theirs.size(); ++j)
                    EXPECT_FALSE(mine[i].first == theirs[j].first &&
                                 Overlap(mine[i].second, theirs[j].second))
                        << a << " / " << b;
        }
    }
}

TEST(StageTable, EveryObstacleLiesInsideItsStagesLineDrawing) {
    for (int n = 1; n <= kStageCount; ++n) {
        const StageRow& s = StageFacts(n);
        if (s.walls.empty() && s.bumpers.empty() && s.cornerPosts.empty()) continue;
        ASSERT_NE(s.lines.picture, LinePicture::kNone) << "stage " << n << " has obstacles but no drawing";
        EXPECT_GT(s.thumb.w, 0) << n;
        const Box drawn{s.lines.at.x, s.lines.at.y, s.lines.source.w, s.lines.source.h};
        for (const WallPiece& w : s.walls) EXPECT_TRUE(Inside(Span(w.bounds), drawn)) << n;
        for (const Rect& r : s.cornerPosts) EXPECT_TRUE(Inside(Span(r), drawn)) << n;
        for (const BumperPiece& b : s.bumpers) {
            const Box round{b.cx / 100 - kBumperRadius, b.cy / 100 - kBumperRadius, 2 * kBumperRadius,
                            2 * kBumperRadius};
            EXPECT_TRUE(Inside(round, drawn)) << n;
        }
    }
}

TEST(StageTable, SheetSpritesAreListedWhereTheRowPutsThemAndNamedForTheGenerator) {
    for (int n = 1; n <= kStageCount; ++n) {
        const StageRow& s = StageFacts(n);
        // The generator paints the name and digit of the stage whose number ends the name.
        EXPECT_EQ(std::string(s.namePlate.sprite), "stage.name." + std::to_string(n));
        EXPECT_EQ(std::string(s.digit.sprite), "stage.digit." + std::to_string(n));
        for (const SheetPlace& p : {s.namePlate, s.digit}) {
            const SheetSprite* sprite = FindSheetSprite(p.sprite);
            ASSERT_NE(sprite, nullptr) << p.sprite;
            EXPECT_EQ(sprite->x, p.x) << p.sprite;
            EXPECT_EQ(sprite->y, p.y) << p.sprite;
        }
    }
}

TEST(StageTable, EveryLeftOutItemHasALineOnTheStageSelectPanel) {
    for (int n = 1; n <= kStageCount; ++n) {
        for (uint8_t mode : {game_mode::kVsCpu, game_mode::kVs2P}) {
            const auto lines = MissingItemLines(mode, static_cast<uint8_t>(n));
            EXPECT_FALSE(lines.empty()) << n;
            for (const char* sprite : lines)
                EXPECT_NE(FindSheetSprite(sprite), nullptr) << n << " " << sprite;
        }
    }
    // Stage 5 has no Double; against the CPU the two-player kinds are out as well.
    EXPECT_EQ(MissingItemLines(game_mode::kVsCpu, 5),
              (std::vector<const char*>{"panel.double", "panel.blind", "panel.shift_change"}));
}

TEST(StageTable, EachRowGetsAWorkingSlotAndASettingsValue) {
    testing::ScreenHarness h;
    Game& g = h.g();
    ShowTitle(g, true);
    ShowStageSelect(g);
    h.host.Run();
    for (int n = kStageCount; n >= 1; --n) {
        const Point& slot = StageFacts(n).slot;
        const float x = slot.x + kSlotW / 2.0f, y = slot.y + kSlotH / 2.0f;
        OnPointerDown(g, 1, 0, x, y);
        EXPECT_EQ(g.MainPict.Pixel(slot.x + 1, slot.y + 1), 0xFFFF00u) << "frame on slot " << n;
        OnPointerUp(g, 1, 0, x, y);
        EXPECT_EQ(g.StageNo, n);
    }
    SettingsRecord record = DefaultSettingsRecord();
    record[settings_offset::kStageNo] = kStageCount;
    DecodeSettings(record, g);
    EXPECT_EQ(g.StageNo, kStageCount);
    record[settings_offset::kStageNo] = kStageCount + 1;
    DecodeSettings(record, g);
    EXPECT_EQ(g.StageNo, 1);
}

}  // namespace
}  // namespace vx
