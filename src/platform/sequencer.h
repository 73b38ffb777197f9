// Sequencer: the background music player as the game drives it. One tune at a time,
// named by its MIDI file, played from its start over and over until stopped; the
// player loops it itself, each pass starting again exactly at the tune's length.
#pragma once

#include <filesystem>

namespace vx {

class Sequencer {
  public:
    virtual ~Sequencer() = default;
    // Replaces whatever plays by this tune from its start, looping. A file that cannot
    // be played leaves the music silent (the player says why, once).
    virtual void PlayLooping(const std::filesystem::path& midiFile) = 0;
    // Silence at once; the next PlayLooping starts from the beginning.
    virtual void Stop() = 0;
};

}  // namespace vx
