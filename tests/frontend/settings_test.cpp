// The options file: its 31 bytes written out by hand, what applying it shows in the menus,
// files cut short, full of noise or with fields out of range, and a program folder that
// cannot be written (the options move to the user's folder and are never lost).
#include <gtest/gtest.h>
#include <unistd.h>

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
// playing with 57 s left: every field written out by hand, little-endian. In order:
// ScoreChecks, TimeChecks and LevelChecks (three 16-bit flags each), MusicOn, EffectsOn,
// GameMode, StageNo, ScreenState, RuleKind, TimeLeft (16 bits), ScoreLimit (16 bits),
// Difficulty.
const Bytes kHandRecord = {0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                           0x00, 0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0x00,
                           0x02, 0x04, 0x04, 0x02, 0x39, 0x00, 0x1E, 0x00, 0x0A};

Bytes Patched(std::initializer_list<std::pair<size_t, uint8_t>> changes) {
    Bytes b = kHandRecord;
    for (auto [at, v] : changes) b[at] = v;
    return b;
}

// What the menus and the match need, whatever the file held: one rule item and one
// difficulty item checked, and values the menus offer.
void ExpectUsable(const Game& g) {
    int rules = 0, levels = 0;
    for (int i = 1; i <= 3; ++i) {
        rules += g.Menu.Checked(MenuModel::Time(i)) + g.Menu.Checked(MenuModel::Score(i));
        levels += g.Menu.Checked(MenuModel::Diff(i));
    }
    EXPECT_GE(rules, 1);
    EXPECT_EQ(levels, 1);
    EXPECT_TRUE(match_settings::IsRule(g.RuleKind));
    if (g.RuleKind == rule_kind::kTime) {
        EXPECT_TRUE(match_settings::IsTimeLimit(g.TimeLeft)) << g.TimeLeft;
    } else {
        EXPECT_TRUE(match_settings::IsScoreLimit(g.ScoreLimit)) << g.ScoreLimit;
    }
    EXPECT_TRUE(match_settings::IsDifficulty(g.Difficulty));
    EXPECT_TRUE(g.GameMode == 1 || g.GameMode == 2);
    EXPECT_TRUE(match_settings::IsStage(g.StageNo));
    EXPECT_TRUE((g.ScreenState >= 1 && g.ScreenState <= 8) || g.ScreenState == 10) << int(g.ScreenState);
}

TEST(Settings, RecordRoundTripsByteExact) {
    TestGame t;
    Game& g = t.g();
    g.ScoreChecks = {kFalse, kTrue, kFalse};
    g.TimeChecks = {kFalse, kFalse, kFalse};
    g.LevelChecks = {kFalse, kFalse, kTrue};
    g.MusicOn = kTrue;
    g.EffectsOn = kFalse;
    g.GameMode = 2;
    g.StageNo = 4;
    g.ScreenState = 4;
    g.RuleKind = 2;
    g.TimeLeft = 57;
    g.ScoreLimit = 30;
    g.Difficulty = 10;
    SaveSettings(g);
    EXPECT_EQ(ReadBytes(t.DatSettings()), kHandRecord);

    TestGame other;
    WriteBytes(other.folder.Path() / "dat" / "sysdata.rnd",
               kHandRecord);  // the lower-case name reaches it too
    LoadSettings(other.g());
    EXPECT_EQ(EncodeSettings(other.g()), EncodeSettings(g));
}

TEST(Settings, ApplySetsCheckMarksAndRecomputesLimitsFromTheFlags) {
    TestGame t;
    WriteBytes(t.DatSettings(), kHandRecord);
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
}

TEST(Settings, ApplyGivesTheChosenTimeBackAfterAMatchCountedItDown) {
    TestGame t;
    Game& g = t.g();
    g.TimeChecks = {kFalse, kTrue, kFalse};
    g.TimeLeft = 13;  // an option changed during play saves the running clock
    SaveSettings(g);
    g.TimeLeft = 0;
    ApplySettings(g);
    EXPECT_EQ(g.TimeLeft, 90);
    EXPECT_EQ(g.RuleKind, 1);
}

TEST(Settings, BothRuleFlagsSetLeavesTheLaterOneInForce) {
    TestGame t;
    WriteBytes(t.DatSettings(), Patched({{6, 0xFF}, {7, 0xFF}}));  // Time 120 before Score 30
    ApplySettings(t.g());
    EXPECT_EQ(t.g().RuleKind, 2);
    WriteBytes(t.DatSettings(), Patched({{10, 0xFF}, {11, 0xFF}}));  // Time 60 after Score 30
    ApplySettings(t.g());
    EXPECT_EQ(t.g().RuleKind, 1);
    EXPECT_EQ(t.g().TimeLeft, 60);
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
    MenuDiffMode_Click(first.g(), 3);
    Menuscr_Click(first.g(), 2);
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
    g.LevelChecks = {kFalse, kFalse, kTrue};
    g.Difficulty = 10;
    const SettingsRecord hard = EncodeSettings(g);
    WriteBytes(t.UserSettings(), Bytes(hard.begin(), hard.end()));
    fs::last_write_time(t.UserSettings(), fs::last_write_time(t.DatSettings()) + std::chrono::seconds(5));
    Game again(GamePlatform{t.random, t.files, t.noWindow, t.noEffects, t.noMusic});
    ApplySettings(again);
    EXPECT_EQ(again.Difficulty, 10);
}

}  // namespace
}  // namespace vx
