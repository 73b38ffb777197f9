// Reads just enough of a standard MIDI file to vouch for it before the synth sees it:
// the chunk structure, every event, and the length in ticks (the last event of the
// longest track, end-of-track included), which is the unit the sequencer reports in.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace vx::audio {

struct MidiFileInfo {
    int32_t lengthTicks = 0;
    uint16_t ticksPerQuarter = 0;
    uint16_t trackCount = 0;
};

// Nothing when the bytes are not a playable file; `error` then says why in a few words.
std::optional<MidiFileInfo> ReadMidiFileInfo(const std::vector<uint8_t>& bytes, std::string& error);

}  // namespace vx::audio
