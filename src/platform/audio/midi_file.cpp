#include "platform/audio/midi_file.h"

#include <algorithm>

namespace vx::audio {

namespace {

class Reader {
  public:
    Reader(const uint8_t* begin, const uint8_t* end) : at_(begin), end_(end) {}
    bool AtEnd() const { return at_ >= end_; }
    size_t Left() const { return static_cast<size_t>(end_ - at_); }
    bool Byte(uint8_t& value) {
        if (AtEnd()) return false;
        value = *at_++;
        return true;
    }
    bool Peek(uint8_t& value) const {
        if (AtEnd()) return false;
        value = *at_;
        return true;
    }
    bool Skip(size_t count) {
        if (count > Left()) return false;
        at_ += count;
        return true;
    }
    bool BigEndian(int bytes, uint32_t& value) {
        value = 0;
        for (int i = 0; i < bytes; ++i) {
            uint8_t b = 0;
            if (!Byte(b)) return false;
            value = (value << 8) | b;
        }
        return true;
    }
    // Variable-length quantities are at most four bytes (28 bits).
    bool VarLen(uint32_t& value) {
        value = 0;
        for (int i = 0; i < 4; ++i) {
            uint8_t b = 0;
            if (!Byte(b)) return false;
            value = (value << 7) | (b & 0x7F);
            if ((b & 0x80) == 0) return true;
        }
        return false;
    }
    const uint8_t* Here() const { return at_; }

  private:
    const uint8_t* at_;
    const uint8_t* end_;
};

int DataBytesOf(uint8_t status) {
    switch (status & 0xF0) {
        case 0xC0:
        case 0xD0: return 1;
        default: return 2;
    }
}

// Walks one track's events; the end tick is where its last event (normally the
// end-of-track meta event) sits.
struct TempoChange {
    int64_t tick;
    uint32_t microsPerQuarter;
};

bool ReadTrack(Reader track, int number, int64_t& endTick, std::string& error,
               const MidiEventVisitor& onEvent, std::vector<TempoChange>& tempos) {
    int64_t tick = 0;
    uint8_t runningStatus = 0;
    while (!track.AtEnd()) {
        uint32_t delta = 0;
        if (!track.VarLen(delta)) return error = "bad delta time", false;
        tick += delta;
        uint8_t first = 0;
        if (!track.Peek(first)) return error = "event cut short", false;
        if (first == 0xFF) {
            track.Skip(1);
            uint8_t type = 0;
            uint32_t length = 0;
            if (!track.Byte(type) || !track.VarLen(length)) return error = "meta event cut short", false;
            const uint8_t* payload = track.Here();
            if (!track.Skip(length)) return error = "meta event cut short", false;
            if (type == 0x51 && length == 3) {
                const uint32_t tempo = uint32_t{payload[0]} << 16 | uint32_t{payload[1]} << 8 | payload[2];
                if (tempo > 0) tempos.push_back({tick, tempo});
            }
            if (onEvent) {
                std::vector<uint8_t> data(payload - 1, payload + length);  // the type, then the payload
                data[0] = type;
                onEvent({number, tick, 0xFF, std::move(data)});
            }
            if (type == 0x2F) break;
            continue;
        }
        if (first == 0xF0 || first == 0xF7) {
            track.Skip(1);
            uint32_t length = 0;
            if (!track.VarLen(length) || !track.Skip(length))
                return error = "system exclusive cut short", false;
            runningStatus = 0;
            continue;
        }
        if (first & 0x80) {
            if (first > 0xEF) return error = "unknown status byte", false;
            runningStatus = first;
            track.Skip(1);
        } else if (runningStatus == 0) {
            return error = "data byte without a status", false;
        }
        uint8_t data[2] = {};
        const int count = DataBytesOf(runningStatus);
        for (int i = 0; i < count; ++i)
            if (!track.Byte(data[i]) || (data[i] & 0x80)) return error = "bad channel message", false;
        if (onEvent) onEvent({number, tick, runningStatus, {data, data + count}});
    }
    endTick = tick;
    return true;
}

// Tempo changes hold from their tick on, whichever track carries them (format 1 keeps
// them in the first); before the first one a quarter lasts half a second.
int64_t MicrosAt(std::vector<TempoChange> tempos, int64_t tick, uint16_t ticksPerQuarter) {
    std::stable_sort(tempos.begin(), tempos.end(),
                     [](const TempoChange& a, const TempoChange& b) { return a.tick < b.tick; });
    // In microseconds times ticksPerQuarter: at most 2^31 ticks of 2^24 us, so no overflow.
    int64_t scaled = 0, at = 0;
    uint32_t tempo = 500'000;
    for (const TempoChange& change : tempos) {
        if (change.tick >= tick) break;
        scaled += (change.tick - at) * tempo;
        at = change.tick;
        tempo = change.microsPerQuarter;
    }
    scaled += (tick - at) * tempo;
    return scaled / ticksPerQuarter;
}

}  // namespace

std::optional<MidiFileInfo> ReadMidiFileInfo(const std::vector<uint8_t>& bytes, std::string& error,
                                             const MidiEventVisitor& onEvent) {
    Reader file(bytes.data(), bytes.data() + bytes.size());
    uint32_t tag = 0, headerLength = 0, format = 0, tracks = 0, division = 0;
    if (!file.BigEndian(4, tag) || tag != 0x4D546864 /* MThd */ || !file.BigEndian(4, headerLength) ||
        headerLength < 6 || !file.BigEndian(2, format) || !file.BigEndian(2, tracks) ||
        !file.BigEndian(2, division) || !file.Skip(headerLength - 6)) {
        error = "not a standard MIDI file";
        return std::nullopt;
    }
    if (format > 2) return error = "unknown MIDI file format", std::nullopt;
    if (division & 0x8000) return error = "SMPTE time division is not supported", std::nullopt;
    if (division == 0) return error = "zero ticks per quarter note", std::nullopt;

    MidiFileInfo info;
    info.ticksPerQuarter = static_cast<uint16_t>(division);
    int64_t longest = 0;
    std::vector<TempoChange> tempos;
    while (!file.AtEnd() && info.trackCount < tracks) {
        uint32_t chunkTag = 0, chunkLength = 0;
        if (!file.BigEndian(4, chunkTag) || !file.BigEndian(4, chunkLength) || chunkLength > file.Left()) {
            error = "chunk cut short";
            return std::nullopt;
        }
        const uint8_t* chunk = file.Here();
        file.Skip(chunkLength);
        if (chunkTag != 0x4D54726B /* MTrk */) continue;  // unknown chunks are allowed and skipped
        int64_t endTick = 0;
        if (!ReadTrack(Reader(chunk, chunk + chunkLength), info.trackCount, endTick, error, onEvent, tempos))
            return std::nullopt;
        longest = std::max(longest, endTick);
        ++info.trackCount;
    }
    if (info.trackCount == 0 || info.trackCount < tracks) {
        error = "tracks missing";
        return std::nullopt;
    }
    if (longest > INT32_MAX) return error = "too long", std::nullopt;
    info.lengthTicks = static_cast<int32_t>(longest);
    info.lengthMicros = MicrosAt(tempos, longest, info.ticksPerQuarter);
    return info;
}

int64_t LengthFrames(const MidiFileInfo& info, int sampleRate) {
    const __int128 frames = (static_cast<__int128>(info.lengthMicros) * sampleRate + 500'000) / 1'000'000;
    return frames > INT64_MAX ? INT64_MAX : static_cast<int64_t>(frames);
}

}  // namespace vx::audio
