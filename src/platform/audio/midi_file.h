// Reads just enough of a standard MIDI file to vouch for it before the synth sees it:
// the chunk structure, every event, and the length in ticks (the last event of the
// longest track, end-of-track included), which is the unit the sequencer reports in.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vx::audio {

struct MidiFileInfo {
    int32_t lengthTicks = 0;
    uint16_t ticksPerQuarter = 0;
    uint16_t trackCount = 0;
};

// One event as the reader meets it: its track and tick, its status byte (0xFF for a meta
// event, whose type is data[0]) and its data bytes.
struct MidiEvent {
    int track;
    int64_t tick;
    uint8_t status;
    std::vector<uint8_t> data;
};
using MidiEventVisitor = std::function<void(const MidiEvent&)>;

// Nothing when the bytes are not a playable file; `error` then says why in a few words.
// onEvent, when given, sees every meta and channel event of every track in file order.
std::optional<MidiFileInfo> ReadMidiFileInfo(const std::vector<uint8_t>& bytes, std::string& error,
                                             const MidiEventVisitor& onEvent = {});

}  // namespace vx::audio
