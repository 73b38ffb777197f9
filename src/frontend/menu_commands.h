// The menu bar's commands as the game carries them out (the window only forwards the
// click): starting games, pause, resume, stop, exit and the options (saved at once).
#pragma once

#include <cstdint>

namespace vx {

struct Game;

void StartVsCpu(Game& g);
void StartVs2P(Game& g);
void PauseMatch(Game& g);
void ResumePausedMatch(Game& g);
void StopPausedMatch(Game& g);
void QuitProgram(Game& g);
void ChooseTimeLimit(Game& g, int16_t index);
void ChooseScoreLimit(Game& g, int16_t index);
void ChooseDifficulty(Game& g, int16_t index);
void ToggleEffects(Game& g);
void ToggleMusic(Game& g);

}  // namespace vx
