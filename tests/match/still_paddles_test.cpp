// A frame of local play leaves the block of a paddle that stood still as it is. The
// picture must stay exactly what restoring and drawing every paddle every frame gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>

#include "draw/match_frame.h"
#include "match/match_events_output.h"
#include "match/match_loop.h"
#include "support/headless_match.h"
#include "support/match_harness.h"

namespace vx {
namespace {

using testing::HeadlessMatch;
using testing::HeadlessOptions;

// A background whose every pixel differs from its neighbours (a restore from the wrong
// place shows), and a coded sheet with see-through pixels (a look drawn over something
// other than the clean background shows).
void PaintPatterns(Game& g) {
    testing::PaintCodedSheet(g);
    for (int y = 0; y < g.Pict.Height(); ++y)
        for (int x = 0; x < g.Pict.Width(); ++x)
            if ((x * 7 + y * 3) % 5 == 0) {
                g.Pict.SetPixel(x, y, kWhite);
                g.Mask.SetPixel(x, y, kWhite);
            }
    for (int y = 0; y < g.BufPict.Height(); ++y)
        for (int x = 0; x < g.BufPict.Width(); ++x)
            g.BufPict.SetPixel(x, y, static_cast<uint32_t>((x * 2654435761u) ^ (y * 40503u)) & kWhite);
    BitBlt(g.BackPict, 0, 0, kScreenWidth, kScreenHeight, &g.BufPict, 0, 0, BlitOp::kCopy);
    BitBlt(g.MainPict, 0, 0, kScreenWidth, kScreenHeight, &g.BufPict, 0, 0, BlitOp::kCopy);
}

// Every stage in both modes, with paddles held still, moved and moved back by random
// keys, through serves, goals, capsules and their effects (Blind's start and end among
// them): after every frame both pictures equal those of frames that restore and draw
// every paddle.
TEST(StillPaddles, LeavingThemAloneShowsExactlyWhatRedrawingThemShows) {
    uint64_t writesLeaving = 0, writesRedrawing = 0;
    long blindStarts = 0;
    for (uint8_t stage = 1; stage <= 5; ++stage) {
        for (const uint8_t mode : {game_mode::kVsCpu, game_mode::kVs2P}) {
            const HeadlessOptions options{stage, mode, 35, 11u * stage + mode, false, 0};
            HeadlessMatch leaving(options), redrawing(options);
            Game& a = leaving.g();
            Game& b = redrawing.g();
            PaintPatterns(a);
            PaintPatterns(b);
            // Two players get only Blind capsules: its start paints a side black over paddles
            // whose blocks are not restored yet.
            if (mode == game_mode::kVs2P)
                for (ItemRecord* item : {&leaving.r().item, &redrawing.r().item}) {
                    item->allowedCount = 1;
                    item->allowed[0] = item_kind::kBlind;
                }
            std::mt19937 keys(stage * 100u + mode);
            std::array<int, 2> holdFor{};
            for (int frame = 0; frame < 900; ++frame) {
                // Each side holds nothing, up or down for up to 20 frames.
                for (int side = 0; side < 2; ++side) {
                    if (holdFor[side]-- > 0) continue;
                    const unsigned choice = keys() % 3;
                    const int up = side == 0 ? 0 : 3, down = side == 0 ? 1 : 2;
                    a.KeyFlags[up] = choice == 1;
                    a.KeyFlags[down] = choice == 2;
                    holdFor[side] = static_cast<int>(keys() % 20);
                }
                b.KeyFlags = a.KeyFlags;
                const uint64_t before[2] = {a.BackPict.Writes() + a.MainPict.Writes(),
                                            b.BackPict.Writes() + b.MainPict.Writes()};

                PlayFrame(a, leaving.r(), mode);

                MatchRecords& r = redrawing.r();
                EraseFrame(b, r.pucks, r.paddles, r.item, r.sprites);
                const MatchEvents events = StepMatchFrame(b, r, mode);
                OutputMatchEvents(b, events, event_output::kAll);
                DrawFrame(b, r.pucks, r.paddles, r.item, r.sprites);

                blindStarts += std::count_if(events.begin(), events.end(), [](const MatchEvent& e) {
                    return e.kind == MatchEvent::Kind::kItemStarted && e.itemKind == item_kind::kBlind;
                });
                writesLeaving += a.BackPict.Writes() + a.MainPict.Writes() - before[0];
                writesRedrawing += b.BackPict.Writes() + b.MainPict.Writes() - before[1];
                ASSERT_TRUE(a.MainPict == b.MainPict && a.BackPict == b.BackPict)
                    << "stage " << int{stage} << " mode " << int{mode} << " frame " << frame;
            }
        }
    }
    EXPECT_GE(blindStarts, 3);
    // The still paddles were left alone often enough to matter.
    EXPECT_LT(writesLeaving, writesRedrawing * 9 / 10) << writesLeaving << " of " << writesRedrawing;
}

}  // namespace
}  // namespace vx
