// A replay played through without a window, drawing or sound, as fast as the frames can
// be stepped: what --verify-replay runs and the tests compare recordings with.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "match/match_state.h"
#include "match/replay_file.h"

namespace vx {

struct Game;
struct MatchRecords;

struct ReplayOutcome {
    uint32_t frames = 0;  // frames stepped
    std::array<uint8_t, 2> scores{};
    int16_t result = 0;  // 0 when the keys ran out before the match was decided
    uint64_t finalHash = 0;
    bool agrees = false;  // frames, scores, result and hash all as recorded
};

// Called after every frame with its number (from 1) and the state hash.
using FrameObserver = std::function<void(uint32_t frame, uint64_t hash)>;
// Called once after the match is set up, before the first frame (tests use it to hold
// an item in force on both sides of a comparison).
using SetupHook = std::function<void(Game& g, MatchRecords& r)>;

ReplayOutcome CheckReplay(const Replay& replay, const FrameObserver& onFrame = {},
                          const SetupHook& onSetup = {});

// The match's state after its first frames frames (fewer when it is decided sooner).
MatchState ReplayStateAt(const Replay& replay, uint32_t frames);

// "frames 3597 score 7:5 result player1 hash 0123456789abcdef"
std::string DescribeOutcome(const ReplayOutcome& outcome);

}  // namespace vx
