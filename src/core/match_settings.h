// The values a match may be played with: the rule, the time and score limits, the
// difficulty and the stage. The options menu offers exactly these, the settings record
// is repaired to them, and a network match's start packet and a replay file are checked
// against them, so no side can play (or record) a match the other cannot show.
#pragma once

#include <array>
#include <cstdint>
#include <optional>

#include "core/game.h"
#include "core/stage_tables.h"

namespace vx::match_settings {

// Item i (1..3) of the menu's time, score and difficulty groups chooses entry i - 1.
constexpr std::array<int16_t, 3> kTimeLimits = {120, 90, 60};   // seconds
constexpr std::array<int16_t, 3> kScoreLimits = {10, 30, 50};   // goals
constexpr std::array<uint8_t, 3> kDifficulties = {65, 35, 10};  // easy, normal, hard
constexpr std::array<uint8_t, 2> kRules = {rule_kind::kTime, rule_kind::kScore};
constexpr int kFirstStage = 1;  // stages run 1..kStageCount (the stage table's rows)

// Which value of a match's settings is outside the table.
enum class Field : uint8_t { Stage, Rule, TimeLimit, ScoreLimit, Difficulty };

// What decides a match besides its seed and keys.
struct Values {
    uint8_t stage = 1;
    uint8_t ruleKind = rule_kind::kTime;
    int16_t timeLimit = kTimeLimits[0];
    int16_t scoreLimit = kScoreLimits[0];
    uint8_t difficulty = kDifficulties[1];
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

}  // namespace vx::match_settings
