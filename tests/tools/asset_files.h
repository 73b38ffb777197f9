// Readers for the generated files, written independently of the generator so the tests
// check the bytes on disk: 16-bit PCM WAV and standard MIDI files; pictures go through
// the game's own BMP decoder.
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

struct Wave {
    int channels = 0, sampleRate = 0, bits = 0;
    std::vector<int16_t> samples;
    double Seconds() const { return sampleRate ? double(samples.size()) / sampleRate : 0; }
};
bool LoadWav(const std::string& path, Wave& out, std::string& error);

struct ReadNote {
    int track, channel, key;
    uint32_t on, off;
};
struct Midi {
    int format = 0, division = 0;
    int trackCount = 0;
    std::vector<uint32_t> endTicks;      // tick of each track's end-of-track event
    std::map<uint32_t, uint32_t> tempo;  // tick -> microseconds per quarter
    std::vector<ReadNote> notes;
    int unmatchedOffs = 0;
    int hangingNotes = 0;  // note-ons still sounding at the end of their track
    double SecondsAt(uint32_t tick) const;
};
bool LoadMidi(const std::string& path, Midi& out, std::string& error);

}  // namespace vx::testing
