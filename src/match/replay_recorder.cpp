#include "match/replay_recorder.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <iostream>
#include <system_error>

#include "core/game.h"
#include "match/match_state.h"
#include "platform/settings_file.h"
#include "platform/version.h"

namespace vx {

namespace {

constexpr const char* kExtension = ".vxr";
constexpr const char* kProgramVersion = "VOLTRAX " VOLTRAX_VERSION_TEXT;

int64_t NowSeconds() {
    using namespace std::chrono;
    return duration_cast<seconds>(system_clock::now().time_since_epoch()).count();
}

}  // namespace

Replay ReplayOfMatch(const Game& g, int16_t result) {
    Replay r;
    r.programVersion = kProgramVersion;
    r.date = g.KeyLog.date;
    r.seed = g.MatchSeed;
    r.gameMode = g.GameMode;
    r.stageNo = g.StageNo;
    r.ruleKind = g.RuleKind;
    r.difficulty = g.Difficulty;
    r.timeLimit = g.KeyLog.timeLimit;
    r.scoreLimit = g.ScoreLimit;
    r.complete = result != 0;
    r.scores = g.Scores;
    r.result = result;
    r.finalHash = g.KeyLog.lastHash;
    r.keys = g.KeyLog.keys;
    return r;
}

KeyFlagSet UnpackKeyFlags(uint8_t bits) {
    KeyFlagSet flags{};
    for (size_t i = 0; i < 4; ++i) flags[i] = ((bits >> i) & 1) != 0;
    return flags;
}

uint8_t PackKeyFlags(const KeyFlagSet& flags) {
    uint8_t bits = 0;
    for (size_t i = 0; i < 4; ++i)
        if (flags[i]) bits = static_cast<uint8_t>(bits | (1u << i));
    return bits;
}

std::filesystem::path DefaultReplayFolder() {
    const char* data = std::getenv("XDG_DATA_HOME");
    std::filesystem::path base;
    if (data != nullptr && data[0] == '/') {
        base = data;
    } else {
        const char* home = std::getenv("HOME");
        base = std::filesystem::path(home != nullptr ? home : ".") / ".local" / "share";
    }
    return base / "voltrax" / "replays";
}

void BeginMatchLog(Game& g) {
    MatchKeyLog& log = g.KeyLog;
    log.lastHash = 0;
    log.ranOut = false;
    if (log.mode == MatchKeyLog::Mode::kWatching) return;  // the replay's keys stay
    log.keys.clear();
    log.mode = g.ReplayFolder.empty() ? MatchKeyLog::Mode::kOff : MatchKeyLog::Mode::kRecording;
    log.timeLimit = g.TimeLeft;
    log.date = NowSeconds();
}

bool TakeFrameKeys(Game& g) {
    MatchKeyLog& log = g.KeyLog;
    if (log.mode == MatchKeyLog::Mode::kWatching) {
        if (g.FrameCount >= log.keys.size()) {
            log.ranOut = true;
            return false;
        }
        g.KeyFlags = UnpackKeyFlags(log.keys[g.FrameCount]);
    } else if (log.mode == MatchKeyLog::Mode::kRecording) {
        log.keys.push_back(PackKeyFlags(g.KeyFlags));
    }
    return true;
}

void NoteFrameDone(Game& g, const MatchRecords& r) {
    if (g.KeyLog.mode == MatchKeyLog::Mode::kRecording) g.KeyLog.lastHash = MatchStateHash(g, r);
}

void FinishReplay(Game& g, int16_t result) {
    MatchKeyLog& log = g.KeyLog;
    if (log.mode != MatchKeyLog::Mode::kRecording) return;
    log.mode = MatchKeyLog::Mode::kOff;
    if (log.keys.empty()) return;  // quit before the first frame: nothing to watch
    SaveReplay(g, ReplayOfMatch(g, result));
}

void SaveReplay(Game& g, const Replay& replay) {
    std::error_code ec;
    std::filesystem::create_directories(g.ReplayFolder, ec);
    std::filesystem::path path = g.ReplayFolder / ReplayFileName(replay);
    for (int n = 2; std::filesystem::exists(path, ec) && n < 100; ++n) {
        std::string name = ReplayFileName(replay);
        name.insert(name.size() - std::char_traits<char>::length(kExtension), "-" + std::to_string(n));
        path = g.ReplayFolder / name;
    }
    if (!WriteFileAtomically(path, EncodeReplay(replay))) {
        std::cerr << "voltrax: cannot write the replay " << path.string() << "\n";
        return;
    }
    g.KeyLog.lastWritten = path;
    PruneReplays(g.ReplayFolder, kReplaysKept);
}

std::string ReplayFileName(const Replay& r) {
    const auto when = static_cast<std::time_t>(r.date);
    std::tm local{};
    localtime_r(&when, &local);
    char stamp[32];
    std::strftime(stamp, sizeof stamp, "%Y-%m-%d_%H-%M-%S", &local);
    std::string name = std::string(stamp) + "_stage" + std::to_string(r.stageNo) +
                       (r.gameMode == 2 ? "_vs2p_" : "_vscpu_") + std::to_string(r.scores[0]) + "-" +
                       std::to_string(r.scores[1]);
    if (!r.complete) name += "_incomplete";
    return name + kExtension;
}

void PruneReplays(const std::filesystem::path& folder, size_t keep) {
    std::error_code ec;
    std::vector<std::pair<std::filesystem::file_time_type, std::filesystem::path>> files;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        if (entry.is_regular_file(ec) && entry.path().extension() == kExtension)
            files.emplace_back(entry.last_write_time(ec), entry.path());
    if (files.size() <= keep) return;
    std::sort(files.begin(), files.end());
    for (size_t i = 0; i + keep < files.size(); ++i) std::filesystem::remove(files[i].second, ec);
}

}  // namespace vx
