// The key decision of the match window: which flag a key sets or clears and which
// command it asks for, in every screen state and mode.
#include "match/key_input.h"

#include <gtest/gtest.h>

#include "core/game.h"

namespace vx {
namespace {

using namespace screen_state;

KeyFlagSet Held(bool a, bool z, bool k226, bool k221) {
    return {static_cast<bool>(a), static_cast<bool>(z), static_cast<bool>(k226), static_cast<bool>(k221)};
}

TEST(KeyInput, EachKeyInEachStateSetsItsFlagOrAsksForItsCommand) {
    const KeyFlagSet none{}, all = Held(true, true, true, true);
    const struct {
        bool down;
        uint8_t state, mode;
        int16_t key;
        KeyFlagSet before, after;
        KeyCommand command;
    } cases[] = {
        // Match keys while playing; player 2's keys count only in 1P VS 2P, their releases always.
        {true, kPlaying, 2, key_code::kA, none, Held(true, false, false, false), KeyCommand::kNone},
        {true, kPlaying, 2, key_code::kZ, none, Held(false, true, false, false), KeyCommand::kNone},
        {true, kPlaying, 2, key_code::kOem102, none, Held(false, false, true, false), KeyCommand::kNone},
        {true, kPlaying, 2, key_code::kCloseBracket, none, Held(false, false, false, true),
         KeyCommand::kNone},
        {true, kPlaying, 1, key_code::kOem102, none, none, KeyCommand::kNone},
        {true, kPlaying, 1, key_code::kCloseBracket, none, none, KeyCommand::kNone},
        {false, kPlaying, 1, key_code::kOem102, all, Held(true, true, false, true), KeyCommand::kNone},
        {false, kPlaying, 2, key_code::kZ, all, Held(true, false, true, true), KeyCommand::kNone},
        // Outside play no key is recorded and no release clears its flag.
        {true, kIntro, 2, key_code::kA, none, none, KeyCommand::kNone},
        {false, kIntro, 2, key_code::kA, all, all, KeyCommand::kNone},
        {false, kPaused, 2, key_code::kA, all, all, KeyCommand::kNone},
        {false, kResult, 2, key_code::kA, all, all, KeyCommand::kNone},
        // Pause only while playing; resume and stop only while paused.
        {true, kPlaying, 1, key_code::kP, none, none, KeyCommand::kPause},
        {true, kIntro, 1, key_code::kP, none, none, KeyCommand::kNone},
        {true, kResult, 1, key_code::kP, none, none, KeyCommand::kNone},
        {true, kPaused, 1, key_code::kP, none, none, KeyCommand::kNone},
        {true, kPaused, 1, key_code::kR, none, none, KeyCommand::kResume},
        {true, kPaused, 1, key_code::kS, none, none, KeyCommand::kStop},
        {true, kPlaying, 1, key_code::kR, none, none, KeyCommand::kNone},
        {true, kPlaying, 1, key_code::kS, none, none, KeyCommand::kNone},
        // Esc's release ends the program only in play (its press, below, on every screen).
        {false, kPlaying, 1, key_code::kEsc, none, none, KeyCommand::kEndProgram},
        {false, kTitle, 1, key_code::kEsc, none, none, KeyCommand::kNone},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::Message() << (c.down ? "down " : "up ") << c.key << " in state "
                                          << int(c.state) << " mode " << int(c.mode));
        KeyFlagSet flags = c.before;
        const KeyCommand command =
            c.down ? DecideKeyDown(flags, c.state, c.mode, c.key) : DecideKeyUp(flags, c.state, c.key);
        EXPECT_EQ(command, c.command);
        EXPECT_EQ(flags, c.after);
    }
    for (uint8_t state : {kTitle, kStageSelect, kWaiting, kPlaying, kIntro, kPaused, kResult, kBusy}) {
        KeyFlagSet flags = all;
        EXPECT_EQ(DecideKeyDown(flags, state, 2, key_code::kEsc), KeyCommand::kEndProgram) << int(state);
        EXPECT_EQ(flags, all) << int(state);
    }
}

}  // namespace
}  // namespace vx
