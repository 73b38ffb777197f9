// A match is decided by its seed and its keys alone, a captured match state can be
// restored and stepped again to the same frames and events, and the step draws and
// plays nothing itself.
#include "match/match_state.h"

#include <gtest/gtest.h>

#include <vector>

#include "core/game.h"
#include "match/match_events_output.h"
#include "match/match_loop.h"
#include "platform/silent_services.h"
#include "support/headless_match.h"
#include "support/recording_sound.h"
#include "support/test_game.h"

namespace vx {
namespace {

using testing::HeadlessMatch;
using testing::HeadlessOptions;

// Player 1 sweeps up and down; in 1P VS 2P player 2 does the same out of step.
void ScriptedKeys(std::array<bool, 4>& keys, int frame) {
    keys[0] = static_cast<bool>(frame % 40 < 15);
    keys[1] = static_cast<bool>(frame % 40 >= 22);
    keys[3] = static_cast<bool>(frame % 50 < 20);
    keys[2] = static_cast<bool>(frame % 50 >= 30);
}

struct ClockedMatch {
    uint64_t timeReads = 0;
    uint64_t ticks;
    MixingRandom random;
    testing::TestGame t{random};
    Game& g = t.g();
    MatchRecords r;

    // step is how far the wall clock moves between two readings.
    ClockedMatch(uint64_t start, uint64_t step)
        : ticks(start), random(start, [this, step] { return ++timeReads, ticks += step; }) {}

