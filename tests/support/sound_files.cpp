#include "support/sound_files.h"

#include <QByteArray>
#include <algorithm>

#include "midi_writer.h"
#include "wav_synth.h"

namespace vx::testing {

namespace {
std::vector<uint8_t> Bytes(const QByteArray& b) {
    return {b.begin(), b.end()};
}
}  // namespace

std::vector<uint8_t> MakeWave(int sampleRate, int channels, const std::vector<int16_t>& samples) {
    QByteArray pcm;
    for (int16_t s : samples) pcm.append(char(s & 0xFF)).append(char((s >> 8) & 0xFF));
    return Bytes(gen::WavFile(pcm, sampleRate, channels));
}

std::vector<int16_t> SquareWave(int frames, int channels, int16_t amplitude, int halfPeriod) {
    std::vector<int16_t> samples;
    for (int f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c)
            samples.push_back((f / halfPeriod) % 2 == 0 ? amplitude : -amplitude);
    return samples;
}

std::vector<uint8_t> MakeMidiFile(const MidiTune& tune) {
    gen::MidiTrack track;
    track.Tempo(0, tune.beatsPerMinute);
    track.Program(0, 0, tune.program);
    for (const auto& [channel, program] : tune.programs) track.Program(0, channel, program);
    for (const MidiNote& n : tune.notes) track.Note(n.tick, n.length, n.channel, n.key, n.velocity);
    return Bytes(gen::MidiFile({track}, tune.ticksPerQuarter, std::max(tune.endTick, track.LastTick())));
}

}  // namespace vx::testing
