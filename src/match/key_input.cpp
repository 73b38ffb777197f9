#include "match/key_input.h"

#include "core/game.h"

namespace vx {

namespace {

constexpr uint8_t kKeyA = 1;
constexpr uint8_t kKeyZ = 2;
constexpr uint8_t kKeyOem102 = 3;
constexpr uint8_t kKeyCloseBracket = 4;

// Key number of a match key, 0 for any other key.
uint8_t MatchKeyNumber(int16_t keyCode) {
    switch (keyCode) {
        case key_code::kA: return kKeyA;
        case key_code::kZ: return kKeyZ;
        case key_code::kOem102: return kKeyOem102;
        case key_code::kCloseBracket: return kKeyCloseBracket;
        default: return 0;
    }
}

}  // namespace

void SetKeyFlag(KeyFlagSet& keyFlags, uint8_t keyNumber, bool value) {
    if (keyNumber < 1 || keyNumber > keyFlags.size()) return;
    keyFlags[keyNumber - 1u] = value;
}

KeyCommand DecideKeyDown(KeyFlagSet& keyFlags, uint8_t screenState, uint8_t gameMode, int16_t keyCode) {
    if (keyCode == key_code::kEsc) return KeyCommand::kEndProgram;
    if (screenState == screen_state::kPlaying) {
        if (keyCode == key_code::kP) return KeyCommand::kPause;
        const uint8_t key = MatchKeyNumber(keyCode);
        // The CPU plays player 2's side in 1P VS CPU, so its keys record nothing there.
        const bool player2Key = key == kKeyOem102 || key == kKeyCloseBracket;
        if (key != 0 && (!player2Key || gameMode == game_mode::kVs2P)) SetKeyFlag(keyFlags, key, true);
        return KeyCommand::kNone;
    }
    if (screenState == screen_state::kPaused) {
        if (keyCode == key_code::kR) return KeyCommand::kResume;
        if (keyCode == key_code::kS) return KeyCommand::kStop;
    }
    return KeyCommand::kNone;
}

KeyCommand DecideKeyUp(KeyFlagSet& keyFlags, uint8_t screenState, int16_t keyCode) {
    if (screenState != screen_state::kPlaying) return KeyCommand::kNone;
    if (keyCode == key_code::kEsc) return KeyCommand::kEndProgram;
    const uint8_t key = MatchKeyNumber(keyCode);
    if (key != 0) SetKeyFlag(keyFlags, key, false);
    return KeyCommand::kNone;
}

}  // namespace vx
