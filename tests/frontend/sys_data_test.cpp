#include "frontend/sys_data.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "core/game.h"
#include "support/test_game.h"

namespace vx {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

// Score 30 chosen, hard, music on, effects off, 1P VS 2P on stage 4, saved while
// playing with 57 s left: every field written out by hand, little-endian.
const Bytes kHandRecord = {
    0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00,  // ScoreChecks: 30
    0x00, 0x00, 0x00, 0x00, 0x00, 0x00,  // TimeChecks
    0x00, 0x00, 0x00, 0x00, 0xFF, 0xFF,  // LevelChecks: hard
    0xFF, 0xFF,                          // MusicOn
    0x00, 0x00,                          // EffectsOn
    0x02,                                // GameMode
    0x04,                                // StageNo
    0x04,                                // ScreenState
    0x02,                                // RuleKind
    0x39, 0x00,                          // TimeLeft 57
    0x1E, 0x00,                          // ScoreLimit 30
    0x0A,                                // Difficulty
};

Bytes ReadAll(const fs::path& p) {
    std::ifstream in(p, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
}

void WriteAll(const fs::path& p, const Bytes& bytes) {
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

struct SettingsFixture : ::testing::Test {
    testing::TestGame t;
    fs::path DatFile() { return t.folder.Path() / "dat" / "Sysdata.rnd"; }
};

TEST_F(SettingsFixture, RecordRoundTripsByteExact) {
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
    EXPECT_EQ(ReadAll(DatFile()), kHandRecord);

    testing::TestGame other;
    WriteAll(other.folder.Path() / "dat" / "sysdata.rnd", kHandRecord);  // the lower-case name reaches it too
    LoadSettings(other.g());
    EXPECT_EQ(EncodeSettings(other.g()), EncodeSettings(g));
}

TEST_F(SettingsFixture, DefaultRecordIsTheDesignDefault) {
    const SettingsRecord d = DefaultSettingsRecord();
    const Bytes expected = {0, 0, 0, 0, 0,    0,    0xFF, 0xFF, 0, 0, 0,   0, 0,  0, 0xFF, 0xFF,
                            0, 0, 0, 0, 0xFF, 0xFF, 1,    1,    1, 1, 120, 0, 10, 0, 35};
    EXPECT_EQ(Bytes(d.begin(), d.end()), expected);
}

TEST_F(SettingsFixture, ApplySetsCheckMarksAndRecomputesLimitsFromTheFlags) {
    WriteAll(DatFile(), kHandRecord);
    Game& g = t.g();
    ApplySettings(g);
    EXPECT_TRUE(g.Menu.Checked(MenuId::Menuscr2));
    EXPECT_FALSE(g.Menu.Checked(MenuId::Menutime1)) << "the design check mark is overridden";
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

TEST_F(SettingsFixture, ApplyGivesTheChosenTimeBackAfterAMatchCountedItDown) {
    Game& g = t.g();
    g.TimeChecks = {kFalse, kTrue, kFalse};
    g.TimeLeft = 13;  // an option changed during play saves the running clock
    SaveSettings(g);
    g.TimeLeft = 0;
    ApplySettings(g);
    EXPECT_EQ(g.TimeLeft, 90);
    EXPECT_EQ(g.RuleKind, 1);
}

TEST_F(SettingsFixture, BothRuleFlagsSetLeavesTheLaterOneInForce) {
    Bytes r = kHandRecord;  // Score 30 set
    r[6] = r[7] = 0xFF;     // Time 120 too: index 1 < 2, so the score item wins
    WriteAll(DatFile(), r);
    ApplySettings(t.g());
    EXPECT_EQ(t.g().RuleKind, 2);
    r[6] = r[7] = 0;
    r[10] = r[11] = 0xFF;  // Time 60: index 3 > 2, the time item wins
    WriteAll(DatFile(), r);
    ApplySettings(t.g());
    EXPECT_EQ(t.g().RuleKind, 1);
    EXPECT_EQ(t.g().TimeLeft, 60);
}

// Every malformed file ends with exactly one rule item and one difficulty item checked.
void ExpectUsable(const Game& g) {
    int rules = 0, levels = 0;
    for (int i = 1; i <= 3; ++i) {
        rules += g.Menu.Checked(MenuModel::Time(i)) + g.Menu.Checked(MenuModel::Score(i));
        levels += g.Menu.Checked(MenuModel::Diff(i));
    }
    EXPECT_GE(rules, 1);
    EXPECT_EQ(levels, 1);
    EXPECT_TRUE(g.RuleKind == 1 || g.RuleKind == 2);
    EXPECT_TRUE(g.Difficulty == 65 || g.Difficulty == 35 || g.Difficulty == 10);
    EXPECT_TRUE(g.GameMode == 1 || g.GameMode == 2);
}

TEST_F(SettingsFixture, MalformedFilesFallBackToDefaultsForWhatIsWrong) {
    struct Case {
        const char* what;
        Bytes bytes;
        bool present;
    };
    auto patched = [](std::initializer_list<std::pair<size_t, uint8_t>> changes) {
        Bytes b = kHandRecord;
        for (auto [at, v] : changes) b[at] = v;
        return b;
    };
    const Case cases[] = {
        {"missing", {}, false},
        {"empty", {}, true},
        {"short", Bytes(kHandRecord.begin(), kHandRecord.begin() + 30), true},
        {"garbage", Bytes(31, 0x7A), true},
        {"no rule flag", patched({{2, 0}, {3, 0}}), true},
        {"no level flag", patched({{16, 0}, {17, 0}}), true},
        {"flag neither -1 nor 0", patched({{2, 1}, {3, 0}}), true},
        {"game mode 7", patched({{22, 7}}), true},
        {"stage 0", patched({{23, 0}}), true},
        {"rule kind 9", patched({{25, 9}}), true},
        {"difficulty 99", patched({{30, 99}}), true},
    };
    for (const Case& c : cases) {
        testing::TestGame fresh;
        if (c.present) WriteAll(fresh.folder.Path() / "dat" / "Sysdata.rnd", c.bytes);
        ApplySettings(fresh.g());
        SCOPED_TRACE(c.what);
        ExpectUsable(fresh.g());
    }
    // A bad field does not throw away the good ones.
    testing::TestGame fresh;
    WriteAll(fresh.folder.Path() / "dat" / "Sysdata.rnd", patched({{22, 7}}));
    ApplySettings(fresh.g());
    EXPECT_EQ(fresh.g().GameMode, 1);
    EXPECT_EQ(fresh.g().ScoreLimit, 30);
    EXPECT_EQ(fresh.g().Difficulty, 10);
}

TEST_F(SettingsFixture, SavingReplacesTheFileWholeAndLeavesNoTemporaries) {
    WriteAll(DatFile(), Bytes(100, 0x55));  // a longer foreign file is replaced, not patched
    SaveSettings(t.g());
    EXPECT_EQ(ReadAll(DatFile()).size(), 31u);
    int files = 0;
    for ([[maybe_unused]] const auto& e : fs::directory_iterator(t.folder.Path() / "dat")) ++files;
    EXPECT_EQ(files, 1);
}

TEST(SettingsUserFolder, UnwritableDatFolderMovesOptionsToTheUserFolder) {
    testing::TempFolder program, config;
    // "dat" is a plain file here, so nothing can be created inside it even as root.
    std::ofstream(program.Path() / "dat") << "not a folder";
    MixingRandom random(1);
    ProgramFiles files(program.Path());
    NullHost noWindow;
    SilentWavePlayer noEffects;
    SilentSequencer noMusic;
    Game g(GamePlatform{random, files, noWindow, noEffects, noMusic});
    g.settingsFile = SettingsFile(files, config.Path());

    g.Difficulty = 65;
    g.LevelChecks = {kTrue, kFalse, kFalse};
    SaveSettings(g);
    EXPECT_TRUE(g.settingsFile.UsingUserFolder());
    EXPECT_EQ(ReadAll(config.Path() / "Sysdata.rnd").size(), 31u);

    Game again(GamePlatform{random, files, noWindow, noEffects, noMusic});
    again.settingsFile = SettingsFile(files, config.Path());
    ApplySettings(again);
    EXPECT_EQ(again.Difficulty, 65) << "the option change was not lost";
    EXPECT_TRUE(again.Menu.Checked(MenuId::MenuDiffMode1));
}

}  // namespace
}  // namespace vx

namespace vx {
namespace {

TEST(SettingsUserFolder, ANewerCopyInTheUserFolderWinsOverTheProgramFolder) {
    // A session whose save failed in the program folder left its options in the user's
    // folder; the next start must find them although the program folder is writable.
    testing::TestGame t;
    const auto config = t.folder.Path() / "config";
    std::filesystem::create_directories(config);
    Game& g = t.g();
    SaveSettings(g);  // the program folder's copy: normal difficulty
    g.LevelChecks = {kFalse, kFalse, kTrue};
    g.Difficulty = 10;
    const SettingsRecord hard = EncodeSettings(g);
    WriteAll(config / "Sysdata.rnd", Bytes(hard.begin(), hard.end()));
    std::filesystem::last_write_time(
        config / "Sysdata.rnd",
        std::filesystem::last_write_time(t.folder.Path() / "dat" / "Sysdata.rnd") + std::chrono::seconds(5));
    testing::TestGame next;
    Game& again = next.g();
    again.settingsFile = SettingsFile(t.files, config);
    ApplySettings(again);
    EXPECT_EQ(again.Difficulty, 10);
}

}  // namespace
}  // namespace vx
