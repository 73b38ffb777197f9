#include "frontend/sys_data.h"

#include <algorithm>

#include "core/game.h"
#include "core/match_settings.h"

namespace vx {

namespace {

using namespace settings_offset;

void Put16(SettingsRecord& r, size_t at, int16_t v) {
    const auto u = static_cast<uint16_t>(v);
    r[at] = static_cast<uint8_t>(u & 0xFF);
    r[at + 1] = static_cast<uint8_t>(u >> 8);
}

int16_t Get16(std::span<const uint8_t> r, size_t at) {
    return static_cast<int16_t>(static_cast<uint16_t>(r[at] | (r[at + 1] << 8)));
}

bool IsBool16(Bool16 v) {
    return v == kTrue || v == kFalse;
}

bool IsScreenState(uint8_t s) {
    return (s >= screen_state::kTitle && s <= screen_state::kResumeRequested) || s == screen_state::kBusy;
}

}  // namespace

SettingsRecord EncodeSettings(const Game& g) {
    SettingsRecord r{};
    for (size_t i = 0; i < 3; ++i) {
        Put16(r, kScoreChecks + 2 * i, g.ScoreChecks[i]);
        Put16(r, kTimeChecks + 2 * i, g.TimeChecks[i]);
        Put16(r, kLevelChecks + 2 * i, g.LevelChecks[i]);
    }
    Put16(r, kMusicOn, g.MusicOn);
    Put16(r, kEffectsOn, g.EffectsOn);
    r[kGameMode] = g.GameMode;
    r[kStageNo] = g.StageNo;
    r[kScreenState] = g.ScreenState;
    r[kRuleKind] = g.RuleKind;
    Put16(r, kTimeLeft, g.TimeLeft);
    Put16(r, kScoreLimit, g.ScoreLimit);
    r[kDifficulty] = g.Difficulty;
    return r;
}

void DecodeSettings(std::span<const uint8_t> bytes, Game& g) {
    if (bytes.size() >= kSettingsRecordSize) {
        for (size_t i = 0; i < 3; ++i) {
            g.ScoreChecks[i] = Get16(bytes, kScoreChecks + 2 * i);
            g.TimeChecks[i] = Get16(bytes, kTimeChecks + 2 * i);
            g.LevelChecks[i] = Get16(bytes, kLevelChecks + 2 * i);
        }
        g.MusicOn = Get16(bytes, kMusicOn);
        g.EffectsOn = Get16(bytes, kEffectsOn);
        g.GameMode = bytes[kGameMode];
        g.StageNo = bytes[kStageNo];
        g.ScreenState = bytes[kScreenState];
        g.RuleKind = bytes[kRuleKind];
        g.TimeLeft = Get16(bytes, kTimeLeft);
        g.ScoreLimit = Get16(bytes, kScoreLimit);
        g.Difficulty = bytes[kDifficulty];
    } else {
        const SettingsRecord defaults = DefaultSettingsRecord();
        DecodeSettings(defaults, g);
        return;
    }
    RepairSettings(g);
}

SettingsRecord DefaultSettingsRecord() {
    SettingsRecord r{};
    Put16(r, kTimeChecks, kTrue);
    Put16(r, kLevelChecks + 2, kTrue);
    Put16(r, kEffectsOn, kTrue);
    r[kGameMode] = game_mode::kVsCpu;
    r[kStageNo] = 1;
    r[kScreenState] = screen_state::kTitle;
    r[kRuleKind] = rule_kind::kTime;
    Put16(r, kTimeLeft, 120);
    Put16(r, kScoreLimit, 10);
    r[kDifficulty] = 35;
    return r;
}

void RepairSettings(Game& g) {
    auto allValid = [](const auto& flags) { return std::all_of(flags.begin(), flags.end(), IsBool16); };
    auto anyTrue = [](const auto& flags) {
        return std::any_of(flags.begin(), flags.end(), [](Bool16 f) { return f == kTrue; });
    };

    const bool ruleGroupValid = allValid(g.TimeChecks) && allValid(g.ScoreChecks) &&
                                (anyTrue(g.TimeChecks) || anyTrue(g.ScoreChecks));
    if (!ruleGroupValid) {
        g.TimeChecks = {kTrue, kFalse, kFalse};
        g.ScoreChecks = {kFalse, kFalse, kFalse};
        g.RuleKind = rule_kind::kTime;
        g.TimeLeft = 120;
    }
    if (!allValid(g.LevelChecks) || !anyTrue(g.LevelChecks)) {
        g.LevelChecks = {kFalse, kTrue, kFalse};
        g.Difficulty = 35;
    }
    if (!IsBool16(g.MusicOn)) g.MusicOn = kFalse;
    if (!IsBool16(g.EffectsOn)) g.EffectsOn = kTrue;
    if (g.GameMode != game_mode::kVsCpu && g.GameMode != game_mode::kVs2P) g.GameMode = game_mode::kVsCpu;
    const match_settings::Values defaults;
    if (!match_settings::IsStage(g.StageNo)) g.StageNo = defaults.stage;
    if (!match_settings::IsRule(g.RuleKind)) g.RuleKind = defaults.ruleKind;
    if (!match_settings::IsDifficulty(g.Difficulty)) g.Difficulty = defaults.difficulty;
    // TimeLeft is the clock of the match the record was saved in (a sound switch saves
    // mid-match), so any count down from a limit is kept.
    if (g.TimeLeft < 0) g.TimeLeft = defaults.timeLimit;
    if (!match_settings::IsScoreLimit(g.ScoreLimit)) g.ScoreLimit = defaults.scoreLimit;
    // Every caller sets the screen itself, but until then no handler may see a value
    // that names no screen.
    if (!IsScreenState(g.ScreenState)) g.ScreenState = screen_state::kTitle;
}

void SaveSettings(Game& g) {
    SettingsRecord record = EncodeSettings(g);
    // A watched replay brings its own match settings: only the sound switches the
    // player flips meanwhile reach the file, on top of the options saved before.
    if (g.KeyLog.mode == MatchKeyLog::Mode::kWatching) {
        record = g.KeyLog.savedOptions;
        Put16(record, settings_offset::kMusicOn, g.MusicOn);
        Put16(record, settings_offset::kEffectsOn, g.EffectsOn);
        g.KeyLog.savedOptions = record;
    }
    g.settingsFile.Write(record);
}

void LoadSettings(Game& g) {
    const auto bytes = g.settingsFile.Read();
    if (bytes) {
        DecodeSettings(*bytes, g);
    } else {
        DecodeSettings(DefaultSettingsRecord(), g);
    }
}

void ApplySettings(Game& g) {
    g.ScreenState = screen_state::kTitle;
    g.StageNo = 1;
    LoadSettings(g);
    for (int i = 1; i <= 3; ++i) {
        const size_t k = static_cast<size_t>(i - 1);
        g.Menu.SetChecked(MenuModel::Time(i), g.TimeChecks[k] != kFalse);
        if (g.TimeChecks[k] != kFalse) {
            g.TimeLeft = match_settings::kTimeLimits[k];
            g.RuleKind = rule_kind::kTime;
        }
        g.Menu.SetChecked(MenuModel::Score(i), g.ScoreChecks[k] != kFalse);
        if (g.ScoreChecks[k] != kFalse) {
            g.ScoreLimit = match_settings::kScoreLimits[k];
            g.RuleKind = rule_kind::kScore;
        }
        g.Menu.SetChecked(MenuModel::Diff(i), g.LevelChecks[k] != kFalse);
        if (g.Menu.Checked(MenuModel::Diff(i))) g.Difficulty = match_settings::kDifficulties[k];
    }
    g.Menu.SetChecked(MenuId::MenuMidi, g.MusicOn != kFalse);
    g.Menu.SetChecked(MenuId::MenuWave, g.EffectsOn != kFalse);
}

}  // namespace vx
