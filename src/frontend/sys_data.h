// SysData: the options as a 31-byte little-endian record, saved at every option change
// and read back at start-up and after every match, where they also set the menu's
// check marks.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace vx {

struct Game;

constexpr size_t kSettingsRecordSize = 31;
using SettingsRecord = std::array<uint8_t, kSettingsRecordSize>;

// Field offsets in the record.
namespace settings_offset {
constexpr size_t kScoreChecks = 0;   // 3 x i16
constexpr size_t kTimeChecks = 6;    // 3 x i16
constexpr size_t kLevelChecks = 12;  // 3 x i16
constexpr size_t kMusicOn = 18;
constexpr size_t kEffectsOn = 20;
constexpr size_t kGameMode = 22;
constexpr size_t kStageNo = 23;
constexpr size_t kScreenState = 24;
constexpr size_t kRuleKind = 25;
constexpr size_t kTimeLeft = 26;
constexpr size_t kScoreLimit = 28;
constexpr size_t kDifficulty = 30;
}  // namespace settings_offset

SettingsRecord EncodeSettings(const Game& g);
// Takes over all 31 bytes, then repairs what a damaged or foreign file got wrong
// (RepairSettings). A record shorter than 31 bytes is ignored: the defaults stand.
void DecodeSettings(std::span<const uint8_t> bytes, Game& g);
// The options of a first start: Time 120, normal difficulty, effects on, music off.
SettingsRecord DefaultSettingsRecord();
// Restores the defaults of every group a record left without a valid choice: no
// time-or-score flag true, no difficulty flag true, a flag that is neither -1 nor 0,
// or a GameMode, StageNo, RuleKind, Difficulty or ScreenState outside its values.
void RepairSettings(Game& g);

void SaveSettings(Game& g);
void LoadSettings(Game& g);
void ApplySettings(Game& g);

}  // namespace vx