    std::vector<uint64_t> Play(uint8_t stage, uint8_t mode, uint64_t seed, int frames) {
        g.GameMode = mode;
        SetUpMatchState(g, r, stage, seed);
        timeReads = 0;
        std::vector<uint64_t> hashes;
        for (int f = 0; f < frames; ++f) {
            ScriptedKeys(g.KeyFlags, f);
            StepMatchFrame(g, r, mode);
            hashes.push_back(MatchStateHash(g, r));
        }
        return hashes;
    }
};

TEST(DeterministicMatch, WallClockAndHistoryBeforeTheMatchChangeNothing) {
    for (uint8_t stage = 1; stage <= kStageCount; ++stage) {
        for (uint8_t mode : {game_mode::kVsCpu, game_mode::kVs2P}) {
            ClockedMatch steady(1000, 0), racing(987654321, 33333);
            racing.random.Next();  // a different history before the match
            const auto a = steady.Play(stage, mode, 0xC0FFEE, 450);
            const auto b = racing.Play(stage, mode, 0xC0FFEE, 450);
            EXPECT_EQ(a, b) << "stage " << int(stage) << " mode " << int(mode);
            EXPECT_EQ(racing.timeReads, 0u) << "the time of day was read during a match";
            EXPECT_GT(racing.random.Draws(), 50u) << "the match should draw random numbers";
            ClockedMatch other(1000, 0);
            EXPECT_NE(other.Play(stage, mode, 0xC0FFEF, 450).back(), a.back())
                << "another seed, the same match";
        }
    }
}

TEST(DeterministicMatch, ReseedOutsideAMatchTakesTheTimeOfDay) {
    ClockedMatch m(5, 1);
    ReseedRandom(m.g);
    EXPECT_EQ(m.timeReads, 1u);
    SetUpMatchState(m.g, m.r, 1, 9);
    ReseedRandom(m.g);
    EXPECT_EQ(m.timeReads, 1u);
    EndMatchRandom(m.g);
    ReseedRandom(m.g);
    EXPECT_EQ(m.timeReads, 2u);
}

// The step is a function of the state and the keys: stepped again from a restored state
// (as a rollback does) it gives the same states and events, and it draws nothing, plays
// nothing and leaves the keys held alone. Only the event path plays a frame's sounds,
// so a frame run twice and played once is heard once.
TEST(MatchStep, SameStateAndKeysGiveTheSameStateAndEventsAndOnlyTheEventPathIsHeard) {
    for (uint8_t mode : {game_mode::kVsCpu, game_mode::kVs2P}) {
        for (uint8_t item : {uint8_t{0}, item_kind::kDouble, item_kind::kRandomSpeed, item_kind::kBlind}) {
            SCOPED_TRACE(::testing::Message() << "mode " << int(mode) << " item " << int(item));
            NullHost host;
            testing::RecordingWavePlayer sound;
            SilentSequencer music;
            testing::TestGame t(31, host, sound, music);
            Game& g = t.g();
            g.GameMode = mode;
            MatchRecords r;
            SetUpMatchState(g, r, 5, 31);
            testing::HoldItemInForce(item, r);
            const auto keysOf = [](int f) {
                KeyFlagSet keys{};
                ScriptedKeys(keys, f);
                return keys;
            };
            for (int f = 0; f < 120; ++f) StepMatchFrame(g, r, mode, keysOf(f));
            g.KeyFlags = {true, false, false, true};
            const KeyFlagSet held = g.KeyFlags;
            const Surface screen = g.MainPict;
            const MatchState saved = CaptureMatchState(g, r);
            std::vector<MatchEvents> events;
            std::vector<uint64_t> hashes;
            for (int f = 120; f < 520; ++f) {
                events.push_back(StepMatchFrame(g, r, mode, keysOf(f)));
                hashes.push_back(MatchStateHash(g, r));
            }
            EXPECT_TRUE(sound.calls.empty());
            EXPECT_TRUE(g.MainPict == screen);
            EXPECT_EQ(g.KeyFlags, held);
            RestoreMatchState(g, r, saved);
            EXPECT_EQ(CaptureMatchState(g, r), saved);
            size_t sounds = 0;
            for (size_t f = 0; f < events.size(); ++f) {
                ASSERT_EQ(StepMatchFrame(g, r, mode, keysOf(static_cast<int>(f) + 120)), events[f]) << f;
                ASSERT_EQ(MatchStateHash(g, r), hashes[f]) << f;
                OutputMatchEvents(g, events[f], event_output::kSounds);
                for (const MatchEvent& e : events[f]) sounds += e.kind == MatchEvent::Kind::kSound;
            }
            EXPECT_GT(sounds, 10u);
            EXPECT_EQ(sound.calls.size(), sounds);
        }
    }
}

TEST(MatchStateHash, CoversWhatAFrameChangesButNotTheDrawingsBookkeeping) {
    HeadlessMatch m(HeadlessOptions{.stage = 4, .mode = 2, .seed = 8, .randomKeys = true});
    m.Run(300);
    const MatchState base = CaptureMatchState(m.g(), m.r());
    struct Change {
        const char* what;
        void (*apply)(MatchState&);
        bool counts;
    };
    const Change changes[] = {
        {"score", [](MatchState& s) { ++s.Scores[1]; }, true},
        {"key flag", [](MatchState& s) { s.KeyFlags[2] = !s.KeyFlags[2]; }, true},
        {"time left", [](MatchState& s) { --s.TimeLeft; }, true},
        {"clock tick", [](MatchState& s) { ++s.ClockTick; }, true},
        {"frame count", [](MatchState& s) { ++s.FrameCount; }, true},
        {"puck velocity", [](MatchState& s) { ++s.records.pucks.pucks[0].vy; }, true},
        {"paddle length", [](MatchState& s) { ++s.records.paddles[3].halfLength; }, true},
        {"item timer", [](MatchState& s) { ++s.records.item.timer; }, true},
        {"blind area", [](MatchState& s) { ++s.BlindAreas[0].left; }, true},
        {"corner post", [](MatchState& s) { ++s.CornerPosts.posts[3].bottom; }, true},
        {"generator", [](MatchState& s) { s.random.bits[3] ^= 1; }, true},
        {"seed", [](MatchState& s) { s.MatchSeed ^= 1ULL << 63; }, true},
        {"difficulty", [](MatchState& s) { s.Difficulty = 10; }, true},
        {"puck drawn at", [](MatchState& s) { ++s.records.pucks.pucks[0].prevBounds.left; }, false},
        {"paddle drawn at", [](MatchState& s) { ++s.records.paddles[0].prevBounds.top; }, false},
        {"clock to draw", [](MatchState& s) { s.ClockChanged = !s.ClockChanged; }, false},
    };
    for (const Change& c : changes) {
        MatchState s = base;
        c.apply(s);
        EXPECT_EQ(MatchStateHash(s) != MatchStateHash(base), c.counts) << c.what;
    }
}

}  // namespace
}  // namespace vx
