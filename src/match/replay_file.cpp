#include "match/replay_file.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <system_error>

#include "core/match_settings.h"

namespace vx {

namespace {

using namespace replay_format;

constexpr int kRunFrames = 16;  // frames one run byte can hold
constexpr uint16_t kCompleteFlag = 1;

// Header offsets.
constexpr size_t kVersionAt = 8, kFlagsAt = 10, kProgramAt = 12, kDateAt = 28, kSeedAt = 36;
constexpr size_t kModeAt = 44, kStageAt = 45, kRuleAt = 46, kDifficultyAt = 47;
constexpr size_t kTimeLimitAt = 48, kScoreLimitAt = 50, kFramesAt = 52;
constexpr size_t kScoresAt = 56, kResultAt = 58, kHashAt = 60, kRunBytesAt = 68;

void Put(std::vector<uint8_t>& out, size_t at, uint64_t value, size_t bytes) {
    for (size_t i = 0; i < bytes; ++i) out[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

uint64_t Get(std::span<const uint8_t> in, size_t at, size_t bytes) {
    uint64_t v = 0;
    for (size_t i = 0; i < bytes; ++i) v |= uint64_t{in[at + i]} << (8 * i);
    return v;
}

bool Fail(std::string& error, std::string message) {
    error = std::move(message);
    return false;
}

// Range checks of the settings and the ending, in the words the player sees.
bool CheckFields(const Replay& r, std::string& error) {
    const auto bad = [&](const char* what, int value) {
        return Fail(error,
                    std::string("the replay's ") + what + " (" + std::to_string(value) + ") is out of range");
    };
    if (r.gameMode < 1 || r.gameMode > 2) return bad("game mode", r.gameMode);
    // The match's settings are those the menu can choose, as in every other place.
    if (const auto fault =
            match_settings::Check({r.stageNo, r.ruleKind, r.timeLimit, r.scoreLimit, r.difficulty}))
        return bad(match_settings::FieldName(fault->field), fault->value);
    if (r.result < 0 || r.result > 3) return bad("result", r.result);
    if (r.complete == (r.result == 0)) return Fail(error, "the replay's result does not agree with its end");
    return true;
}

}  // namespace

uint32_t ReplayChecksum(std::span<const uint8_t> bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (uint8_t b : bytes) {
        crc ^= b;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::vector<uint8_t> EncodeReplay(const Replay& r) {
    std::vector<uint8_t> runs;
    for (size_t f = 0; f < r.keys.size();) {
        const uint8_t flags = r.keys[f] & 0x0F;
        size_t n = 1;
        while (n < kRunFrames && f + n < r.keys.size() && (r.keys[f + n] & 0x0F) == flags) ++n;
        runs.push_back(static_cast<uint8_t>(((n - 1) << 4) | flags));
        f += n;
    }
    std::vector<uint8_t> out(kHeaderSize + runs.size() + kChecksumSize);
    std::memcpy(out.data(), kMagic, sizeof kMagic);
    Put(out, kVersionAt, kVersion, 2);
    Put(out, kFlagsAt, r.complete ? kCompleteFlag : 0, 2);
    std::memcpy(out.data() + kProgramAt, r.programVersion.data(),
                std::min(r.programVersion.size(), kProgramVersionSize));
    Put(out, kDateAt, static_cast<uint64_t>(r.date), 8);
    Put(out, kSeedAt, r.seed, 8);
    out[kModeAt] = r.gameMode;
    out[kStageAt] = r.stageNo;
    out[kRuleAt] = r.ruleKind;
    out[kDifficultyAt] = r.difficulty;
    Put(out, kTimeLimitAt, static_cast<uint16_t>(r.timeLimit), 2);
    Put(out, kScoreLimitAt, static_cast<uint16_t>(r.scoreLimit), 2);
    Put(out, kFramesAt, r.keys.size(), 4);
    out[kScoresAt] = r.scores[0];
    out[kScoresAt + 1] = r.scores[1];
    out[kResultAt] = static_cast<uint8_t>(r.result);
    Put(out, kHashAt, r.finalHash, 8);
    Put(out, kRunBytesAt, runs.size(), 4);
    std::copy(runs.begin(), runs.end(), out.begin() + kHeaderSize);
    const size_t body = kHeaderSize + runs.size();
    Put(out, body, ReplayChecksum(std::span(out).first(body)), 4);
    return out;
}

bool DecodeReplay(std::span<const uint8_t> in, Replay& r, std::string& error) {
    if (in.empty()) return Fail(error, "the file is empty");
    if (std::memcmp(in.data(), kMagic, std::min(in.size(), sizeof kMagic)) != 0)
        return Fail(error, "this is not a VOLTRAX replay");
    if (in.size() < kVersionAt + 2) return Fail(error, "the replay is cut short");
    const auto version = static_cast<uint16_t>(Get(in, kVersionAt, 2));
    if (version > kVersion)
        return Fail(error, "the replay was made by a newer VOLTRAX (format " + std::to_string(version) +
                               "; this one reads format " + std::to_string(kVersion) + ")");
    if (version == 0) return Fail(error, "the replay's format version (0) is unknown");
    if (in.size() < kHeaderSize + kChecksumSize) return Fail(error, "the replay is cut short");
    const uint64_t runBytes = Get(in, kRunBytesAt, 4);
    const uint64_t expected = kHeaderSize + runBytes + kChecksumSize;
    if (in.size() < expected) return Fail(error, "the replay is cut short");
    if (in.size() > expected) return Fail(error, "the replay has bytes after its end");
    const auto stored = static_cast<uint32_t>(Get(in, expected - kChecksumSize, 4));
    if (stored != ReplayChecksum(in.first(expected - kChecksumSize)))
        return Fail(error, "the replay is damaged (its checksum does not match)");

    Replay out;
    const char* program = reinterpret_cast<const char*>(in.data() + kProgramAt);
    out.programVersion.assign(program, strnlen(program, kProgramVersionSize));
    out.date = static_cast<int64_t>(Get(in, kDateAt, 8));
    out.seed = Get(in, kSeedAt, 8);
    out.complete = (Get(in, kFlagsAt, 2) & kCompleteFlag) != 0;
    out.gameMode = in[kModeAt];
    out.stageNo = in[kStageAt];
    out.ruleKind = in[kRuleAt];
    out.difficulty = in[kDifficultyAt];
    out.timeLimit = static_cast<int16_t>(Get(in, kTimeLimitAt, 2));
    out.scoreLimit = static_cast<int16_t>(Get(in, kScoreLimitAt, 2));
    out.scores = {in[kScoresAt], in[kScoresAt + 1]};
    out.result = in[kResultAt];
    out.finalHash = Get(in, kHashAt, 8);
    if (!CheckFields(out, error)) return false;

    const uint64_t frames = Get(in, kFramesAt, 4);
    // Checked before anything is allocated: the runs can hold at most 16 frames a byte.
    if (frames > kMaxFrames || frames > runBytes * kRunFrames || frames < runBytes)
        return Fail(error,
                    "the replay's frame count (" + std::to_string(frames) + ") disagrees with its key data");
    out.keys.reserve(frames);
    for (uint8_t run : in.subspan(kHeaderSize, runBytes)) {
        const size_t n = (run >> 4) + 1u;
        if (out.keys.size() + n > frames)
            return Fail(error, "the replay's frame count (" + std::to_string(frames) +
                                   ") disagrees with its key data");
        out.keys.insert(out.keys.end(), n, static_cast<uint8_t>(run & 0x0F));
    }
    if (out.keys.size() != frames)
        return Fail(error, "the replay's frame count (" + std::to_string(frames) +
                               ") disagrees with its key data (" + std::to_string(out.keys.size()) +
                               " frames)");
    r = std::move(out);
    return true;
}

bool ReadReplayFile(const std::filesystem::path& path, Replay& r, std::string& error) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec)) return Fail(error, "the file does not exist");
    if (!std::filesystem::is_regular_file(path, ec)) return Fail(error, "this is not a file");
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) return Fail(error, "the file cannot be read");
    if (size > kMaxFileSize) return Fail(error, "the file is far too large to be a replay");
    std::ifstream in(path, std::ios::binary);
    if (!in) return Fail(error, "the file cannot be read");
    std::vector<uint8_t> bytes(static_cast<size_t>(size));
    in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    if (static_cast<size_t>(in.gcount()) != bytes.size()) return Fail(error, "the file cannot be read");
    return DecodeReplay(bytes, r, error);
}

}  // namespace vx
