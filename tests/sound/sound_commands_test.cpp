#include <gtest/gtest.h>

#include <algorithm>

#include "core/game.h"
#include "sound/effects.h"
#include "sound/music.h"
#include "support/recording_sound.h"
#include "support/test_game.h"

namespace vx {
namespace {

using Commands = std::vector<std::string>;

struct SoundFixture : ::testing::Test {
    testing::RecordingWavePlayer waves;
    testing::RecordingSequencer seq;
    NullHost noWindow;
    testing::TestGame t{1, noWindow, waves, seq};
};

TEST_F(SoundFixture, OpenStopAndPlaySendTheExactCommandsInOrder) {
    Game& g = t.g();
    OpenMusic(g, "/games/vol trax/dat/opening.mid");
    StopMusic(g);
    EXPECT_EQ(seq.commands, (Commands{"stop midifile ", "close midifile",
                                      "open /games/vol trax/dat/opening.mid type sequencer alias midifile",
                                      "stop midifile "}));
    EXPECT_EQ(g.MusicPath, "/games/vol trax/dat/opening.mid");

    seq.commands.clear();
    g.Menu.SetChecked(MenuId::MenuMidi, true);
    ServiceMusic(g, 0);
    ServiceMusic(g, 0);
    EXPECT_EQ(seq.commands,
              (Commands{"play midifile from 0", "status midifile length", "status midifile position",
                        "status midifile length", "status midifile position"}));
    EXPECT_EQ(g.MusicPlaying, kTrue);
}

// The length is 1000: a tick that finds the position at or past it (the device may have
// gone on a little between two ticks), or the tune stopped, plays it from the start.
TEST_F(SoundFixture, TheTuneStartsAgainFromZeroWhenItReachedItsEndOrWasStopped) {
    const struct {
        const char* position;
        bool stop;
        bool restarts;
    } cases[] = {{"999", false, false}, {"1000", false, true}, {"1012", false, true}, {"500", true, true}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.position);
        Game& g = t.g();
        g.Menu.SetChecked(MenuId::MenuMidi, true);
        seq.position = "0";
        ServiceMusic(g, 0);
        seq.position = c.position;
        if (c.stop) StopMusic(g);
        seq.commands.clear();
        ServiceMusic(g, 0);
        const bool restarted =
            std::find(seq.commands.begin(), seq.commands.end(), "play midifile from 0") != seq.commands.end();
        EXPECT_EQ(restarted, c.restarts);
        if (c.restarts && !c.stop) {
            EXPECT_EQ(seq.commands.back(), "play midifile from 0");
        }
    }
}

TEST_F(SoundFixture, OpeningAFileWhileAnotherPlaysStopsAndClosesTheOldOneAndStartsTheNewOne) {
    Game& g = t.g();
    g.Menu.SetChecked(MenuId::MenuMidi, true);
    OpenMusic(g, "/v/dat/opening.mid");
    ServiceMusic(g, 0);
    seq.commands.clear();
    OpenMusic(g, "/v/dat/bgm1.mid");
    ServiceMusic(g, 0);
    EXPECT_EQ(
        seq.commands,
        (Commands{"stop midifile ", "close midifile", "open /v/dat/bgm1.mid type sequencer alias midifile",
                  "play midifile from 0", "status midifile length", "status midifile position"}));
}

TEST_F(SoundFixture, NothingIsSentWithoutTheMusicCheckMark) {
    OpenMusic(t.g(), "/v/dat/opening.mid");
    seq.commands.clear();
    for (int tick = 0; tick < 50; ++tick) ServiceMusic(t.g(), 0);  // Timer1 running
    EXPECT_TRUE(seq.commands.empty());
    EXPECT_EQ(t.g().MusicPlaying, kFalse);
}

TEST_F(SoundFixture, AStatusWithoutAnAnswerDoesNothingMoreOnThatTick) {
    Game& g = t.g();
    g.Menu.SetChecked(MenuId::MenuMidi, true);
    seq.length = "";
    seq.position = "";
    ServiceMusic(g, 0);
    ServiceMusic(g, 0);
    EXPECT_EQ(seq.commands,
              (Commands{"play midifile from 0", "status midifile length", "status midifile position",
                        "status midifile length", "status midifile position"}));
}

TEST(SilentSound, TheSilentStandInsKeepTheGameCalm) {
    testing::TestGame silent;
    Game& g = silent.g();
    g.Menu.SetChecked(MenuId::MenuMidi, true);
    PlayEffect(g, effect::kPaddleHit, effect_mode::kStart);
    OpenMusic(g, "x.mid");
    ServiceMusic(g, 0);
    EXPECT_EQ(MusicLength(g), 0);
    EXPECT_EQ(MusicPosition(g), "");
}

}  // namespace
}  // namespace vx
