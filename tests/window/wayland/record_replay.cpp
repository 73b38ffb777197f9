// voltrax_record_replay FOLDER [STAGE] [SEED]: plays a whole 60-second 1P VS CPU match
// without a window, with keys that change every few frames, and writes its replay into
// FOLDER the way the game does; prints the file's path. The Wayland tier watches it in
// the window on every compositor and compares the last screens.
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <random>

#include "core/game.h"
#include "match/match_loop.h"
#include "match/replay_recorder.h"
#include "match/rules.h"
#include "support/test_game.h"

int main(int argc, char** argv) {
    using namespace vx;
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s FOLDER [STAGE] [SEED]\n", argv[0]);
        return 2;
    }
    const uint8_t stage = argc > 2 ? static_cast<uint8_t>(std::atoi(argv[2])) : 1;
    const uint64_t seed = argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 7;
    testing::TestGame t(seed);
    Game& g = t.g();
    g.ReplayFolder = argv[1];
    g.GameMode = game_mode::kVsCpu;
    g.StageNo = stage;
    g.RuleKind = rule_kind::kTime;
    g.TimeLeft = 60;
    g.ScoreLimit = 10;
    g.Difficulty = 35;
    MatchRecords r;
    SetUpMatchState(g, r, stage, DrawMatchSeed(g));
    BeginMatchLog(g);
    for (int i = 0; i < kIntroClockCounts; ++i) CountClock(g, g.TimeLeft);
    std::mt19937 keys(static_cast<uint32_t>(seed));
    int16_t result = 0;
    // A 60-second match is 1,800 frames and a few for the last goal; the bound only stops
    // a broken build from running for ever.
    for (int f = 0; f < 10000 && result == 0; ++f) {
        if (f % 6 == 0)
            for (bool& k : g.KeyFlags) k = keys() % 3 == 0 ? true : false;
        TakeFrameKeys(g);
        StepMatchFrame(g, r, g.GameMode);
        NoteFrameDone(g, r);
        result = DecidedResult(g);
    }
    FinishReplay(g, result);
    if (result == 0 || g.KeyLog.lastWritten.empty()) {
        std::fprintf(stderr, "the match did not end\n");
        return 1;
    }
    std::printf("%s\n", g.KeyLog.lastWritten.c_str());
    return 0;
}
