#include "core/match_settings.h"

#include <algorithm>

namespace vx::match_settings {

namespace {

template <typename Table>
bool InTable(const Table& table, int value) {
    return std::find(table.begin(), table.end(), value) != table.end();
}

}  // namespace

bool IsStage(int stage) {
    return stage >= kFirstStage && stage <= kStageCount;
}

bool IsRule(int ruleKind) {
    return InTable(kRules, ruleKind);
}

bool IsTimeLimit(int seconds) {
    return IsChoiceValue(Choice::kTime, seconds);
}

bool IsScoreLimit(int goals) {
    return IsChoiceValue(Choice::kScore, goals);
}

bool IsDifficulty(int difficulty) {
    return IsChoiceValue(Choice::kDifficulty, difficulty);
}

std::optional<Fault> Check(const Values& v) {
    if (!IsStage(v.stage)) return Fault{Field::Stage, v.stage};
    if (!IsRule(v.ruleKind)) return Fault{Field::Rule, v.ruleKind};
    if (!IsTimeLimit(v.timeLimit)) return Fault{Field::TimeLimit, v.timeLimit};
    if (!IsScoreLimit(v.scoreLimit)) return Fault{Field::ScoreLimit, v.scoreLimit};
    if (!IsDifficulty(v.difficulty)) return Fault{Field::Difficulty, v.difficulty};
    return std::nullopt;
}

const char* FieldName(Field field) {
    switch (field) {
        case Field::Stage: return "stage";
        case Field::Rule: return "rule";
        case Field::TimeLimit: return Facts(Choice::kTime).name;
        case Field::ScoreLimit: return Facts(Choice::kScore).name;
        case Field::Difficulty: return Facts(Choice::kDifficulty).name;
    }
    return "setting";
}

Values FromOptions(const OptionSet& options, uint8_t stage) {
    Values v;
    v.stage = stage;
    v.ruleKind = options.rule;
    v.timeLimit = options.Value(Choice::kTime);
    v.scoreLimit = options.Value(Choice::kScore);
    v.difficulty = static_cast<uint8_t>(options.Value(Choice::kDifficulty));
    return v;
}

void UseForMatch(Game& g, const Values& v) {
    g.StageNo = v.stage;
    g.RuleKind = v.ruleKind;
    g.TimeLimit = v.timeLimit;
    g.TimeLeft = v.timeLimit;
    g.ScoreLimit = v.scoreLimit;
    g.Difficulty = v.difficulty;
}

void UseOptionsForMatch(Game& g) {
    UseForMatch(g, FromOptions(g.Options, g.StageNo));
}

}  // namespace vx::match_settings
