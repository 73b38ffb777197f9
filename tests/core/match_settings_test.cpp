// One table of match settings: every value the options menu can choose is shown by its
// menu item, is accepted from a replay file and passes the start packet's check; a value
// outside the table is refused by each of them, by name, and repaired in the record.
#include "core/match_settings.h"

#include <gtest/gtest.h>

#include <string>

#include "frontend/sys_data.h"
#include "match/replay_file.h"
#include "net/packets.h"
#include "support/test_game.h"

namespace vx {
namespace {

using testing::TestGame;

// Replay header offsets of the settings.
constexpr size_t kStageAt = 45, kRuleAt = 46, kDifficultyAt = 47, kTimeAt = 48, kScoreAt = 50;

std::vector<uint8_t> ReplayWith(const match_settings::Values& v) {
    Replay r;
    r.programVersion = "VOLTRAX 2.1";
    r.stageNo = v.stage;
    r.ruleKind = v.ruleKind;
    r.timeLimit = v.timeLimit;
    r.scoreLimit = v.scoreLimit;
    r.difficulty = v.difficulty;
    r.keys.assign(40, 1);
    return EncodeReplay(r);
}

std::string ReplayError(std::vector<uint8_t> bytes, size_t at, int value, size_t width) {
    for (size_t i = 0; i < width; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
    const size_t body = bytes.size() - replay_format::kChecksumSize;
    const uint32_t crc = ReplayChecksum(std::span(bytes).first(body));
    for (size_t i = 0; i < 4; ++i) bytes[body + i] = static_cast<uint8_t>(crc >> (8 * i));
    Replay r;
    std::string error;
    return DecodeReplay(bytes, r, error) ? std::string() : error;
}

TEST(MatchSettings, EveryMenuChoiceIsShownAndPlayableEverywhere) {
    for (size_t k = 0; k < kChoiceCount; ++k) {
        const auto choice = static_cast<Choice>(k);
        for (uint8_t i = 0; i < kChoiceItems; ++i) {
            OptionSet options;
            Choose(options, choice, i);
            const int value = options.Value(choice);
            SCOPED_TRACE(std::string(Facts(choice).name) + " " + std::to_string(value));
            const MenuId item = static_cast<MenuId>(static_cast<int>(Facts(choice).firstItem) + i);
            MenuModel menu;
            ShowOptions(menu, options);
            EXPECT_TRUE(menu.Checked(item));
            if (Facts(choice).rule != 0) {  // the time and score items name their value
                const std::string caption = menu.Item(item).caption;
                EXPECT_NE(caption.find(" " + std::to_string(value)), std::string::npos) << caption;
            }
            const match_settings::Values v = match_settings::FromOptions(options, 1);
            EXPECT_FALSE(match_settings::Check(v));
            EXPECT_EQ(ReplayError(ReplayWith(v), 0, 'V', 1), "");
        }
    }
    for (int stage = 1; stage <= kStageCount + 1; ++stage) {
        const bool known = stage <= kStageCount;
        match_settings::Values v;
        v.stage = static_cast<uint8_t>(stage);
        EXPECT_EQ(!match_settings::Check(v), known) << stage;
        EXPECT_EQ(ReplayError(ReplayWith(v), 0, 'V', 1).empty(), known) << stage;
        net::Packet choice;
        choice.type = net::packet_type::kChoice;
        choice.choice = {net::choice_kind::kStage, static_cast<uint8_t>(stage)};
        const auto bytes = net::Encode(choice);
        net::DropCounts drops;
        EXPECT_EQ(net::ReadPacket(bytes.data(), bytes.size(), 0, drops).has_value(), known) << stage;
    }
}

TEST(MatchSettings, ValuesOutsideTheTableAreRefusedByNameOrRepaired) {
    const auto good = ReplayWith({});
    struct Case {
        const char* what;
        size_t replayAt, width;
        int value;
        std::string names;
        match_settings::Values start;
    };
    auto with = [](auto set) {
        match_settings::Values v;
        set(v);
        return v;
    };
    const Case cases[] = {
        {"stage", kStageAt, 1, kStageCount + 1, "stage (" + std::to_string(kStageCount + 1) + ")",
         with([](auto& v) { v.stage = kStageCount + 1; })},
        {"rule", kRuleAt, 1, 3, "rule (3)", with([](auto& v) { v.ruleKind = 3; })},
        {"time limit", kTimeAt, 2, 999, "time limit (999)", with([](auto& v) { v.timeLimit = 999; })},
        {"score limit", kScoreAt, 2, 99, "score limit (99)", with([](auto& v) { v.scoreLimit = 99; })},
        {"difficulty", kDifficultyAt, 1, 36, "difficulty (36)", with([](auto& v) { v.difficulty = 36; })},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_NE(ReplayError(good, c.replayAt, c.value, c.width).find(c.names), std::string::npos);
        const auto fault = match_settings::Check(c.start);
        ASSERT_TRUE(fault);
        EXPECT_EQ(match_settings::FieldName(fault->field), std::string(c.what));
        EXPECT_EQ(fault->value, c.value);
    }
    // The settings record: a value no menu item gives is repaired to the default one.
    struct RecordCase {
        size_t at;
        uint8_t value;
        int (*read)(const Game&);
        int repaired;
    };
    const RecordCase records[] = {
        {settings_offset::kStageNo, static_cast<uint8_t>(kStageCount + 1),
         [](const Game& g) { return int{g.StageNo}; }, 1},
        {kRecordRule, 3, [](const Game& g) { return int{g.Options.rule}; }, rule_kind::kTime},
        {Facts(Choice::kScore).recordValue, 99,
         [](const Game& g) { return int{g.Options.Value(Choice::kScore)}; }, 10},
        {Facts(Choice::kDifficulty).recordValue, 36,
         [](const Game& g) { return int{g.Options.Value(Choice::kDifficulty)}; }, 35},
    };
    for (const RecordCase& c : records) {
        SettingsRecord record = DefaultSettingsRecord();
        record[c.at] = c.value;
        TestGame t;
        DecodeSettings(record, t.g());
        EXPECT_EQ(c.read(t.g()), c.repaired) << "record offset " << c.at;
    }
}

}  // namespace
}  // namespace vx
