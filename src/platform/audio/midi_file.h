// Reads just enough of a standard MIDI file to vouch for it before the synth sees it:
// the chunk structure, every event, and the length (the last event of the longest track,
// end-of-track included), in ticks and, through the tempo changes, in time. A looping
// tune starts again at that length, on the beat, not when its last notes have rung out.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace vx::audio {

struct MidiFileInfo {
    int32_t lengthTicks = 0;
    int64_t lengthMicros = 0;  // the time at lengthTicks under the file's tempo changes
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

// The length as whole frames at the sample rate (rounded to the nearest).
int64_t LengthFrames(const MidiFileInfo& info, int sampleRate);

}  // namespace vx::audio
