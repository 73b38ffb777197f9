#include "asset_files.h"

#include <gtest/gtest.h>

#include <tuple>

#include "platform/audio/midi_file.h"
#include "support/files.h"

namespace vx::testing {

std::string ProgramPath(const std::string& relative) {
    return std::string(VOLTRAX_PROGRAM_DIR) + "/" + relative;
}

Surface LoadPicture(const std::string& relative) {
    Surface picture;
    std::string error;
    EXPECT_TRUE(LoadBmpFile(ProgramPath(relative), picture, error)) << error;
    return picture;
}

double Midi::SecondsAt(uint32_t tick) const {
    double seconds = 0;
    uint32_t last = 0, usPerQuarter = 500000;
    for (const auto& [t, us] : tempo) {
        if (t >= tick) break;
        seconds += double(t - last) / division * usPerQuarter / 1e6;
        last = t;
        usPerQuarter = us;
    }
    return seconds + double(tick - last) / division * usPerQuarter / 1e6;
}

// The game's own reader walks the file; the notes are paired up here.
bool LoadMidi(const std::string& path, Midi& out, std::string& error) {
    std::map<std::tuple<int, int, int>, std::vector<uint32_t>> sounding;  // track, channel, key
    const auto info = audio::ReadMidiFileInfo(ReadBytes(path), error, [&](const audio::MidiEvent& e) {
        const uint32_t tick = uint32_t(e.tick);
        const int kind = e.status & 0xF0, channel = e.status & 0x0F;
        if (e.status == 0xFF && e.data[0] == 0x2F) out.endTicks.push_back(tick);
        if (e.status == 0xFF && e.data[0] == 0x51 && e.data.size() == 4)
            out.tempo[tick] = uint32_t(e.data[1]) << 16 | uint32_t(e.data[2]) << 8 | e.data[3];
        if (kind != 0x80 && kind != 0x90) return;
        auto& on = sounding[{e.track, channel, e.data[0]}];
        if (kind == 0x90 && e.data[1] > 0) {
            on.push_back(tick);
        } else if (on.empty()) {
            ++out.unmatchedOffs;
        } else {
            out.notes.push_back({e.track, channel, e.data[0], on.front(), tick});
            on.erase(on.begin());
        }
    });
    if (!info) return error = path + ": " + error, false;
    out.trackCount = info->trackCount;
    out.division = info->ticksPerQuarter;
    for (const auto& [key, ons] : sounding) out.hangingNotes += int(ons.size());
    return true;
}

}  // namespace vx::testing
