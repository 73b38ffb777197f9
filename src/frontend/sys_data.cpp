#include "frontend/sys_data.h"

#include "core/game.h"
#include "core/match_settings.h"

namespace vx {

namespace {

using namespace settings_offset;

constexpr int16_t kFlagTrue = -1, kFlagFalse = 0;

void PutValue(SettingsRecord& r, size_t at, size_t bytes, int16_t v) {
    const auto u = static_cast<uint16_t>(v);
    r[at] = static_cast<uint8_t>(u & 0xFF);
    if (bytes == 2) r[at + 1] = static_cast<uint8_t>(u >> 8);
}

int16_t GetValue(std::span<const uint8_t> r, size_t at, size_t bytes) {
    if (bytes == 1) return r[at];
    return static_cast<int16_t>(static_cast<uint16_t>(r[at] | (r[at + 1] << 8)));
}

void PutFlag(SettingsRecord& r, size_t at, bool on) {
    PutValue(r, at, 2, on ? kFlagTrue : kFlagFalse);
}

// A flag as the record holds it: true, false, or neither (damaged).
enum class Flag : uint8_t { kFalse, kTrue, kNeither };

Flag GetFlag(std::span<const uint8_t> r, size_t at) {
    const int16_t v = GetValue(r, at, 2);
    return v == kFlagTrue ? Flag::kTrue : v == kFlagFalse ? Flag::kFalse : Flag::kNeither;
}

Flag ItemFlag(std::span<const uint8_t> r, const ChoiceFacts& c, size_t item) {
    return GetFlag(r, c.recordFlags + 2 * item);
}

bool IsScreenState(uint8_t s) {
    return (s >= screen_state::kTitle && s <= screen_state::kResumeRequested) || s == screen_state::kBusy;
}

// The time and score groups are checked together: they are one choice of rule.
bool SameGroup(const ChoiceFacts& a, const ChoiceFacts& b) {
    return (a.rule != 0) == (b.rule != 0);
}

// A group is usable when all its flags are -1 or 0 and one of them is true.
bool GroupUsable(std::span<const uint8_t> r, const ChoiceFacts& member) {
    bool anyTrue = false;
    for (const ChoiceFacts& c : kChoices) {
        if (!SameGroup(c, member)) continue;
        for (size_t i = 0; i < kChoiceItems; ++i) {
            const Flag f = ItemFlag(r, c, i);
            if (f == Flag::kNeither) return false;
            anyTrue = anyTrue || f == Flag::kTrue;
        }
    }
    return anyTrue;
}

OptionSet DecodeOptions(std::span<const uint8_t> r) {
    OptionSet o;
    for (size_t k = 0; k < kChoiceCount; ++k) {
        const ChoiceFacts& c = kChoices[k];
        const auto kept = IndexOf(static_cast<Choice>(k), GetValue(r, c.recordValue, c.recordValueBytes));
        o.chosen[k] = kept.value_or(c.defaultIndex);
        if (!GroupUsable(r, c) && (c.rule == 0 || c.rule == kDefaultRule)) o.chosen[k] = c.defaultIndex;
    }
    // The flags in menu order; the last true one is in force.
    for (size_t i = 0; i < kChoiceItems; ++i) {
        for (size_t k = 0; k < kChoiceCount; ++k) {
            const ChoiceFacts& c = kChoices[k];
            if (!GroupUsable(r, c) || ItemFlag(r, c, i) != Flag::kTrue) continue;
            Choose(o, static_cast<Choice>(k), static_cast<uint8_t>(i));
        }
    }
    for (size_t k = 0; k < kSwitchCount; ++k) {
        const Flag f = GetFlag(r, kSwitches[k].recordFlag);
        o.on[k] = f == Flag::kNeither ? kSwitches[k].defaultOn : f == Flag::kTrue;
    }
    return o;
}

SettingsRecord EncodeRecord(const OptionSet& o, uint8_t gameMode, uint8_t stage, uint8_t screen) {
    SettingsRecord r{};
    for (size_t k = 0; k < kChoiceCount; ++k) {
        const ChoiceFacts& c = kChoices[k];
        const bool inForce = c.rule == 0 || c.rule == o.rule;
        for (size_t i = 0; i < kChoiceItems; ++i)
            PutFlag(r, c.recordFlags + 2 * i, inForce && o.chosen[k] == i);
        PutValue(r, c.recordValue, c.recordValueBytes, o.Value(static_cast<Choice>(k)));
    }
    for (size_t k = 0; k < kSwitchCount; ++k) PutFlag(r, kSwitches[k].recordFlag, o.on[k]);
    r[kRecordRule] = o.rule;
    r[kGameMode] = gameMode;
    r[kStageNo] = stage;
    r[kScreenState] = screen;
    return r;
}

}  // namespace

SettingsRecord EncodeSettings(const Game& g) {
    return EncodeRecord(g.Options, g.GameMode, g.StageNo, g.ScreenState);
}

void DecodeSettings(std::span<const uint8_t> bytes, Game& g) {
    if (bytes.size() < kSettingsRecordSize) {
        DecodeSettings(DefaultSettingsRecord(), g);
        return;
    }
    g.Options = DecodeOptions(bytes);
    g.GameMode = bytes[kGameMode];
    g.StageNo = bytes[kStageNo];
    g.ScreenState = bytes[kScreenState];
    if (g.GameMode != game_mode::kVsCpu && g.GameMode != game_mode::kVs2P) g.GameMode = game_mode::kVsCpu;
    if (!match_settings::IsStage(g.StageNo)) g.StageNo = match_settings::kFirstStage;
    // Every caller sets the screen itself, but until then no handler may see a value
    // that names no screen.
    if (!IsScreenState(g.ScreenState)) g.ScreenState = screen_state::kTitle;
}

SettingsRecord DefaultSettingsRecord() {
    return EncodeRecord(OptionSet{}, game_mode::kVsCpu, match_settings::kFirstStage, screen_state::kTitle);
}

void SaveSettings(Game& g) {
    SettingsRecord record = EncodeSettings(g);
    // A watched replay brings its own game mode and stage: only the sound switches the
    // player flips meanwhile reach the file, on top of the record saved before.
    if (g.KeyLog.mode == MatchKeyLog::Mode::kWatching) {
        record = g.KeyLog.savedOptions;
        for (size_t k = 0; k < kSwitchCount; ++k) PutFlag(record, kSwitches[k].recordFlag, g.Options.on[k]);
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
    ShowOptions(g.Menu, g.Options);
    match_settings::UseOptionsForMatch(g);
}

}  // namespace vx
