// Finds the General MIDI SoundFont the music is played with: the system's default,
// then FluidSynth's configured default, then any SoundFont in the system folders.
#pragma once

#include <filesystem>
#include <optional>

namespace vx::audio {

std::optional<std::filesystem::path> FindGeneralMidiSoundFont();

}  // namespace vx::audio
