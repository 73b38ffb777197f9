#include <gtest/gtest.h>

#include "core/game.h"
#include "frontend/menu_commands.h"
#include "platform/headless_host.h"
#include "sound/effects.h"
#include "sound/music.h"
#include "support/recording_sound.h"
#include "support/test_game.h"

namespace vx {
namespace {

using Calls = std::vector<std::string>;

struct MusicFixture : ::testing::Test {
    testing::RecordingWavePlayer waves;
    testing::RecordingSequencer seq;
    HeadlessHost host;
    testing::TestGame t{1, host, waves, seq};
    Game& g = t.g();
};

TEST_F(MusicFixture, TunesPlayFromTheProgramFolderOnlyWithTheCheckMark) {
    StartMusic(g, Tune::kOpening);
    SwitchToOpeningMusic(g);
    EXPECT_EQ(seq.calls, Calls{"stop"}) << "without the check mark nothing plays";
    EXPECT_NE(g.MusicPath.find("opening.mid"), std::string::npos) << "but the tune is the screen's";

    seq.calls.clear();
    g.Menu.SetChecked(MenuId::MenuMidi, true);
    StartMusic(g, Tune::kMatch);
    EXPECT_EQ(seq.playing, t.folder.Path() / "dat" / "bgm1.mid");
    SwitchToOpeningMusic(g);
    EXPECT_EQ(seq.playing, t.folder.Path() / "dat" / "opening.mid");
    StopMusic(g);
    EXPECT_EQ(seq.calls, (Calls{"play bgm1.mid", "play opening.mid", "stop"}));
    EXPECT_EQ(g.MusicPlaying, false);

    StartMusic(g, Tune::kOpening);
    EndTheProgram(g);
    EXPECT_TRUE(seq.playing.empty());
    EXPECT_TRUE(host.Ending());
}

// The music item: turned on, the tune of the screen starts at once (the menu screens'
// tune, the match's during play, none on the others); turned off, the music stops.
TEST_F(MusicFixture, TheMusicItemStartsTheScreensTuneAndStopsIt) {
    const struct {
        uint8_t screen;
        const char* tune;
    } cases[] = {{screen_state::kTitle, "opening.mid"},
                 {screen_state::kStageSelect, "opening.mid"},
                 {screen_state::kResult, "opening.mid"},
                 {screen_state::kPlaying, "bgm1.mid"},
                 {screen_state::kPaused, ""},
                 {screen_state::kIntro, ""}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int{c.screen});
        g.ScreenState = c.screen;
        seq.calls.clear();
        ToggleMusic(g);
        ASSERT_TRUE(MusicWanted(g));
        EXPECT_EQ(seq.playing.filename(), c.tune);
        ToggleMusic(g);
        EXPECT_FALSE(MusicWanted(g));
        EXPECT_TRUE(seq.playing.empty());
        EXPECT_EQ(seq.calls.back(), "stop");
    }
}

TEST(SilentSound, TheSilentStandInsKeepTheGameCalm) {
    testing::TestGame silent;
    Game& g = silent.g();
    g.Menu.SetChecked(MenuId::MenuMidi, true);
    PlayEffect(g, effect::kPaddleHit, effect_mode::kStart);
    StartMusic(g, Tune::kOpening);
    StopMusic(g);
    EXPECT_EQ(g.MusicPlaying, false);
}

}  // namespace
}  // namespace vx
