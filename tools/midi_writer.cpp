#include "midi_writer.h"

#include <algorithm>
#include <cmath>

namespace gen {

namespace {
void PutVarLen(QByteArray& b, uint32_t v) {
    uint8_t buf[5];
    int n = 0;
    buf[n++] = uint8_t(v & 0x7F);
    while (v >>= 7) buf[n++] = uint8_t((v & 0x7F) | 0x80);
    while (n) b.append(char(buf[--n]));
}
void Put32(QByteArray& b, uint32_t v) {
    for (int i = 3; i >= 0; --i) b.append(char((v >> (8 * i)) & 0xFF));
}
void Put16(QByteArray& b, uint16_t v) {
    b.append(char(v >> 8));
    b.append(char(v & 0xFF));
}
}  // namespace

void MidiTrack::Add(uint32_t tick, int order, std::vector<uint8_t> bytes) {
    events_.push_back({tick, order, uint32_t(events_.size()), std::move(bytes)});
}

void MidiTrack::Name(const std::string& name) {
    std::vector<uint8_t> b = {0xFF, 0x03, uint8_t(name.size())};
    b.insert(b.end(), name.begin(), name.end());
    Add(0, 0, b);
}

void MidiTrack::Tempo(uint32_t tick, double bpm) {
    const uint32_t us = uint32_t(std::lround(60000000.0 / bpm));
    Add(tick, 0, {0xFF, 0x51, 0x03, uint8_t(us >> 16), uint8_t(us >> 8), uint8_t(us)});
}

void MidiTrack::TimeSignature(uint32_t tick, int num, int den) {
    uint8_t pow2 = 0;
    while ((1 << pow2) < den) ++pow2;
    Add(tick, 0, {0xFF, 0x58, 0x04, uint8_t(num), pow2, 24, 8});
}

void MidiTrack::Program(uint32_t tick, int ch, int program) {
    Add(tick, 1, {uint8_t(0xC0 | ch), uint8_t(program)});
}

void MidiTrack::Control(uint32_t tick, int ch, int cc, int value) {
    Add(tick, 1, {uint8_t(0xB0 | ch), uint8_t(cc), uint8_t(value)});
}

void MidiTrack::Note(uint32_t tick, uint32_t length, int ch, int key, int velocity) {
    Add(tick, 3, {uint8_t(0x90 | ch), uint8_t(key), uint8_t(velocity)});
    Add(tick + length, 2, {uint8_t(0x80 | ch), uint8_t(key), 0});
}

uint32_t MidiTrack::LastTick() const {
    uint32_t last = 0;
    for (const Event& e : events_) last = std::max(last, e.tick);
    return last;
}

QByteArray MidiTrack::Encode(uint32_t endTick) const {
    std::vector<Event> sorted = events_;
    std::stable_sort(sorted.begin(), sorted.end(), [](const Event& a, const Event& b) {
        if (a.tick != b.tick) return a.tick < b.tick;
        if (a.order != b.order) return a.order < b.order;
        return a.seq < b.seq;
    });
    QByteArray body;
    uint32_t now = 0;
    for (const Event& e : sorted) {
        PutVarLen(body, e.tick - now);
        now = e.tick;
        if (e.bytes[0] == 0xFF) {
            // Meta: type, then the length as a variable-length number.
            body.append(char(0xFF));
            body.append(char(e.bytes[1]));
            PutVarLen(body, e.bytes[2]);
            for (size_t i = 3; i < e.bytes.size(); ++i) body.append(char(e.bytes[i]));
        } else {
            for (uint8_t byte : e.bytes) body.append(char(byte));
        }
    }
    PutVarLen(body, endTick > now ? endTick - now : 0);
    body.append(char(0xFF));
    body.append(char(0x2F));
    body.append(char(0x00));
    QByteArray chunk("MTrk");
    Put32(chunk, uint32_t(body.size()));
    chunk.append(body);
    return chunk;
}

QByteArray MidiFile(const std::vector<MidiTrack>& tracks, uint16_t division, uint32_t endTick) {
    QByteArray b("MThd");
    Put32(b, 6);
    Put16(b, 1);
    Put16(b, uint16_t(tracks.size()));
    Put16(b, division);
    for (const MidiTrack& t : tracks) b.append(t.Encode(endTick));
    return b;
}

}  // namespace gen
