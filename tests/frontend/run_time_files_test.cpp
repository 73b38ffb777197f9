// The program's run-time files gone or odd: each screen picture missing in turn stops
// the program with a message naming it; the program folder may sit under a path with
// blanks and Japanese characters.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "draw/screen_pictures.h"
#include "frontend/menu_commands.h"
#include "frontend/mouse.h"
#include "frontend/sys_data.h"
#include "frontend/title_screen.h"
#include "platform/picture_file.h"
#include "support/screen_harness.h"

namespace vx {
namespace {

namespace fs = std::filesystem;
using testing::RealScreenHarness;

void Click(Game& g, int number) {
    const Rect& r = g.MenuButtons[static_cast<size_t>(number)].rect;
    const float x = (r.left + r.right) / 2.0f, y = (r.top + r.bottom) / 2.0f;
    MainPict_MouseDown(g, 1, 0, x, y);
    MainPict_MouseUp(g, 1, 0, x, y);
}

// Start-up, 1P VS CPU, OK on stage 1: the road that needs every screen picture. Stops
// as soon as the program ends.
void WalkToTheMatch(RealScreenHarness& h) {
    Game& g = h.g();
    ApplySettings(g);
    Menutime_Click(g, 3);
    ShowTitle(g, kTrue);
    if (h.host.Ending()) return;
    Click(g, 1);
    if (h.host.Ending()) return;
    Click(g, 11);
}

TEST(RunTimeFiles, EachMissingScreenPictureStopsTheProgramNamingIt) {
    for (const char* name : {"OP", "stagec", "bwait", "battle"}) {
        SCOPED_TRACE(name);
        RealScreenHarness h;
        fs::remove(h.tg.folder.Path() / "dat" / name);
        ::testing::internal::CaptureStderr();
        WalkToTheMatch(h);
        const std::string err = ::testing::internal::GetCapturedStderr();
        Game& g = h.g();
        EXPECT_TRUE(h.host.Ending()) << "the program ends";
        EXPECT_NE(g.FatalMessage.find(std::string("dat/") + name), std::string::npos) << g.FatalMessage;
        EXPECT_NE(err.find(g.FatalMessage), std::string::npos) << "said once on standard error: " << err;
        EXPECT_NE(g.ScreenState, screen_state::kResult) << "no match was played without its table";
    }
    RealScreenHarness whole;
    WalkToTheMatch(whole);
    EXPECT_EQ(whole.g().ScreenState, screen_state::kResult)
        << "with every file there the road reaches the result";
    EXPECT_EQ(whole.g().FatalMessage, "");
}

TEST(RunTimeFiles, AScreenPictureThatIsNotAPictureStopsTheProgramToo) {
    RealScreenHarness h;
    std::ofstream(h.tg.folder.Path() / "dat" / "stagec", std::ios::binary) << "BM garbage, not a picture";
    ::testing::internal::CaptureStderr();
    WalkToTheMatch(h);
    ::testing::internal::GetCapturedStderr();
    EXPECT_TRUE(h.host.Ending());
    EXPECT_NE(h.g().FatalMessage.find("stagec"), std::string::npos) << h.g().FatalMessage;
}

TEST(RunTimeFiles, AMissingDesignPictureIsNamedBeforeTheWindowOpens) {
    for (const char* name : {"Pict.bmp", "LinePict.bmp", "St3.bmp", "Mas.bmp"}) {
        SCOPED_TRACE(name);
        RealScreenHarness h;
        fs::remove(h.tg.folder.Path() / "design" / name);
        h.g().FatalMessage.clear();
        EXPECT_FALSE(LoadDesignPictures(h.g()));
        EXPECT_NE(h.g().FatalMessage.find(name), std::string::npos) << h.g().FatalMessage;
    }
}

// A program folder under "my games/ボルトラックス テスト/": the pictures load, the
// options are saved there and the music opens by that path.
TEST(RunTimeFiles, AProgramFolderWithBlanksAndJapaneseWorks) {
    testing::TempFolder root;
    const fs::path folder = root.Path() / "my games" / "ボルトラックス テスト";
    const fs::path built = VOLTRAX_PROGRAM_DIR;
    for (const char* sub : {"dat", "design"}) {
        fs::create_directories(folder / sub);
        for (const auto& entry : fs::directory_iterator(built / sub)) {
            if (entry.path().filename() == "Sysdata.rnd") continue;
            fs::copy_file(entry.path(), folder / sub / entry.path().filename());
        }
    }
    MixingRandom random(5, [] { return uint64_t{1}; });
    ProgramFiles files(folder);
    HeadlessHost host;
    testing::RecordingWavePlayer wave;
    testing::RecordingSequencer seq;
    Game g(GamePlatform{random, files, host, wave, seq});

    ASSERT_TRUE(LoadDesignPictures(g)) << g.FatalMessage;
    ApplySettings(g);
    ShowTitle(g, kTrue);
    EXPECT_EQ(g.FatalMessage, "");
    EXPECT_EQ(g.ScreenState, screen_state::kTitle);
    Surface title;
    std::string error;
    ASSERT_TRUE(g.pictureLoader.Load(folder / "dat" / "OP", title, error)) << error;
    EXPECT_EQ(g.MainPict.Pixel(5, 5), title.Pixel(5, 5)) << "the title picture is showing";

    Menutime_Click(g, 2);
    std::ifstream saved(folder / "dat" / "Sysdata.rnd", std::ios::binary);
    EXPECT_TRUE(saved.good()) << "the options were saved in the program folder";
    EXPECT_FALSE(g.settingsFile.UsingUserFolder());

    MenuMidi_Click(g);
    ASSERT_FALSE(seq.commands.empty());
    const std::string opened = (folder / "dat" / "opening.mid").string();
    bool sawOpen = false;
    for (const std::string& c : seq.commands)
        sawOpen = sawOpen || c == "open " + opened + " type sequencer alias midifile";
    EXPECT_TRUE(sawOpen) << "the sequencer got the whole path: " << seq.commands.front();
    wave.calls.clear();
    Click(g, 1);
    EXPECT_EQ(g.ScreenState, screen_state::kStageSelect) << "the stage select picture loaded";
    ASSERT_FALSE(wave.calls.empty());
    EXPECT_EQ(wave.calls.front().path.parent_path(), folder / "dat") << "effects come from the same folder";
}

}  // namespace
}  // namespace vx
