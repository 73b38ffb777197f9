// Background music: the menu screens' tune and the match's tune, each played in a loop
// by the sequencer until another replaces it or the music stops.
#pragma once

#include <cstdint>
#include <filesystem>

namespace vx {

struct Game;

enum class Tune : uint8_t {
    kOpening,  // title, stage select, result: dat\opening.mid
    kMatch,    // during play: dat\bgm1.mid
};

// The tune's MIDI file in the program folder.
std::filesystem::path TuneFile(Game& g, Tune tune);

// Music is wanted while the music item carries its check mark.
bool MusicWanted(const Game& g);
// Plays the tune in a loop from its start, replacing whatever played, when music is
// wanted; otherwise makes sure nothing plays.
void StartMusic(Game& g, Tune tune);
void StopMusic(Game& g);
// Back to the menu screens' tune, when music is wanted.
void SwitchToOpeningMusic(Game& g);

// Stops the music and ends the program, the way Esc, QUIT and the exit command do.
// Loops that see the host ending unwind without touching anything.
void EndTheProgram(Game& g);

}  // namespace vx
