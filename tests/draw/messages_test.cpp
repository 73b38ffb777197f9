#include "draw/messages.h"

#include <gtest/gtest.h>

#include "core/sheet_layout.h"
#include "support/match_harness.h"

namespace vx {
namespace {

using testing::MatchHarness;
using testing::ShowsSheet;

class Messages : public ::testing::Test {
  protected:
    void SetUp() override { m.PrepareScreen(); }
    // True when the pixel at (x, y) of MainPict is the top-left pixel of the named sprite.
    bool ShowsSprite(int x, int y, const char* sheetName) {
        const SheetSprite* s = FindSheetSprite(sheetName);
        return s != nullptr && ShowsSheet(g.MainPict, x, y, s->x, s->y);
    }
    MatchHarness m;
    Game& g = m.g();
};

// The drawing code and the asset generator's sheet table must agree on every picture
// the match shows.
TEST_F(Messages, EachMessageIsCutFromItsPictureInTheSheet) {
    const struct {
        const char* message;
        int x, y;
        const char* sprite;
    } cases[] = {
        {"Ready", 154, 145, "msg.ready"},        {"Go!", 190, 145, "msg.go"},
        {"TimeUp", 30, 145, "msg.time_up"},      {"GameSet", 54, 145, "msg.game_set"},
        {"Draw", 21, 145, "msg.draw"},           {"you_win", 30, 145, "msg.you_win"},
        {"you_lose", 30, 145, "msg.you_lose"},   {"Player1_win", 53, 120, "msg.player1"},
        {"Player2_win", 53, 120, "msg.player2"}, {"Player2_win", 93, 180, "msg.win"},
    };
    for (const auto& c : cases) {
        testing::PaintTable(g);
        ShowMessage(g, c.message);
        EXPECT_TRUE(ShowsSprite(c.x, c.y, c.sprite)) << c.message;
    }
}

}  // namespace
}  // namespace vx
