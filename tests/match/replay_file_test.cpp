// The replay file format: its size, and every kind of unusable file refused with one
// clear reason by the reader and by --verify-replay.
#include "match/replay_file.h"

#include <gtest/gtest.h>

#include <sstream>

#include "frontend/replay_commands.h"
#include "match/replay_check.h"
#include "support/files.h"
#include "support/test_game.h"

namespace vx {
namespace {

using testing::TempFolder;

// A short match of real keys, complete and consistent with its own playback.
Replay ShortMatch() {
    Replay r;
    r.programVersion = "VOLTRAX 2.1";
    r.seed = 4242;
    r.stageNo = 3;
    r.ruleKind = 2;
    r.keys.assign(90, 0);
    for (size_t f = 0; f < r.keys.size(); ++f) r.keys[f] = f % 20 < 8 ? 1 : 0;
    const ReplayOutcome o = CheckReplay(r);
    r.scores = o.scores;
    r.finalHash = o.finalHash;
    return r;
}

// Sets a little-endian field and writes a valid checksum again, so only that field is wrong.
std::vector<uint8_t> Patched(std::vector<uint8_t> bytes, size_t at, uint64_t value, size_t width) {
    for (size_t i = 0; i < width; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    const size_t body = bytes.size() - replay_format::kChecksumSize;
    const uint32_t crc = ReplayChecksum(std::span(bytes).first(body));
    for (size_t i = 0; i < 4; ++i) bytes[body + i] = static_cast<uint8_t>(crc >> (8 * i));
    return bytes;
}

TEST(ReplayFile, KeysOfEveryFrameChangingStillFitA120SecondMatchIn4KB) {
    Replay r = ShortMatch();
    r.keys.resize(3597);  // 3600 clock frames less the intro's three
    for (size_t f = 0; f < r.keys.size(); ++f) r.keys[f] = static_cast<uint8_t>(f % 16);
    const auto bytes = EncodeReplay(r);
    EXPECT_LE(bytes.size(), 4096u);
    Replay back;
    std::string error;
    ASSERT_TRUE(DecodeReplay(bytes, back, error)) << error;
    EXPECT_EQ(back, r);
}

TEST(ReplayFile, UnusableFilesAreRefusedWithOneReason) {
    TempFolder dir;
    const auto good = EncodeReplay(ShortMatch());
    std::vector<uint8_t> badMagic = good, badCrc = good, extra = good;
    badMagic[0] = 'W';
    badCrc[replay_format::kHeaderSize] ^= 0x10;
    extra.push_back(0);
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        std::string says;
    };
    const int pastLastStage = kStageCount + 1;
    const Case cases[] = {
        {"empty", {}, "empty"},
        {"header only", std::vector<uint8_t>(good.begin(), good.begin() + 40), "cut short"},
        {"last byte gone", std::vector<uint8_t>(good.begin(), good.end() - 1), "cut short"},
        {"wrong magic", badMagic, "not a VOLTRAX replay"},
        {"text file", {'h', 'e', 'l', 'l', 'o', '\n'}, "not a VOLTRAX replay"},
        {"newer format", Patched(good, 8, 2, 2), "newer VOLTRAX"},
        {"bad checksum", badCrc, "checksum"},
        {"bytes after the end", extra, "after its end"},
        {"stage past the table", Patched(good, 45, pastLastStage, 1),
         "stage (" + std::to_string(pastLastStage) + ")"},
        {"stage 0", Patched(good, 45, 0, 1), "stage (0)"},
        {"mode 3", Patched(good, 44, 3, 1), "game mode (3)"},
        {"rule 0", Patched(good, 46, 0, 1), "rule (0)"},
        {"frame count one more", Patched(good, 52, 91, 4), "frame count (91)"},
        {"frame count one less", Patched(good, 52, 89, 4), "frame count (89)"},
        {"frame count huge", Patched(good, 52, 0xFFFFFFFF, 4), "frame count"},
        {"run bytes huge", Patched(good, 68, 0xFFFFFFF0, 4), "cut short"},
    };
    for (const Case& c : cases) {
        const auto path = dir.Path() / c.name;
        testing::WriteBytes(path, c.bytes);
        Replay r;
        std::string error;
        EXPECT_FALSE(ReadReplayFile(path, r, error)) << c.name;
        EXPECT_NE(error.find(c.says), std::string::npos) << c.name << ": " << error;
        std::ostringstream out, err;
        EXPECT_EQ(VerifyReplayCommand(path, out, err), verify_status::kUnusable) << c.name;
        EXPECT_EQ(out.str(), "") << c.name;
        const std::string said = err.str();
        EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << c.name;
    }
    Replay r;
    std::string error;
    EXPECT_FALSE(ReadReplayFile(dir.Path() / "missing", r, error));
    EXPECT_EQ(error, "the file does not exist");
}

TEST(VerifyReplay, ExitStatusSaysWhetherTheMatchPlaysOutAsRecorded) {
    TempFolder dir;
    const auto good = EncodeReplay(ShortMatch());
    testing::WriteBytes(dir.Path() / "good", good);
    testing::WriteBytes(dir.Path() / "other score", Patched(good, 57, good[57] + 1, 1));
    testing::WriteBytes(dir.Path() / "other seed", Patched(good, 36, 4243, 8));
    std::ostringstream out, err;
    EXPECT_EQ(VerifyReplayCommand(dir.Path() / "good", out, err), verify_status::kAgrees);
    EXPECT_EQ(VerifyReplayCommand(dir.Path() / "other score", out, err), verify_status::kDiffers);
    EXPECT_EQ(VerifyReplayCommand(dir.Path() / "other seed", out, err), verify_status::kDiffers);
    EXPECT_EQ(err.str(), "");
    const std::string lines = out.str();
    EXPECT_EQ(std::count(lines.begin(), lines.end(), '\n'), 3);
    EXPECT_EQ(out.str().rfind("frames 90 score ", 0), 0u) << out.str();
}

}  // namespace
}  // namespace vx
