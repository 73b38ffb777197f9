#include "match/key_input.h"

#include <gtest/gtest.h>

#include "core/game.h"

namespace vx {
namespace {

using screen_state::kIntro;
using screen_state::kPaused;
using screen_state::kPlaying;
using screen_state::kResult;
using screen_state::kTitle;

constexpr uint8_t kVsCpu = 1;
constexpr uint8_t kVs2P = 2;

KeyFlagSet Held(bool a, bool z, bool k226, bool k221) {
    return {ToBool16(a), ToBool16(z), ToBool16(k226), ToBool16(k221)};
}

TEST(KeyInput, MatchKeysSetTheirFlagsWhilePlaying) {
    KeyFlagSet flags{};
    EXPECT_EQ(DecideKeyDown(flags, kPlaying, kVs2P, key_code::kA), KeyCommand::kNone);
    EXPECT_EQ(flags, Held(true, false, false, false));
    DecideKeyDown(flags, kPlaying, kVs2P, key_code::kZ);
    DecideKeyDown(flags, kPlaying, kVs2P, key_code::kOem102);
    DecideKeyDown(flags, kPlaying, kVs2P, key_code::kCloseBracket);
    EXPECT_EQ(flags, Held(true, true, true, true));
    DecideKeyUp(flags, kPlaying, key_code::kZ);
    DecideKeyUp(flags, kPlaying, key_code::kCloseBracket);
    EXPECT_EQ(flags, Held(true, false, true, false));
}

TEST(KeyInput, PlayerTwoKeysRecordNothingAgainstTheCpuButReleasesCount) {
    KeyFlagSet flags{};
    DecideKeyDown(flags, kPlaying, kVsCpu, key_code::kOem102);
    DecideKeyDown(flags, kPlaying, kVsCpu, key_code::kCloseBracket);
    EXPECT_EQ(flags, Held(false, false, false, false));
    flags = Held(false, false, true, true);
    DecideKeyUp(flags, kPlaying, key_code::kOem102);
    DecideKeyUp(flags, kPlaying, key_code::kCloseBracket);
    EXPECT_EQ(flags, Held(false, false, false, false));
}

TEST(KeyInput, ReleasesOutsidePlayLeaveTheFlagsSet) {
    KeyFlagSet flags = Held(true, true, false, false);
    for (uint8_t state : {kIntro, kPaused, kResult}) {
        EXPECT_EQ(DecideKeyUp(flags, state, key_code::kA), KeyCommand::kNone);
    }
    EXPECT_EQ(flags, Held(true, true, false, false));
    KeyFlagSet none{};
    DecideKeyDown(none, kIntro, kVs2P, key_code::kA);
    EXPECT_EQ(none, Held(false, false, false, false));
}

TEST(KeyInput, PauseOnlyWhilePlayingResumeAndStopOnlyWhilePaused) {
    KeyFlagSet flags{};
    EXPECT_EQ(DecideKeyDown(flags, kPlaying, kVsCpu, key_code::kP), KeyCommand::kPause);
    EXPECT_EQ(DecideKeyDown(flags, kIntro, kVsCpu, key_code::kP), KeyCommand::kNone);
    EXPECT_EQ(DecideKeyDown(flags, kResult, kVsCpu, key_code::kP), KeyCommand::kNone);
    EXPECT_EQ(DecideKeyDown(flags, kPaused, kVsCpu, key_code::kR), KeyCommand::kResume);
    EXPECT_EQ(DecideKeyDown(flags, kPaused, kVsCpu, key_code::kS), KeyCommand::kStop);
    EXPECT_EQ(DecideKeyDown(flags, kPlaying, kVsCpu, key_code::kR), KeyCommand::kNone);
    EXPECT_EQ(DecideKeyDown(flags, kPlaying, kVsCpu, key_code::kS), KeyCommand::kNone);
    EXPECT_EQ(DecideKeyDown(flags, kPaused, kVsCpu, key_code::kP), KeyCommand::kNone);
}

TEST(KeyInput, EscEndsTheProgramFromAnyScreenOnKeyDown) {
    KeyFlagSet flags{};
    for (uint8_t state : {kTitle, uint8_t{2}, uint8_t{3}, kPlaying, kResult, kPaused, kIntro, uint8_t{10}}) {
        EXPECT_EQ(DecideKeyDown(flags, state, kVsCpu, key_code::kEsc), KeyCommand::kEndProgram) << int(state);
    }
    EXPECT_EQ(DecideKeyUp(flags, kPlaying, key_code::kEsc), KeyCommand::kEndProgram);
    EXPECT_EQ(DecideKeyUp(flags, kTitle, key_code::kEsc), KeyCommand::kNone);
}

TEST(KeyInput, SetKeyFlagIgnoresNumbersOutsideOneToFour) {
    KeyFlagSet flags{};
    SetKeyFlag(flags, 0, kTrue);
    SetKeyFlag(flags, 5, kTrue);
    EXPECT_EQ(flags, Held(false, false, false, false));
    SetKeyFlag(flags, 4, kTrue);
    EXPECT_EQ(flags, Held(false, false, false, true));
}

}  // namespace
}  // namespace vx
