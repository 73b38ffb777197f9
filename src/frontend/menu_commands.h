// The menu bar's commands as the game carries them out (the window only forwards the
// click): starting games, pause, resume, stop, exit and the options (saved at once).
#pragma once

#include <cstdint>

namespace vx {

struct Game;

void MenuVSCPU_Click(Game& g);
void MenuVS2P_Click(Game& g);
void MenuPause_Click(Game& g);
void MenuRePlay_Click(Game& g);
void MenuGameStop_Click(Game& g);
void MenuEnd_Click(Game& g);
void Menutime_Click(Game& g, int16_t index);
void Menuscr_Click(Game& g, int16_t index);
void MenuDiffMode_Click(Game& g, int16_t index);
void MenuWave_Click(Game& g);
void MenuMidi_Click(Game& g);

}  // namespace vx
