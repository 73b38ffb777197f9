// Small WAV and MIDI files made by the audio tests, written with the asset generator's
// own writers (tools/wav_synth, tools/midi_writer): one-track tunes and plain samples.
#pragma once

#include <cstdint>
#include <utility>
#include <vector>

namespace vx::testing {

// A 16-bit PCM RIFF/WAVE file of interleaved samples.
std::vector<uint8_t> MakeWave(int sampleRate, int channels, const std::vector<int16_t>& samples);

// Every sample nonzero, so the length of what arrives can be counted: +a, -a, +a ...
// in runs of `halfPeriod` frames, the same on every channel.
std::vector<int16_t> SquareWave(int frames, int channels, int16_t amplitude, int halfPeriod = 50);

struct MidiNote {
    uint32_t tick;
    uint32_t length;
    uint8_t key;
    uint8_t velocity = 100;
    uint8_t channel = 0;
};

struct MidiTune {
    uint16_t ticksPerQuarter = 480;
    double beatsPerMinute = 120;
    uint8_t program = 0;                                // on channel 0
    std::vector<std::pair<uint8_t, uint8_t>> programs;  // more (channel, program) pairs
    std::vector<MidiNote> notes;
    uint32_t endTick = 0;  // the end-of-track event; at least the last note-off
};

// One track: the tempo, the programs, then the notes.
std::vector<uint8_t> MakeMidiFile(const MidiTune& tune);

}  // namespace vx::testing
