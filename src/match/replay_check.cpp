#include "match/replay_check.h"

#include <cstdio>
#include <filesystem>

#include "core/game.h"
#include "core/match_settings.h"
#include "match/match_loop.h"
#include "match/match_state.h"
#include "match/replay_recorder.h"
#include "match/rules.h"
#include "platform/program_files.h"
#include "platform/random.h"
#include "platform/silent_services.h"

namespace vx {

ReplayOutcome CheckReplay(const Replay& replay, const FrameObserver& onFrame, const SetupHook& onSetup) {
    // The generator and the folder are only there because a Game needs them: the seed
    // restarts the generator, and nothing is read from or written to the folder.
    MixingRandom random(replay.seed, [] { return uint64_t{0}; });
    ProgramFiles files(std::filesystem::temp_directory_path());
    NullHost noWindow;
    SilentWavePlayer noEffects;
    SilentSequencer noMusic;
    Game g(GamePlatform{random, files, noWindow, noEffects, noMusic});
    g.Options.Set(Switch::kEffects, false);
    g.GameMode = replay.gameMode;
    match_settings::UseForMatch(
        g, {replay.stageNo, replay.ruleKind, replay.timeLimit, replay.scoreLimit, replay.difficulty});
    g.Scores = {0, 0};
    // A game without a window: only the state the match's rules read, no screen to enter.
    g.ScreenState = screen_state::kPlaying;

    MatchRecords r;
    SetUpMatchState(g, r, replay.stageNo, replay.seed);
    if (g.RuleKind == rule_kind::kTime)
        for (int i = 0; i < kIntroClockCounts; ++i) CountClock(g, g.TimeLeft);
    if (onSetup) onSetup(g, r);

    ReplayOutcome out;
    for (uint8_t keys : replay.keys) {
        g.KeyFlags = UnpackKeyFlags(keys);
        StepMatchFrame(g, r, g.GameMode);
        ++out.frames;
        if (onFrame) onFrame(out.frames, MatchStateHash(g, r));
        out.result = DecidedResult(g);
        if (out.result != match_result::kUndecided) break;
    }
    out.scores = g.Scores;
    out.finalHash = MatchStateHash(g, r);
    out.agrees = out.frames == replay.keys.size() && out.scores == replay.scores &&
                 out.result == replay.result && out.finalHash == replay.finalHash;
    return out;
}

MatchState ReplayStateAt(const Replay& replay, uint32_t frames) {
    Replay upTo = replay;
    if (upTo.keys.size() > frames) upTo.keys.resize(frames);
    const Game* game = nullptr;
    const MatchRecords* records = nullptr;
    MatchState state;
    CheckReplay(
        upTo, [&](uint32_t, uint64_t) { state = CaptureMatchState(*game, *records); },
        [&](Game& g, MatchRecords& r) {
            game = &g;
            records = &r;
            state = CaptureMatchState(g, r);
        });
    return state;
}

std::string DescribeOutcome(const ReplayOutcome& o) {
    static constexpr const char* kResults[] = {"undecided", "player1", "player2", "draw"};
    const char* result = o.result >= 0 && o.result <= 3 ? kResults[o.result] : "?";
    char line[160];
    std::snprintf(line, sizeof line, "frames %u score %d:%d result %s hash %016llx", o.frames, o.scores[0],
                  o.scores[1], result, static_cast<unsigned long long>(o.finalHash));
    return line;
}

}  // namespace vx
