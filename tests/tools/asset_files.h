// Readers for the generated files, written independently of the generator so the tests
// check the bytes on disk: 24-bit BMP, 16-bit PCM WAV, standard MIDI file.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace vx::testing {

std::string ProgramPath(const std::string& relative);
std::vector<uint8_t> ReadAll(const std::string& path);

struct Bitmap {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;  // 0xRRGGBB, top row first
    uint32_t At(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)]; }
    bool White(int x, int y) const { return At(x, y) == 0xFFFFFF; }
};
// False with a message in `error` when the file is not an uncompressed 24-bit BMP.
bool LoadBmp(const std::string& path, Bitmap& out, std::string& error);

struct Wave {
    int channels = 0, sampleRate = 0, bits = 0;
    std::vector<int16_t> samples;
    double Seconds() const { return sampleRate ? double(samples.size()) / sampleRate : 0; }
};
bool LoadWav(const std::string& path, Wave& out, std::string& error);

struct MidiNote {
    int track, channel, key;
    uint32_t on, off;
};
struct Midi {
    int format = 0, division = 0;
    int trackCount = 0;
    std::vector<uint32_t> endTicks;      // tick of each track's end-of-track event
    std::map<uint32_t, uint32_t> tempo;  // tick -> microseconds per quarter
    std::vector<MidiNote> notes;
    int unmatchedOffs = 0;
    int hangingNotes = 0;  // note-ons still sounding at the end of their track
    double SecondsAt(uint32_t tick) const;
};
bool LoadMidi(const std::string& path, Midi& out, std::string& error);

}  // namespace vx::testing
