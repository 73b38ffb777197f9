// Every sound file of the program taken away in turn while whole matches are played
// with effects and music on: the match goes on to its result, that sound stays silent,
// and one line on standard error names the file, however often it is asked for.
#include <gtest/gtest.h>

#include <cctype>
#include <filesystem>
#include <sstream>
#include <string>

#include "core/game.h"
#include "match/key_input.h"
#include "match/match_loop.h"
#include "platform/audio/audio_system.h"
#include "support/files.h"
#include "support/match_harness.h"
#include "support/sound_files.h"

namespace vx::audio {
namespace {

namespace fs = std::filesystem;

TEST(MissingSounds, EachMissingSoundLeavesTheMatchGoingWithOneLineNamingIt) {
    const fs::path built = fs::path(VOLTRAX_PROGRAM_DIR) / "dat";
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(built)) {
        const std::string ext = entry.path().extension().string();
        if (ext == ".wav" || ext == ".mid") names.push_back(entry.path().filename().string());
    }
    ASSERT_EQ(names.size(), 13u) << "eleven effects and two tunes";
    for (const std::string& missing : names) {
        SCOPED_TRACE(missing);
        testing::MatchHarness m(3);
        const fs::path dat = m.tg.folder.Path() / "dat";
        for (const std::string& name : names)
            if (name != missing) fs::copy_file(built / name, dat / name);
        std::ostringstream errors;
        AudioOptions options;
        options.openDevice = false;
        options.loadMusicEarly = false;
        options.errors = &errors;
        options.renderTunes = false;  // only the files are of interest here
        AudioSystem audio(options);
        Game& g = m.tg.Remake(m.host, audio, audio);
        g.Options.Set(Switch::kEffects, true);
        g.Menu.SetChecked(MenuId::MenuMidi, true);
        g.TimeLeft = 20;
        m.PrepareScreen();
        for (int k = 0; k < 500; k += 40) {
            m.KeyDownAtFrame(k, key_code::kA);
            m.KeyUpAtFrame(k + 20, key_code::kA);
        }
        m.Run();
        EXPECT_EQ(g.ScreenState, screen_state::kResult) << "the first match went on to its result";
        // What leaving the result screen does before the next match.
        g.MatchRequest = match_request::kNone;
        g.TimeLeft = 20;
        m.Run();  // a second match asks for the same files again
        EXPECT_EQ(g.ScreenState, screen_state::kResult) << "so did the second";
        const std::string said = errors.str();
        EXPECT_LE(testing::LineCount(said), 1) << said;
        // Ready's chime and both tunes are asked for in every match.
        if (missing == "wave4.wav" || missing == "bgm1.mid" || missing == "opening.mid") {
            EXPECT_EQ(testing::LineCount(said), 1) << said;
        }
        if (!said.empty()) {
            // The game asks for some effects as "Wave8": the message names the file as asked.
            std::string lowerSaid = said;
            for (char& c : lowerSaid) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            EXPECT_NE(lowerSaid.find(missing), std::string::npos) << said;
        }
    }
}

}  // namespace
}  // namespace vx::audio
