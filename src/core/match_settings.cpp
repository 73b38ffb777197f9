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
    return InTable(kTimeLimits, seconds);
}

bool IsScoreLimit(int goals) {
    return InTable(kScoreLimits, goals);
}

bool IsDifficulty(int difficulty) {
    return InTable(kDifficulties, difficulty);
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
        case Field::TimeLimit: return "time limit";
        case Field::ScoreLimit: return "score limit";
        case Field::Difficulty: return "difficulty";
    }
    return "setting";
}

}  // namespace vx::match_settings
