#include "support/sound_files.h"

#include <algorithm>
#include <fstream>

namespace vx::testing {

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(v & 0xFF);
    out.push_back((v >> 8) & 0xFF);
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}
void PutTag(std::vector<uint8_t>& out, const char* tag) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<uint8_t>(tag[i]));
}
void PutBig(std::vector<uint8_t>& out, uint32_t v, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back((v >> (8 * i)) & 0xFF);
}
void PutVarLen(std::vector<uint8_t>& out, uint32_t v) {
    uint8_t groups[4];
    int n = 0;
    do {
        groups[n++] = v & 0x7F;
        v >>= 7;
    } while (v != 0 && n < 4);
    while (n-- > 0) out.push_back(groups[n] | (n > 0 ? 0x80 : 0));
}

}  // namespace

std::vector<uint8_t> MakeWave(int sampleRate, int channels, const std::vector<int16_t>& samples) {
    std::vector<uint8_t> out;
    const uint32_t dataBytes = static_cast<uint32_t>(samples.size() * 2);
    PutTag(out, "RIFF");
    Put32(out, 36 + dataBytes);
    PutTag(out, "WAVE");
    PutTag(out, "fmt ");
    Put32(out, 16);
    Put16(out, 1);  // PCM
    Put16(out, channels);
    Put32(out, sampleRate);
    Put32(out, sampleRate * channels * 2);
    Put16(out, channels * 2);
    Put16(out, 16);
    PutTag(out, "data");
    Put32(out, dataBytes);
    for (int16_t s : samples) Put16(out, static_cast<uint16_t>(s));
    return out;
}

std::vector<int16_t> SquareWave(int frames, int channels, int16_t amplitude, int halfPeriod) {
    std::vector<int16_t> samples;
    for (int f = 0; f < frames; ++f)
        for (int c = 0; c < channels; ++c)
            samples.push_back((f / halfPeriod) % 2 == 0 ? amplitude : -amplitude);
    return samples;
}

std::vector<uint8_t> MakeMidiFile(const MidiTune& tune) {
    struct Event {
        uint32_t tick;
        int order;  // note-offs before note-ons on the same tick
        std::vector<uint8_t> bytes;
    };
    std::vector<Event> events;
    events.push_back({0,
                      0,
                      {0xFF, 0x51, 0x03, static_cast<uint8_t>(tune.microsecondsPerQuarter >> 16),
                       static_cast<uint8_t>(tune.microsecondsPerQuarter >> 8),
                       static_cast<uint8_t>(tune.microsecondsPerQuarter)}});
    events.push_back({0, 0, {0xC0, tune.program}});
    for (const auto& [channel, program] : tune.programs)
        events.push_back({0, 0, {static_cast<uint8_t>(0xC0 | channel), program}});
    uint32_t lastOff = 0;
    for (const MidiNote& n : tune.notes) {
        events.push_back({n.tick, 2, {static_cast<uint8_t>(0x90 | n.channel), n.key, n.velocity}});
        events.push_back({n.tick + n.length, 1, {static_cast<uint8_t>(0x80 | n.channel), n.key, 0}});
        lastOff = std::max(lastOff, n.tick + n.length);
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    events.push_back({std::max(tune.endTick, lastOff), 3, {0xFF, 0x2F, 0x00}});

    std::vector<uint8_t> track;
    uint32_t tick = 0;
    for (const Event& e : events) {
        PutVarLen(track, e.tick - tick);
        tick = e.tick;
        track.insert(track.end(), e.bytes.begin(), e.bytes.end());
    }
    std::vector<uint8_t> out;
    PutTag(out, "MThd");
    PutBig(out, 6, 4);
    PutBig(out, 0, 2);  // format 0
    PutBig(out, 1, 2);
    PutBig(out, tune.ticksPerQuarter, 2);
    PutTag(out, "MTrk");
    PutBig(out, static_cast<uint32_t>(track.size()), 4);
    out.insert(out.end(), track.begin(), track.end());
    return out;
}

}  // namespace vx::testing
