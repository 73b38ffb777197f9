// The options of the options menu in one table: for each, its values, its default, its
// menu items with their captions, and where the 31-byte settings record keeps it. The
// player's choices are one OptionSet of indices into this table; the menu's check marks,
// the limits a match is played with, the record's codec and the checks of replays and
// start packets are all derived from it.
//
// The record has no free bytes: an option beyond these belongs in voltrax.ini
// (frontend/new_options.h).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

#include "core/menu_model.h"

namespace vx {

namespace rule_kind {
constexpr uint8_t kTime = 1;   // the higher score when the time runs out
constexpr uint8_t kScore = 2;  // the first to the score limit
}  // namespace rule_kind

// A value chosen with one item out of a menu group of three.
enum class Choice : uint8_t { kTime, kScore, kDifficulty };
constexpr size_t kChoiceCount = 3;
constexpr size_t kChoiceItems = 3;

struct ChoiceFacts {
    const char* name;  // the value's name in the program's English messages
    std::array<int16_t, kChoiceItems> values;
    uint8_t defaultIndex;
    // The rule that choosing an item of this group puts in force, 0 for none: the time
    // and score groups are one choice of rule, and only the group in force shows a mark.
    uint8_t rule;
    MenuId firstItem;                                // the group's items are firstItem and the two after it
    std::array<const char*, kChoiceItems> captions;  // UTF-8 source captions, translated by the window
    size_t recordFlags;                              // three 16-bit flags, true on the checked item
    size_t recordValue;                              // the chosen value
    size_t recordValueBytes;                         // 1 or 2, little-endian
};

// clang-format off
inline constexpr std::array<ChoiceFacts, kChoiceCount> kChoices = {{
    {"time limit",  {120, 90, 60}, 0, rule_kind::kTime,  MenuId::Menutime1,
     {"Time 120( &H)", "Time 90(&N)", "Time 60(&S)"},  6, 26, 2},   // seconds
    {"score limit", {10, 30, 50},  0, rule_kind::kScore, MenuId::Menuscr1,
     {"Score 10(&J)", "Score 30(&T)", "Score 50(&F)"}, 0, 28, 2},   // goals
    {"difficulty",  {65, 35, 10},  1, 0,                 MenuId::MenuDiffMode1,
     {"易しい(&E)", "普通(&N)", "難しい(&D)"},           12, 30, 1},  // the CPU's: easy, normal, hard
}};
// clang-format on
constexpr uint8_t kDefaultRule = rule_kind::kTime;
constexpr size_t kRecordRule = 25;  // the record's byte of the rule in force

// An option that is on or off, with one menu item.
enum class Switch : uint8_t { kMusic, kEffects };
constexpr size_t kSwitchCount = 2;

struct SwitchFacts {
    const char* name;
    bool defaultOn;
    MenuId item;
    const char* caption;
    size_t recordFlag;  // a 16-bit flag
};

inline constexpr std::array<SwitchFacts, kSwitchCount> kSwitches = {{
    {"music", false, MenuId::MenuMidi, "BGM(&M)", 18},
    {"effects", true, MenuId::MenuWave, "効果音(&W)", 20},
}};

constexpr const ChoiceFacts& Facts(Choice c) {
    return kChoices[static_cast<size_t>(c)];
}
constexpr const SwitchFacts& Facts(Switch s) {
    return kSwitches[static_cast<size_t>(s)];
}

// The player's options: the item chosen in each group (0..2), the rule in force and the
// switches. Its defaults are the table's.
struct OptionSet {
    uint8_t rule = kDefaultRule;
    std::array<uint8_t, kChoiceCount> chosen = {kChoices[0].defaultIndex, kChoices[1].defaultIndex,
                                                kChoices[2].defaultIndex};
    std::array<bool, kSwitchCount> on = {kSwitches[0].defaultOn, kSwitches[1].defaultOn};

    uint8_t Index(Choice c) const { return chosen[static_cast<size_t>(c)]; }
    int16_t Value(Choice c) const { return Facts(c).values[Index(c)]; }
    bool On(Switch s) const { return on[static_cast<size_t>(s)]; }
    void Set(Switch s, bool value) { on[static_cast<size_t>(s)] = value; }
    bool operator==(const OptionSet&) const = default;
};

// Whether value is one of the group's, and which item gives it.
std::optional<uint8_t> IndexOf(Choice c, int value);
bool IsChoiceValue(Choice c, int value);

// Item index (0..2) of the group chosen, with the rule it brings in force.
void Choose(OptionSet& options, Choice c, uint8_t index);

// Whether an option item carries a check mark for these options (false for other items).
bool OptionItemChecked(const OptionSet& options, MenuId id);
// True for the items of the table's groups and switches.
bool IsOptionItem(MenuId id);
// The item's caption in the table, or nullptr for an item that is no option.
const char* OptionCaption(MenuId id);
// Sets every option item's check mark from the options.
void ShowOptions(MenuModel& menu, const OptionSet& options);

}  // namespace vx
