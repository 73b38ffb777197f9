// Recording the match in play for its replay file, and feeding a watched replay's keys
// to the match loop: the key flags of every frame, the file written atomically when the
// match ends, is stopped or the program quits, the newest 50 kept.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/arith.h"
#include "core/match_records.h"
#include "match/replay_file.h"

namespace vx {

struct Game;

constexpr size_t kReplaysKept = 50;

// $XDG_DATA_HOME/voltrax/replays, or ~/.local/share/voltrax/replays without it.
std::filesystem::path DefaultReplayFolder();

// Starts the key log of a new match: recording when g.ReplayFolder is set and no replay
// is being watched.
void BeginMatchLog(Game& g);
// Before a frame of play: a watched replay's keys become KeyFlags, or KeyFlags are
// recorded. False when a watched replay has no frame left.
bool TakeFrameKeys(Game& g);
// After a frame of play: the state hash the replay file will carry.
void NoteFrameDone(Game& g, const MatchRecords& r);
// Writes the replay of the match being recorded and stops recording; result 0 marks it
// incomplete (stopped or quit). Nothing happens when nothing is being recorded.
void FinishReplay(Game& g, int16_t result);
// The replay of the match g.KeyLog holds, ending in result (0: not ended).
Replay ReplayOfMatch(const Game& g, int16_t result);
// Writes replay into g.ReplayFolder under its own name and keeps the newest files;
// g.KeyLog.lastWritten names the file.
void SaveReplay(Game& g, const Replay& replay);

// "2026-12-06_18-30-05_stage3_vscpu_7-5.vxr"; "_incomplete" before the extension for a
// match that did not reach its result. Local time.
std::string ReplayFileName(const Replay& replay);
// Removes the oldest replay files of folder (by the time they were written) until keep
// are left.
void PruneReplays(const std::filesystem::path& folder, size_t keep);

KeyFlagSet UnpackKeyFlags(uint8_t bits);
uint8_t PackKeyFlags(const KeyFlagSet& flags);

}  // namespace vx
