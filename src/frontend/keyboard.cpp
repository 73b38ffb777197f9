#include "frontend/keyboard.h"

#include "core/game.h"
#include "frontend/menu_commands.h"
#include "frontend/replay_watch.h"
#include "match/key_input.h"
#include "sound/music.h"

namespace vx {

namespace {

void RunKeyCommand(Game& g, KeyCommand command) {
    switch (command) {
        case KeyCommand::kPause: PauseMatch(g); break;
        case KeyCommand::kResume: ResumePausedMatch(g); break;
        case KeyCommand::kStop: StopPausedMatch(g); break;
        case KeyCommand::kEndProgram: EndTheProgram(g); break;
        case KeyCommand::kNone: break;
    }
}

}  // namespace

void OnKeyDown(Game& g, int16_t keyCode, int16_t shift) {
    if (WatchKeyDown(g, keyCode, shift != 0)) return;
    RunKeyCommand(g, DecideKeyDown(g.KeyFlags, g.ScreenState, g.GameMode, keyCode));
}

void OnKeyUp(Game& g, int16_t keyCode, int16_t) {
    if (WatchKeyUp(g, keyCode)) return;
    RunKeyCommand(g, DecideKeyUp(g.KeyFlags, g.ScreenState, keyCode));
}

}  // namespace vx
