// The values a match may be played with: the rule, the time and score limits, the
// difficulty and the stage. The options menu offers exactly these, the settings record
// is repaired to them, and a network match's start packet and a replay file are checked
// against them, so no side can play (or record) a match the other cannot show.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "core/game.h"
#include "core/options_table.h"
#include "core/stage_tables.h"

namespace vx::match_settings {

// The values of the options table (core/options_table.h): item i (1..3) of the menu's
// time, score and difficulty groups chooses entry i - 1.
inline constexpr const std::array<int16_t, 3>& kTimeLimits = Facts(Choice::kTime).values;    // seconds
inline constexpr const std::array<int16_t, 3>& kScoreLimits = Facts(Choice::kScore).values;  // goals
inline constexpr const std::array<int16_t, 3>& kDifficulties = Facts(Choice::kDifficulty).values;
constexpr std::array<uint8_t, 2> kRules = {rule_kind::kTime, rule_kind::kScore};
constexpr int kFirstStage = 1;  // stages run 1..kStageCount (the stage table's rows)

// Which value of a match's settings is outside the table.
enum class Field : uint8_t { Stage, Rule, TimeLimit, ScoreLimit, Difficulty };

// What decides a match besides its seed and keys.
struct Values {
    uint8_t stage = 1;
    uint8_t ruleKind = rule_kind::kTime;
    int16_t timeLimit = OptionSet{}.Value(Choice::kTime);
    int16_t scoreLimit = OptionSet{}.Value(Choice::kScore);
    uint8_t difficulty = static_cast<uint8_t>(OptionSet{}.Value(Choice::kDifficulty));
};

struct Fault {
    Field field;
    int value;
};

bool IsStage(int stage);
bool IsRule(int ruleKind);
bool IsTimeLimit(int seconds);
bool IsScoreLimit(int goals);
bool IsDifficulty(int difficulty);

// The first value outside the table (in the order of Field), or nothing.
std::optional<Fault> Check(const Values& values);
// "time limit", "score limit", ...: the value's name in the program's English messages.
const char* FieldName(Field field);

// The settings a match of this program is played with: the player's options.
Values FromOptions(const OptionSet& options, uint8_t stage);
// Makes values the rules of the next match (RuleKind, TimeLimit, ScoreLimit, Difficulty
// and StageNo) and sets its clock to the time limit.
void UseForMatch(Game& g, const Values& values);
// The player's options as the rules of the next match, on the stage already chosen.
void UseOptionsForMatch(Game& g);

}  // namespace vx::match_settings
