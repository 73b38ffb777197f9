// Key input decisions: the match keys only record which of them are held (the paddle
// movement reads the flags once a frame); the command keys name a command that the
// window then runs (pause request, resume, stop, end the program).
#pragma once

#include <array>
#include <cstdint>

#include "core/arith.h"
#include "core/match_records.h"

namespace vx {

namespace key_code {
constexpr int16_t kEsc = 27;
constexpr int16_t kA = 65;
constexpr int16_t kP = 80;
constexpr int16_t kR = 82;
constexpr int16_t kS = 83;
constexpr int16_t kZ = 90;
constexpr int16_t kCloseBracket = 221;  // player 2 up
constexpr int16_t kOem102 = 226;        // player 2 down
}  // namespace key_code

enum class KeyCommand : uint8_t {
    kNone,
    kPause,       // PauseMatch: asks the loop to pause after this frame
    kResume,      // ResumePausedMatch
    kStop,        // StopPausedMatch
    kEndProgram,  // stop the music, end at once
};

// Stores value into flag keyNumber - 1 (keyNumber 1..4; any other number is ignored).
void SetKeyFlag(KeyFlagSet& keyFlags, uint8_t keyNumber, bool value);

// OnKeyDown's decision. Modifier keys play no part.
KeyCommand DecideKeyDown(KeyFlagSet& keyFlags, uint8_t screenState, uint8_t gameMode, int16_t keyCode);
// OnKeyUp's decision: releases count only while playing, in both modes.
KeyCommand DecideKeyUp(KeyFlagSet& keyFlags, uint8_t screenState, int16_t keyCode);

}  // namespace vx
