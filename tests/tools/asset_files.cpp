#include "asset_files.h"

#include <gtest/gtest.h>

#include "support/files.h"

namespace vx::testing {

namespace {
uint32_t Le32(const std::vector<uint8_t>& b, size_t i) {
    return uint32_t(b[i]) | uint32_t(b[i + 1]) << 8 | uint32_t(b[i + 2]) << 16 | uint32_t(b[i + 3]) << 24;
}
uint16_t Le16(const std::vector<uint8_t>& b, size_t i) {
    return uint16_t(b[i] | b[i + 1] << 8);
}
uint32_t Be32(const std::vector<uint8_t>& b, size_t i) {
    return uint32_t(b[i]) << 24 | uint32_t(b[i + 1]) << 16 | uint32_t(b[i + 2]) << 8 | uint32_t(b[i + 3]);
}
uint16_t Be16(const std::vector<uint8_t>& b, size_t i) {
    return uint16_t(b[i] << 8 | b[i + 1]);
}
}  // namespace

std::string ProgramPath(const std::string& relative) {
    return std::string(VOLTRAX_PROGRAM_DIR) + "/" + relative;
}

Surface LoadPicture(const std::string& relative) {
    Surface picture;
    std::string error;
    EXPECT_TRUE(LoadBmpFile(ProgramPath(relative), picture, error)) << error;
    return picture;
}

bool LoadWav(const std::string& path, Wave& out, std::string& error) {
    const std::vector<uint8_t> b = ReadBytes(path);
    if (b.size() < 44 || std::string(b.begin(), b.begin() + 4) != "RIFF" ||
        std::string(b.begin() + 8, b.begin() + 12) != "WAVE")
        return error = path + ": not RIFF/WAVE", false;
    if (Le32(b, 4) + 8 != b.size()) return error = path + ": RIFF size field is wrong", false;
    size_t i = 12;
    bool haveFormat = false;
    while (i + 8 <= b.size()) {
        const std::string id(b.begin() + long(i), b.begin() + long(i) + 4);
        const uint32_t size = Le32(b, i + 4);
        if (i + 8 + size > b.size()) return error = path + ": chunk runs past the end", false;
        if (id == "fmt ") {
            if (Le16(b, i + 8) != 1) return error = path + ": not PCM", false;
            out.channels = Le16(b, i + 10);
            out.sampleRate = int(Le32(b, i + 12));
            out.bits = Le16(b, i + 22);
            haveFormat = true;
        } else if (id == "data") {
            if (!haveFormat) return error = path + ": data before fmt", false;
            out.samples.resize(size / 2);
            for (size_t k = 0; k < out.samples.size(); ++k) out.samples[k] = int16_t(Le16(b, i + 8 + 2 * k));
            return true;
        }
        i += 8 + size + (size & 1);
    }
    return error = path + ": no data chunk", false;
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

bool LoadMidi(const std::string& path, Midi& out, std::string& error) {
    const std::vector<uint8_t> b = ReadBytes(path);
    if (b.size() < 14 || std::string(b.begin(), b.begin() + 4) != "MThd" || Be32(b, 4) != 6)
        return error = path + ": no MThd header", false;
    out.format = Be16(b, 8);
    out.trackCount = Be16(b, 10);
    out.division = Be16(b, 12);
    if (out.division & 0x8000) return error = path + ": SMPTE timing not expected", false;
    size_t i = 14;
    for (int track = 0; track < out.trackCount; ++track) {
        if (i + 8 > b.size() || std::string(b.begin() + long(i), b.begin() + long(i) + 4) != "MTrk")
            return error = path + ": missing MTrk", false;
        const size_t end = i + 8 + Be32(b, i + 4);
        if (end > b.size()) return error = path + ": track runs past the end", false;
        size_t p = i + 8;
        uint32_t tick = 0;
        uint8_t status = 0;
        bool ended = false;
        std::map<std::pair<int, int>, std::vector<uint32_t>> sounding;
        while (p < end) {
            if (ended) return error = path + ": events after end of track", false;
            uint32_t delta = 0;
            do delta = delta << 7 | (b[p] & 0x7F);
            while (b[p++] & 0x80);
            tick += delta;
            if (b[p] & 0x80) status = b[p++];
            if (status == 0xFF) {
                const uint8_t type = b[p++];
                uint32_t len = 0;
                do len = len << 7 | (b[p] & 0x7F);
                while (b[p++] & 0x80);
                if (type == 0x2F) {
                    ended = true;
                    out.endTicks.push_back(tick);
                } else if (type == 0x51 && len == 3) {
                    out.tempo[tick] = uint32_t(b[p]) << 16 | uint32_t(b[p + 1]) << 8 | b[p + 2];
                }
                p += len;
                continue;
            }
            const int kind = status & 0xF0, ch = status & 0x0F;
            if (kind == 0xC0 || kind == 0xD0) {
                p += 1;
                continue;
            }
            const int key = b[p], vel = b[p + 1];
            p += 2;
            if (kind == 0x90 && vel > 0) {
                sounding[{ch, key}].push_back(tick);
            } else if (kind == 0x80 || kind == 0x90) {
                auto& on = sounding[{ch, key}];
                if (on.empty()) {
                    ++out.unmatchedOffs;
                } else {
                    out.notes.push_back({track, ch, key, on.front(), tick});
                    on.erase(on.begin());
                }
            }
        }
        if (!ended) return error = path + ": track without end-of-track", false;
        for (const auto& [k, ons] : sounding) out.hangingNotes += int(ons.size());
        i = end;
    }
    return true;
}

}  // namespace vx::testing
