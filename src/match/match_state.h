// A whole match at one frame boundary: the working records, the match fields of Game
// that a frame reads or writes, the settings it plays under and the generator's state.
// Capture and restore let a match be rolled back and stepped again identically with
// StepMatchFrame; the hash compares two runs of a match frame by frame.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/arith.h"
#include "core/geometry.h"
#include "core/match_records.h"
#include "platform/random.h"

namespace vx {

struct Game;

struct MatchState {
    MatchRecords records;

    // What the frame changes.
    std::array<uint8_t, 2> Scores{};
    KeyFlagSet KeyFlags{};
    int16_t TimeLeft = 0;
    uint8_t ClockTick = 0;
    bool ClockChanged = false;  // for the drawing only; not part of the hash
    uint32_t FrameCount = 0;
    std::array<Rect, 3> BlindAreas{};
    CornerPostSet CornerPosts;
    bool SimulationFlag = false;
    RandomState random;

    // What the frame only reads.
    uint64_t MatchSeed = 0;
    bool MatchSeeded = false;
    uint8_t GameMode = 0;
    uint8_t StageNo = 0;
    uint8_t RuleKind = 0;
    int16_t ScoreLimit = 0;
    uint8_t Difficulty = 0;

    bool operator==(const MatchState&) const = default;
};

MatchState CaptureMatchState(const Game& g, const MatchRecords& r);
// Puts g, r and the generator back exactly as they were when state was captured, all
// but the key flags: g.KeyFlags are the keys held now, which a restore does not take
// back (the state's KeyFlags are the inputs of its last frame).
void RestoreMatchState(Game& g, MatchRecords& r, const MatchState& state);

// 64-bit FNV-1a over the state field by field (no padding bytes), so equal states hash
// equal on every build. The drawing's bookkeeping (previous bounds, ClockChanged) is
// left out: a match stepped headless hashes like the same match shown in the window.
uint64_t MatchStateHash(const MatchState& state);
uint64_t MatchStateHash(const Game& g, const MatchRecords& r);

// Every field the hash covers, one "name value" line each in the hash's order
// ("records.puck[0].x 12345"): what a desync's evidence shows of a state.
std::string DescribeMatchState(const MatchState& state);

}  // namespace vx
