// Fuzz target: any bytes as a music file in the program folder. The reader refuses them
// with a reason, or vouches for a file whose every event it walked: tracks counted,
// ticks never going back within a track and none past the length it reports, channel
// messages with their data bytes under 0x80, and the same answer when asked again.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "platform/audio/midi_file.h"

namespace {

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "midi fuzz: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::vector<uint8_t> bytes(data, data + size);
    std::string error;
    std::vector<int64_t> lastTick;
    int events = 0;
    const auto info = vx::audio::ReadMidiFileInfo(bytes, error, [&](const vx::audio::MidiEvent& e) {
        ++events;
        Check(e.track >= 0 && e.track <= 0xffff, "track number in range");
        if (static_cast<std::size_t>(e.track) >= lastTick.size()) lastTick.resize(e.track + 1, 0);
        Check(e.tick >= lastTick[e.track], "ticks never go back within a track");
        lastTick[e.track] = e.tick;
        if (e.status == 0xFF) {
            Check(!e.data.empty(), "a meta event carries its type");
        } else {
            Check(e.status >= 0x80 && e.status <= 0xEF, "a channel message's status");
            Check(e.data.size() == ((e.status & 0xE0) == 0xC0 ? 1u : 2u), "a channel message's length");
            for (uint8_t b : e.data) Check(b < 0x80, "a channel message's data bytes");
        }
    });
    if (!info) {
        Check(!error.empty(), "a refusal says why");
        return 0;
    }
    Check(info->trackCount >= 1 && info->ticksPerQuarter >= 1 && info->ticksPerQuarter < 0x8000,
          "a vouched file's header");
    Check(lastTick.size() <= info->trackCount, "events only in counted tracks");
    for (int64_t t : lastTick) Check(t <= info->lengthTicks, "no event past the length");
    std::string again;
    const auto second = vx::audio::ReadMidiFileInfo(bytes, again);
    Check(second && second->lengthTicks == info->lengthTicks && second->trackCount == info->trackCount,
          "the same answer twice");
    return 0;
}
