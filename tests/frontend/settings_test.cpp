// The options file: its 31 bytes written out by hand, what applying it shows in the menus,
// files cut short, full of noise or with fields out of range, and a program folder that
// cannot be written (the options move to the user's folder and are never lost).
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <fstream>
#include <random>
#include <string>

#include "core/game.h"
#include "core/match_settings.h"
#include "frontend/menu_commands.h"
#include "frontend/sys_data.h"
#include "support/files.h"
#include "support/test_game.h"

namespace vx {
namespace {

namespace fs = std::filesystem;
using testing::Bytes;
using testing::ReadBytes;
using testing::TestGame;
using testing::WriteBytes;

// Score 30 chosen, hard, music on, effects off, 1P VS 2P on stage 4, saved while
// playing: every field written out by hand, little-endian, as the program has always
// written it. In order: the score, time and difficulty flags (three 16-bit flags each,
// -1 on the chosen item), music, effects, GameMode, StageNo, ScreenState, RuleKind, the
// time limit (16 bits), the score limit (16 bits), the difficulty.
const Bytes kHandRecord = {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                           0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00,
                           0x02, 0x04, 0x04, 0x02, 0x78, 0x00, 0x1E, 0x00, 0x0A};

Bytes Patched(std::initializer_list<std::pair<size_t, uint8_t>> changes) {
    Bytes b = kHandRecord;
    for (auto [at, v] : changes) b[at] = v;
    return b;
}

// The values of the menus' items 1..3, written out here so that the table is checked.
constexpr std::array<int, 3> kTimes = {120, 90, 60}, kScores = {10, 30, 50}, kLevels = {65, 35, 10};

// The record of options as the program has always laid it out, written without the table.
Bytes RecordByHand(uint8_t rule, int time, int score, int level, bool music, bool effects) {
    Bytes b(31, 0);
    auto put16 = [&](size_t at, int v) {
        b[at] = static_cast<uint8_t>(v & 0xFF);
        b[at + 1] = static_cast<uint8_t>((v >> 8) & 0xFF);
    };
    if (rule == rule_kind::kScore) put16(0 + 2 * static_cast<size_t>(score), -1);
    if (rule == rule_kind::kTime) put16(6 + 2 * static_cast<size_t>(time), -1);
    put16(12 + 2 * static_cast<size_t>(level), -1);
    put16(18, music ? -1 : 0);
    put16(20, effects ? -1 : 0);
    b[22] = 1, b[23] = 1, b[24] = 1, b[25] = rule;
    put16(26, kTimes[static_cast<size_t>(time)]);
    put16(28, kScores[static_cast<size_t>(score)]);
    b[30] = static_cast<uint8_t>(kLevels[static_cast<size_t>(level)]);
    return b;
}

// What the menus and the match need, whatever the file held: one rule item and one
// difficulty item checked, the marks those of the options, and values the menus offer.
void ExpectUsable(const Game& g) {
    int rules = 0, levels = 0;
    for (int i = 1; i <= 3; ++i) {
        rules += g.Menu.Checked(MenuModel::Time(i)) + g.Menu.Checked(MenuModel::Score(i));
        levels += g.Menu.Checked(MenuModel::Diff(i));
    }
    EXPECT_EQ(rules, 1);
    EXPECT_EQ(levels, 1);
    for (const MenuItem& item : g.Menu.Items()) {
        if (IsOptionItem(item.id)) {
            EXPECT_EQ(item.checked, OptionItemChecked(g.Options, item.id)) << item.name;
        }
    }
    EXPECT_FALSE(match_settings::Check({g.StageNo, g.RuleKind, g.TimeLimit, g.ScoreLimit, g.Difficulty}));
    EXPECT_EQ(g.TimeLeft, g.TimeLimit);
    EXPECT_TRUE(g.GameMode == 1 || g.GameMode == 2);
    EXPECT_TRUE((g.ScreenState >= 1 && g.ScreenState <= 8) || g.ScreenState == 10) << int(g.ScreenState);
}

// Every combination of options, chosen with the menu commands as a player would: the
// file holds the bytes the program has always written for it, the next start shows
// the same choices and plays with their values, and the sound switches are the same.
TEST(Settings, EveryCombinationOfOptionsIsSavedAsBeforeAndReadsBack) {
    TestGame t;
    Game& g = t.g();
    ApplySettings(g);
    int combinations = 0;
    for (uint8_t rule : {rule_kind::kTime, rule_kind::kScore})
        for (int time = 0; time < 3; ++time)
            for (int score = 0; score < 3; ++score)
                for (int level = 0; level < 3; ++level)
                    for (int sound = 0; sound < 4; ++sound) {
                        const bool music = sound & 1, effects = sound & 2;
                        SCOPED_TRACE(::testing::Message()
                                     << "rule " << int(rule) << " time " << time << " score " << score
                                     << " level " << level << " sound " << sound);
                        if (rule == rule_kind::kTime) ChooseScoreLimit(g, static_cast<int16_t>(score + 1));
                        ChooseTimeLimit(g, static_cast<int16_t>(time + 1));
                        if (rule == rule_kind::kScore) ChooseScoreLimit(g, static_cast<int16_t>(score + 1));
                        ChooseDifficulty(g, static_cast<int16_t>(level + 1));
                        if (g.Options.On(Switch::kMusic) != music) ToggleMusic(g);
                        if (g.Options.On(Switch::kEffects) != effects) ToggleEffects(g);
                        const Bytes expected = RecordByHand(rule, time, score, level, music, effects);
                        ASSERT_EQ(ReadBytes(t.DatSettings()), expected);

                        TestGame next;
                        WriteBytes(next.DatSettings(), expected);
                        ApplySettings(next.g());
                        EXPECT_EQ(next.g().Options, g.Options);
                        EXPECT_EQ(EncodeSettings(next.g()), EncodeSettings(g));
                        EXPECT_EQ(next.g().Menu.Checked(MenuModel::Time(time + 1)), rule == rule_kind::kTime);
                        EXPECT_EQ(next.g().Menu.Checked(MenuModel::Score(score + 1)),
                                  rule == rule_kind::kScore);
                        EXPECT_TRUE(next.g().Menu.Checked(MenuModel::Diff(level + 1)));
                        EXPECT_EQ(next.g().Menu.Checked(MenuId::MenuMidi), music);
                        EXPECT_EQ(next.g().Menu.Checked(MenuId::MenuWave), effects);
                        EXPECT_EQ(next.g().RuleKind, rule);
                        EXPECT_EQ(next.g().TimeLeft, kTimes[static_cast<size_t>(time)]);
                        EXPECT_EQ(next.g().ScoreLimit, kScores[static_cast<size_t>(score)]);
                        EXPECT_EQ(next.g().Difficulty, kLevels[static_cast<size_t>(level)]);
                        ++combinations;
                    }
    EXPECT_EQ(combinations, 216);
}

// Records the program wrote before: saved while playing (the clock of the match where
// the time limit goes), by hand with two rule flags, or after a network match as a guest.
TEST(Settings, RecordsOfEarlierVersionsReadTheSame) {
    TestGame t;
    WriteBytes(t.folder.Path() / "dat" / "sysdata.rnd", kHandRecord);  // the lower-case name reaches it too
    Game& g = t.g();
    ApplySettings(g);
    EXPECT_TRUE(g.Menu.Checked(MenuId::Menuscr2));
    EXPECT_FALSE(g.Menu.Checked(MenuId::Menutime1)) << "the start-up check mark is replaced";
    EXPECT_TRUE(g.Menu.Checked(MenuId::MenuDiffMode3));
    EXPECT_FALSE(g.Menu.Checked(MenuId::MenuDiffMode2));
    EXPECT_TRUE(g.Menu.Checked(MenuId::MenuMidi));
    EXPECT_FALSE(g.Menu.Checked(MenuId::MenuWave));
    EXPECT_EQ(g.RuleKind, 2);
    EXPECT_EQ(g.ScoreLimit, 30);
    EXPECT_EQ(g.Difficulty, 10);
    EXPECT_EQ(g.GameMode, 2);
    EXPECT_EQ(g.StageNo, 4) << "all 31 bytes are taken over, the caller keeps what it needs";
    const SettingsRecord again = EncodeSettings(g);
    EXPECT_EQ(Bytes(again.begin(), again.end()), kHandRecord) << "saved again byte for byte";

    struct Case {
        const char* what;
        Bytes bytes;
        uint8_t rule;
        int16_t timeLimit, scoreLimit;
        bool timeMark1, scoreMark2;
    };
    const Case cases[] = {
        // Time 90 chosen, saved by a sound switch with 13 s on the clock.
        {"saved mid-match", Patched({{2, 0}, {3, 0}, {8, 0xFF}, {9, 0xFF}, {25, 1}, {26, 13}}), 1, 90, 30,
         false, false},
        // A hand-made file: the later of two rule flags in menu order is in force.
        {"Time 120 before Score 30", Patched({{6, 0xFF}, {7, 0xFF}}), 2, 120, 30, false, true},
        {"Time 60 after Score 30", Patched({{10, 0xFF}, {11, 0xFF}}), 1, 60, 30, false, false},
        // A guest saved the host's rule and limits; its own flags decide, and a clock
        // that is no time limit of the menu gives the first one.
        {"guest of a time match", Patched({{25, 1}, {26, 45}, {28, 50}}), 2, 120, 30, false, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestGame u;
        WriteBytes(u.DatSettings(), c.bytes);
        ApplySettings(u.g());
        ExpectUsable(u.g());
        EXPECT_EQ(u.g().RuleKind, c.rule);
        EXPECT_EQ(u.g().TimeLimit, c.timeLimit);
        EXPECT_EQ(u.g().ScoreLimit, c.scoreLimit);
        EXPECT_EQ(u.g().Menu.Checked(MenuId::Menutime1), c.timeMark1);
        EXPECT_EQ(u.g().Menu.Checked(MenuId::Menuscr2), c.scoreMark2);
    }
}

TEST(Settings, MalformedFilesGiveUsableOptionsAndKeepWhatIsRight) {
    struct Case {
        const char* what;
        Bytes bytes;
        bool present = true;
        bool defaults = false;  // read as no file at all
    };
    const Case cases[] = {
        {"missing", {}, false, true},
        {"empty", {}, true, true},
        {"one byte", Bytes(1, 0xFF), true, true},
        {"cut after the sound flags", Bytes(kHandRecord.begin(), kHandRecord.begin() + 22), true, true},
        {"cut before the difficulty", Bytes(kHandRecord.begin(), kHandRecord.begin() + 30), true, true},
        {"all 0x7A", Bytes(31, 0x7A)},
        {"no rule flag", Patched({{2, 0}, {3, 0}})},
        {"no level flag", Patched({{16, 0}, {17, 0}})},
        {"flag neither -1 nor 0", Patched({{2, 1}, {3, 0}})},
        {"game mode 7", Patched({{22, 7}})},
        {"stage 0", Patched({{23, 0}})},
        {"rule kind 9", Patched({{25, 9}})},
        {"difficulty 99", Patched({{30, 99}})},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        TestGame t;
        if (c.present) WriteBytes(t.DatSettings(), c.bytes);
        ApplySettings(t.g());
        ExpectUsable(t.g());
        if (c.defaults) {
            EXPECT_EQ(EncodeSettings(t.g()), DefaultSettingsRecord());
        }
    }
    TestGame t;  // a bad field does not throw away the good ones
    WriteBytes(t.DatSettings(), Patched({{22, 7}}));
    ApplySettings(t.g());
    EXPECT_EQ(t.g().GameMode, 1);
    EXPECT_EQ(t.g().ScoreLimit, 30);
    EXPECT_EQ(t.g().Difficulty, 10);
    // A damaged rule group takes Time 120 but keeps the score limit beside it; a damaged
    // difficulty group takes normal.
    WriteBytes(t.DatSettings(), Patched({{2, 1}, {30, 65}}));
    ApplySettings(t.g());
    EXPECT_EQ(t.g().RuleKind, rule_kind::kTime);
    EXPECT_EQ(t.g().TimeLimit, 120);
    EXPECT_EQ(t.g().ScoreLimit, 30);
    EXPECT_EQ(t.g().Difficulty, 10);
    WriteBytes(t.DatSettings(), Patched({{16, 0}, {17, 0}}));
    ApplySettings(t.g());
    EXPECT_EQ(t.g().Difficulty, 35);

    std::mt19937 rng(31);
    for (int round = 0; round < 300 && !::testing::Test::HasFailure(); ++round) {
        SCOPED_TRACE(round);
        Bytes noise(static_cast<size_t>(31 + (round % 3) * (rng() % 64)));
        for (uint8_t& b : noise) b = static_cast<uint8_t>(rng());
        TestGame fresh;
        WriteBytes(fresh.DatSettings(), noise);
        ApplySettings(fresh.g());
        ExpectUsable(fresh.g());
    }
}

// Found by the settings fuzzer: the ScreenState byte was taken over unchecked, so a
// damaged file left the game in a state that names no screen.
TEST(Settings, AScreenStateByteNamingNoScreenReadsAsTheTitle) {
    const Bytes found = {0x00, 0x00, 0xFF, 0xFF, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00,
                         0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                         0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x41, 0x00, 0x00};
    TestGame t;
    DecodeSettings(found, t.g());
    EXPECT_EQ(t.g().ScreenState, screen_state::kTitle);
    for (uint8_t s : {0, 1, 4, 6, 8, 9, 10, 11, 255}) {
        Bytes b = found;
        b[24] = s;
        DecodeSettings(b, t.g());
        const bool names = (s >= 1 && s <= 8) || s == 10;
        EXPECT_EQ(t.g().ScreenState, names ? s : screen_state::kTitle) << int(s);
    }
}

TEST(Settings, SavingReplacesTheFileWholeAndLeavesNoTemporaries) {
    TestGame t;
    WriteBytes(t.DatSettings(), Bytes(100, 0x55));  // a longer foreign file is replaced, not patched
    SaveSettings(t.g());
    EXPECT_EQ(ReadBytes(t.DatSettings()).size(), 31u);
    EXPECT_EQ(std::distance(fs::directory_iterator(t.folder.Path() / "dat"), {}), 1);
}

// The dat folder refuses writes: as a normal user it is made read-only; root writes
// anywhere, so there "dat" becomes a plain file that nothing can be created in.
void MakeDatUnwritable(const fs::path& dat) {
    if (::geteuid() != 0) {
        fs::permissions(dat, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write,
                        fs::perm_options::remove);
    } else {
        fs::remove_all(dat);
        std::ofstream(dat) << "not a folder";
    }
}

TEST(SettingsUserFolder, AnUnwritableDatFolderKeepsTheOptionsInTheXdgConfigFolder) {
    TestGame first;
    MakeDatUnwritable(first.folder.Path() / "dat");
    ::testing::internal::CaptureStderr();
    ApplySettings(first.g());
    ChooseDifficulty(first.g(), 3);
    ChooseScoreLimit(first.g(), 2);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(first.g().settingsFile.UsingUserFolder());
    EXPECT_EQ(ReadBytes(first.UserSettings()).size(), 31u) << err;
    EXPECT_NE(err.find(first.UserSettings().string()), std::string::npos)
        << "one line says where the options went: " << err;

    // The next start in the same folder finds them there.
    Game again(GamePlatform{first.random, first.files, first.noWindow, first.noEffects, first.noMusic});
    ApplySettings(again);
    EXPECT_EQ(again.Difficulty, 10);
    EXPECT_EQ(again.RuleKind, 2);
    EXPECT_EQ(again.ScoreLimit, 30);
    EXPECT_TRUE(again.Menu.Checked(MenuId::Menuscr2));
    EXPECT_TRUE(again.Menu.Checked(MenuId::MenuDiffMode3));
}

TEST(SettingsUserFolder, ANewerCopyInTheUserFolderWinsOverTheProgramFolder) {
    // A session whose save failed in the program folder left its options in the user's
    // folder; the next start must find them although the program folder is writable.
    TestGame t;
    Game& g = t.g();
    SaveSettings(g);  // the program folder's copy: normal difficulty
    Choose(g.Options, Choice::kDifficulty, 2);
    const SettingsRecord hard = EncodeSettings(g);
    WriteBytes(t.UserSettings(), Bytes(hard.begin(), hard.end()));
    fs::last_write_time(t.UserSettings(), fs::last_write_time(t.DatSettings()) + std::chrono::seconds(5));
    Game again(GamePlatform{t.random, t.files, t.noWindow, t.noEffects, t.noMusic});
    ApplySettings(again);
    EXPECT_EQ(again.Difficulty, 10);
}

}  // namespace
}  // namespace vx
