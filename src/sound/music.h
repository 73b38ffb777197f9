// Background music: one MIDI sequence at a time under the device alias "midifile",
// opened by the screens and looped from Timer1's ticks by ServiceMusic.
#pragma once

#include <cstdint>
#include <string>

namespace vx {

struct Game;

// Replaces the open sequence by the file at fullPath; does not start it.
void OpenMusic(Game& g, const std::string& fullPath);
void StopMusic(Game& g);
// One tick of Timer1: starts the sequence, or restarts it from start once it has ended.
void ServiceMusic(Game& g, uint8_t start);
std::string MusicPosition(Game& g);
int32_t MusicLength(Game& g);

// The full path of a music file of the dat folder ("\dat\opening.mid").
std::string MusicFile(Game& g, const char* gamePath);

// Music is wanted while the music item carries its check mark.
bool MusicWanted(const Game& g);
// Opens a tune of the dat folder and turns Timer1 on; its first tick starts the tune.
void StartMusic(Game& g, const char* gamePath);
// Stops the tune and turns Timer1 off.
void StopMusicAndTimer(Game& g);
// Back to the menu screens' tune, when music is wanted.
void SwitchToOpeningMusic(Game& g);

// Stops the music and Timer1 and ends the program, the way Esc, QUIT and the exit
// command do. Loops that see the host ending unwind without touching anything.
void EndTheProgram(Game& g);

}  // namespace vx
