// The settings file cut short, full of noise, or in a dat folder that cannot be
// written: the game always starts with options the menus can show, and a changed
// option is never lost.
#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "core/game.h"
#include "frontend/menu_commands.h"
#include "frontend/sys_data.h"
#include "support/test_game.h"

namespace vx {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

void WriteAll(const fs::path& p, const Bytes& bytes) {
    std::ofstream out(p, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

int Marks(const Game& g, MenuId (*item)(int)) {
    int n = 0;
    for (int i = 1; i <= 3; ++i) n += g.Menu.Checked(item(i));
    return n;
}

// What the menus and the match need of the options, whatever the file held.
void ExpectSane(const Game& g) {
    EXPECT_GE(Marks(g, MenuModel::Time) + Marks(g, MenuModel::Score), 1);
    EXPECT_GE(Marks(g, MenuModel::Diff), 1);
    EXPECT_TRUE(g.RuleKind == 1 || g.RuleKind == 2);
    if (g.RuleKind == 1) {
        EXPECT_TRUE(g.TimeLeft == 120 || g.TimeLeft == 90 || g.TimeLeft == 60) << g.TimeLeft;
    } else {
        EXPECT_TRUE(g.ScoreLimit == 10 || g.ScoreLimit == 30 || g.ScoreLimit == 50) << g.ScoreLimit;
    }
    EXPECT_TRUE(g.Difficulty == 65 || g.Difficulty == 35 || g.Difficulty == 10);
    EXPECT_TRUE(g.GameMode == 1 || g.GameMode == 2);
    EXPECT_TRUE(g.StageNo >= 1 && g.StageNo <= 5);
    const uint8_t s = g.ScreenState;
    EXPECT_TRUE((s >= 1 && s <= 8) || s == 10) << int(s);
}

TEST(SettingsRobustness, TruncatedFilesGiveTheDefaults) {
    const SettingsRecord defaults = DefaultSettingsRecord();
    Bytes chosen(defaults.begin(), defaults.end());
    chosen[30] = 10;  // hard
    chosen[12 + 2] = 0;
    chosen[12 + 4] = 0xFF;
    chosen[12 + 5] = 0xFF;
    for (size_t length : {size_t{0}, size_t{1}, size_t{2}, size_t{21}, size_t{22}, size_t{30}}) {
        SCOPED_TRACE(length);
        testing::TestGame t;
        WriteAll(t.folder.Path() / "dat" / "Sysdata.rnd",
                 Bytes(chosen.begin(), chosen.begin() + long(length)));
        ApplySettings(t.g());
        EXPECT_EQ(EncodeSettings(t.g()), defaults) << "a cut-off record counts as no record";
        ExpectSane(t.g());
    }
}

TEST(SettingsRobustness, GarbageFilesGiveUsableOptions) {
    std::mt19937 rng(31);
    for (int round = 0; round < 300; ++round) {
        SCOPED_TRACE(round);
        Bytes noise(static_cast<size_t>(31 + (round % 3) * (rng() % 64)));
        for (uint8_t& b : noise) b = static_cast<uint8_t>(rng());
        testing::TestGame t;
        WriteAll(t.folder.Path() / "dat" / "Sysdata.rnd", noise);
        ApplySettings(t.g());
        ExpectSane(t.g());
        if (::testing::Test::HasFailure()) break;
    }
}

// Found by the settings fuzzer: the ScreenState byte was taken over unchecked, so a
// damaged file left the game in a state that names no screen.
TEST(SettingsRobustness, AScreenStateByteNamingNoScreenReadsAsTheTitle) {
    const Bytes found = {0x00, 0x00, 0xFF, 0xFF, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x00, 0x00,
                         0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
                         0x00, 0x00, 0xFF, 0xFF, 0x00, 0x00, 0x41, 0x00, 0x00};
    testing::TestGame t;
    DecodeSettings(found, t.g());
    EXPECT_EQ(t.g().ScreenState, screen_state::kTitle);
    for (uint8_t s : {uint8_t{0}, uint8_t{9}, uint8_t{11}, uint8_t{255}}) {
        Bytes b = found;
        b[24] = s;
        DecodeSettings(b, t.g());
        EXPECT_EQ(t.g().ScreenState, screen_state::kTitle) << int(s);
    }
    for (uint8_t s : {uint8_t{1}, uint8_t{4}, uint8_t{6}, uint8_t{8}, uint8_t{10}}) {
        Bytes b = found;
        b[24] = s;
        DecodeSettings(b, t.g());
        EXPECT_EQ(t.g().ScreenState, s) << "a real screen is taken over as saved";
    }
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

struct ConfigHome {
    testing::TempFolder folder;
    std::string old;
    bool had;
    ConfigHome() {
        const char* v = std::getenv("XDG_CONFIG_HOME");
        had = v != nullptr;
        if (had) old = v;
        ::setenv("XDG_CONFIG_HOME", folder.Path().c_str(), 1);
    }
    ~ConfigHome() {
        if (had)
            ::setenv("XDG_CONFIG_HOME", old.c_str(), 1);
        else
            ::unsetenv("XDG_CONFIG_HOME");
    }
};

TEST(SettingsRobustness, AReadOnlyDatFolderKeepsTheOptionsInTheXdgConfigFolder) {
    ConfigHome home;
    testing::TestGame first;
    first.g().settingsFile = SettingsFile(first.files);  // the XDG rule, not the test's folder
    const fs::path dat = first.folder.Path() / "dat";
    MakeDatUnwritable(dat);
    const fs::path expected = home.folder.Path() / "voltrax" / "Sysdata.rnd";

    ::testing::internal::CaptureStderr();
    ApplySettings(first.g());
    MenuDiffMode_Click(first.g(), 3);
    Menuscr_Click(first.g(), 2);
    const std::string err = ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(first.g().settingsFile.UsingUserFolder());
    EXPECT_TRUE(fs::exists(expected)) << err;
    EXPECT_EQ(fs::file_size(expected), 31u);
    EXPECT_NE(err.find(expected.string()), std::string::npos)
        << "one line says where the options went: " << err;

    // The next start in the same folder finds them there.
    Game again(GamePlatform{first.random, first.files, first.noWindow, first.noEffects, first.noMusic});
    ApplySettings(again);
    EXPECT_EQ(again.Difficulty, 10);
    EXPECT_EQ(again.RuleKind, 2);
    EXPECT_EQ(again.ScoreLimit, 30);
    EXPECT_TRUE(again.Menu.Checked(MenuId::Menuscr2));
    if (fs::is_directory(dat)) fs::permissions(dat, fs::perms::owner_all, fs::perm_options::add);
}

}  // namespace
}  // namespace vx
