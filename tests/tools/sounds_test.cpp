#include <SDL.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <set>
#include <string>

#include "asset_files.h"

namespace vx::testing {
namespace {

struct Wave {
    SDL_AudioSpec audio{};
    std::vector<int16_t> samples;
    double Seconds() const { return double(samples.size()) / audio.freq / audio.channels; }
};

// Read as the game's sound back-end reads it, through SDL.
Wave LoadEffect(int n) {
    Wave w;
    const std::string path = ProgramPath("dat/wave" + std::to_string(n) + ".wav");
    Uint8* data = nullptr;
    Uint32 length = 0;
    if (SDL_LoadWAV(path.c_str(), &w.audio, &data, &length) == nullptr) {
        ADD_FAILURE() << path << ": " << SDL_GetError();
        return w;
    }
    w.samples.assign(reinterpret_cast<int16_t*>(data), reinterpret_cast<int16_t*>(data + length));
    SDL_FreeWAV(data);
    return w;
}

int Peak(const Wave& w) {
    int peak = 0;
    for (int16_t s : w.samples) peak = std::max(peak, std::abs(int(s)));
    return peak;
}

TEST(GeneratedSounds, EffectsAreShortPeakNormalisedMono16BitPcm) {
    for (int n = 1; n <= 11; ++n) {
        const Wave w = LoadEffect(n);
        EXPECT_EQ(w.audio.channels, 1) << n;
        EXPECT_EQ(w.audio.format, AUDIO_S16LSB) << n;
        EXPECT_EQ(w.audio.freq, 22050) << n;
        ASSERT_FALSE(w.samples.empty()) << n;
        const int peak = Peak(w);
        EXPECT_GE(peak, int(0.85 * 32767)) << "wave" << n << " is not normalised";
        EXPECT_LT(peak, 32767) << "wave" << n << " clips";
        // The last sample is silent, so stopping or chaining effects never clicks.
        EXPECT_LT(std::abs(int(w.samples.back())), 64) << n;
        const bool jingle = n >= 5 && n <= 9;
        if (jingle) {
            EXPECT_GE(w.Seconds(), 1.0) << n;
            EXPECT_LE(w.Seconds(), 3.0) << n;
        } else {
            EXPECT_GT(w.Seconds(), 0.02) << n;
            EXPECT_LE(w.Seconds(), 1.2) << n;
        }
    }
}

TEST(GeneratedSounds, NoTwoEffectsAreTheSame) {
    for (int a = 1; a <= 11; ++a)
        for (int b = a + 1; b <= 11; ++b)
            EXPECT_NE(LoadEffect(a).samples, LoadEffect(b).samples) << a << " / " << b;
}

Midi LoadTune(const char* name) {
    Midi m;
    std::string error;
    EXPECT_TRUE(LoadMidi(ProgramPath(std::string("dat/") + name), m, error)) << error;
    return m;
}

void CheckLoopingTune(const Midi& m, const char* name) {
    EXPECT_GE(m.trackCount, 3) << name;
    ASSERT_EQ(int(m.endTicks.size()), m.trackCount) << name;
    ASSERT_FALSE(m.notes.empty()) << name;
    const uint32_t end = *std::max_element(m.endTicks.begin(), m.endTicks.end());
    for (uint32_t t : m.endTicks) EXPECT_EQ(t, end) << name << ": every track ends at the loop point";
    const double seconds = m.SecondsAt(end);
    EXPECT_GE(seconds, 60.0) << name;
    EXPECT_LE(seconds, 120.0) << name;
    EXPECT_EQ(m.hangingNotes, 0) << name;
    EXPECT_EQ(m.unmatchedOffs, 0) << name;
    uint32_t first = UINT32_MAX, lastOff = 0;
    for (const ReadNote& n : m.notes) {
        first = std::min(first, n.on);
        lastOff = std::max(lastOff, n.off);
        EXPECT_LT(n.on, n.off) << name;
        EXPECT_LE(n.off, end) << name << ": a note rings past the loop point";
    }
    // No silence at either side of the seam: music at tick 0 and until the last beat.
    EXPECT_EQ(first, 0u) << name;
    EXPECT_GE(lastOff + uint32_t(m.division), end) << name;
    // General MIDI drums on channel 10 and at least three melodic channels.
    std::set<int> channels;
    for (const ReadNote& n : m.notes) channels.insert(n.channel);
    EXPECT_TRUE(channels.count(9)) << name;
    EXPECT_GE(channels.size(), 4u) << name;
}

TEST(GeneratedMusic, BothTunesLoopCleanlyAndLastOneToTwoMinutes) {
    CheckLoopingTune(LoadTune("opening.mid"), "opening.mid");
    CheckLoopingTune(LoadTune("bgm1.mid"), "bgm1.mid");
}

}  // namespace
}  // namespace vx::testing
