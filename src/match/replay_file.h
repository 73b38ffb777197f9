// The replay file: what decides a match (its settings and seed, the key flags of every
// frame) and how it ended, in a small versioned format of our own. Key flags are
// stored as runs of unchanged flags, one byte a run of up to 16 frames, so even a
// match whose keys change every frame takes one byte a frame: a 120-second match
// (3597 frames) stays under 4 KB.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

namespace vx {

namespace replay_format {
constexpr char kMagic[8] = {'V', 'X', 'R', 'E', 'P', 'L', 'A', 'Y'};
constexpr uint16_t kVersion = 1;
constexpr size_t kHeaderSize = 72;
constexpr size_t kChecksumSize = 4;
constexpr size_t kProgramVersionSize = 16;
// Ten hours of frames and the largest file that many runs can take: nothing bigger is
// ever read or allocated.
constexpr uint32_t kMaxFrames = 10u * 3600u * 30u;
constexpr size_t kMaxFileSize = kHeaderSize + kMaxFrames + kChecksumSize;
}  // namespace replay_format

struct Replay {
    std::string programVersion;  // at most 16 bytes are kept
    int64_t date = 0;            // seconds since the Unix epoch, UTC
    uint64_t seed = 0;
    uint8_t gameMode = 1;
    uint8_t stageNo = 1;
    uint8_t ruleKind = 1;
    uint8_t difficulty = 35;
    int16_t timeLimit = 120;
    int16_t scoreLimit = 10;
    bool complete = false;  // false: stopped or quit before the result
    std::array<uint8_t, 2> scores{};
    int16_t result = 0;  // 0 undecided, 1 player 1, 2 player 2 or the CPU, 3 draw
    uint64_t finalHash = 0;
    std::vector<uint8_t> keys;  // one entry a frame: bit i set when KeyFlags[i] was held
    bool operator==(const Replay&) const = default;
};

std::vector<uint8_t> EncodeReplay(const Replay& replay);

// Fills replay from bytes, or returns false with one sentence in error saying what is
// wrong (empty, truncated, not a replay, a newer format, damaged, a field out of range,
// a frame count that disagrees with the key data).
bool DecodeReplay(std::span<const uint8_t> bytes, Replay& replay, std::string& error);

// Reads and decodes a file; files larger than any replay can be are refused unread.
bool ReadReplayFile(const std::filesystem::path& path, Replay& replay, std::string& error);

// The CRC-32 (IEEE) that closes a replay file.
uint32_t ReplayChecksum(std::span<const uint8_t> bytes);

}  // namespace vx
