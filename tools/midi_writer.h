// A standard MIDI file writer (format 1): tracks of timed events, encoded with running
// delta times; note-offs sort before note-ons at one tick so repeated notes never hang.
#pragma once

#include <QByteArray>
#include <cstdint>
#include <string>
#include <vector>

namespace gen {

class MidiTrack {
  public:
    void Name(const std::string& name);
    void Tempo(uint32_t tick, double bpm);
    void TimeSignature(uint32_t tick, int numerator, int denominator);
    void Program(uint32_t tick, int channel, int program);
    void Control(uint32_t tick, int channel, int controller, int value);
    void Note(uint32_t tick, uint32_t length, int channel, int key, int velocity);

    // The track chunk, ending with its end-of-track event at endTick.
    QByteArray Encode(uint32_t endTick) const;
    uint32_t LastTick() const;

  private:
    struct Event {
        uint32_t tick;
        int order;  // at one tick: meta 0, setup 1, note-off 2, note-on 3
        uint32_t seq;
        std::vector<uint8_t> bytes;
    };
    void Add(uint32_t tick, int order, std::vector<uint8_t> bytes);
    std::vector<Event> events_;
};

QByteArray MidiFile(const std::vector<MidiTrack>& tracks, uint16_t division, uint32_t endTick);

}  // namespace gen
