// SysData: the options as a 31-byte little-endian record, saved at every option change
// and read back at start-up and after every match, where they also set the menu's
// check marks. The options' places in it are the options table's (core/options_table.h);
// the record keeps flags as 16-bit -1 (true) and 0 (false), which only this codec knows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

namespace vx {

struct Game;

constexpr size_t kSettingsRecordSize = 31;
using SettingsRecord = std::array<uint8_t, kSettingsRecordSize>;

// The record's bytes that are no option.
namespace settings_offset {
constexpr size_t kGameMode = 22;
constexpr size_t kStageNo = 23;
constexpr size_t kScreenState = 24;
}  // namespace settings_offset

// The options and the game mode, stage and screen. Each group's flags are true on its
// chosen item (the time and score groups only for the rule in force), the values beside
// them are the chosen ones.
SettingsRecord EncodeSettings(const Game& g);
// Takes over all 31 bytes and repairs what a damaged or foreign file got wrong: a group
// of flags with a flag that is neither -1 nor 0, or none true (the time and score flags
// count as one group), takes its defaults; a sound flag that is neither takes its
// default; a GameMode, StageNo or ScreenState outside its values takes the first one.
// Where several flags of a group are true, the last in menu order is in force (time 1,
// score 1, time 2, ...). A value with no flag true (the limit of the rule not in force)
// is kept when it is one of the table's. A record shorter than 31 bytes is ignored: the
// defaults stand.
void DecodeSettings(std::span<const uint8_t> bytes, Game& g);
// The options of a first start: Time 120, normal difficulty, effects on, music off.
SettingsRecord DefaultSettingsRecord();

void SaveSettings(Game& g);
void LoadSettings(Game& g);
// Reads the record and shows its options in the menu; they become the next match's rules.
void ApplySettings(Game& g);

}  // namespace vx
