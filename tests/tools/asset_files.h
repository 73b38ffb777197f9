// Readers for the generated files, the game's own where it has one: the notes of a MIDI
// file through the sound back-end's reader, pictures through the game's BMP decoder (and
// the effects through SDL, in sounds_test.cpp).
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "platform/surface.h"

namespace vx::testing {

std::string ProgramPath(const std::string& relative);
// A generated picture (relative to the program folder); a failed read fails the test.
Surface LoadPicture(const std::string& relative);
inline bool IsWhite(const Surface& s, int x, int y) {
    return s.Pixel(x, y) == 0xFFFFFF;
}

struct ReadNote {
    int track, channel, key;
    uint32_t on, off;
};
struct Midi {
    int division = 0;
    int trackCount = 0;
    std::vector<uint32_t> endTicks;      // tick of each track's end-of-track event
    std::map<uint32_t, uint32_t> tempo;  // tick -> microseconds per quarter
    std::vector<ReadNote> notes;
    int unmatchedOffs = 0;
    int hangingNotes = 0;  // note-ons still sounding at the end of their track
    double SecondsAt(uint32_t tick) const;
};
// The notes, tempo changes and track ends; false with a reason when the file is refused.
bool LoadMidi(const std::string& path, Midi& out, std::string& error);

}  // namespace vx::testing
