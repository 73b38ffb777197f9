// The program's own files gone or odd on the way into a match: each screen picture
// missing (or not a picture) stops the program with a message naming it; the program
// folder may sit under a path with blanks and Japanese characters. Missing pictures at
// start-up are tested on the built program (tests/window/real/missing_files_test.sh).
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>

#include "draw/screen_pictures.h"
#include "frontend/menu_commands.h"
#include "frontend/mouse.h"
#include "frontend/sys_data.h"
#include "frontend/title_screen.h"
#include "support/files.h"
#include "support/screen_harness.h"

namespace vx {
namespace {

namespace fs = std::filesystem;
using testing::ClickButton;
using testing::RealScreenHarness;

// Start-up, 1P VS CPU, OK on stage 1: the road that needs every screen picture. Stops
// as soon as the program ends.
void WalkToTheMatch(RealScreenHarness& h) {
    Game& g = h.g();
    ApplySettings(g);
    ChooseTimeLimit(g, 3);
    ShowTitle(g, true);
    if (h.host.Ending()) return;
    ClickButton(g, 1);
    if (h.host.Ending()) return;
    ClickButton(g, 11);
}

TEST(MissingFiles, EachMissingOrBrokenScreenPictureStopsTheProgramNamingIt) {
    for (const char* name : {"OP", "stagec", "bwait", "battle", "stagec not a picture"}) {
        SCOPED_TRACE(name);
        RealScreenHarness h;
        const std::string file = std::string(name).substr(0, std::string(name).find(' '));
        const fs::path path = h.tg.folder.Path() / "dat" / file;
        if (file == name)
            fs::remove(path);
        else
            std::ofstream(path, std::ios::binary) << "BM garbage, not a picture";
        ::testing::internal::CaptureStderr();
        WalkToTheMatch(h);
        const std::string err = ::testing::internal::GetCapturedStderr();
        Game& g = h.g();
        EXPECT_TRUE(h.host.Ending()) << "the program ends";
        EXPECT_NE(g.FatalMessage.find("dat/" + file), std::string::npos) << g.FatalMessage;
        EXPECT_NE(err.find(g.FatalMessage), std::string::npos) << "said once on standard error: " << err;
        EXPECT_NE(g.ScreenState, screen_state::kResult) << "no match was played without its table";
    }
    RealScreenHarness whole;
    WalkToTheMatch(whole);
    EXPECT_EQ(whole.g().ScreenState, screen_state::kResult)
        << "with every file there the road reaches the result";
    EXPECT_EQ(whole.g().FatalMessage, "");
}

// A program folder under "my games/ボルトラックス テスト/": the pictures load, the
// options are saved there and the music and the effects open by that path.
TEST(MissingFiles, AProgramFolderWithBlanksAndJapaneseWorks) {
    testing::TempFolder root;
    testing::ScopedConfigHome configHome(root.Path());
    const fs::path folder = root.Path() / "my games" / "ボルトラックス テスト";
    testing::CopyBuiltProgram(folder);
    MixingRandom random(5, [] { return uint64_t{1}; });
    ProgramFiles files(folder);
    HeadlessHost host;
    testing::RecordingWavePlayer wave;
    testing::RecordingSequencer seq;
    Game g(GamePlatform{random, files, host, wave, seq});

    ASSERT_TRUE(LoadDesignPictures(g)) << g.FatalMessage;
    ApplySettings(g);
    ShowTitle(g, true);
    EXPECT_EQ(g.FatalMessage, "");
    EXPECT_EQ(g.ScreenState, screen_state::kTitle);

    ChooseTimeLimit(g, 2);
    EXPECT_TRUE(fs::exists(folder / "dat" / "Sysdata.rnd")) << "the options were saved in the program folder";
    EXPECT_FALSE(g.settingsFile.UsingUserFolder());

    ToggleMusic(g);
    EXPECT_EQ(seq.playing, folder / "dat" / "opening.mid") << "the sequencer got the whole path";
    wave.calls.clear();
    ClickButton(g, 1);
    EXPECT_EQ(g.ScreenState, screen_state::kStageSelect) << "the stage select picture loaded";
    ASSERT_FALSE(wave.calls.empty());
    EXPECT_EQ(wave.calls.front().path.parent_path(), folder / "dat") << "effects come from the same folder";
}

}  // namespace
}  // namespace vx
