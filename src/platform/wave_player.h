// WavePlayer: plays one .wav file at a time, either started in the background or to
// its end. A new effect cuts the one playing.
#pragma once

#include <filesystem>

namespace vx {

class WavePlayer {
  public:
    virtual ~WavePlayer() = default;
    // waitToEnd: return only when the effect has finished (at once when it cannot play).
    virtual void PlayWave(const std::filesystem::path& path, bool waitToEnd) = 0;
};

}  // namespace vx
