#include <gtest/gtest.h>

#include "platform/audio/midi_file.h"
#include "support/files.h"
#include "support/sound_files.h"

namespace vx::audio {
namespace {

TEST(MidiFileInfo, LengthIsTheEndOfTheLongestTrackInTicksAndTime) {
    testing::MidiTune tune;
    tune.notes = {{0, 240, 60}, {480, 480, 64}};
    tune.endTick = 1200;
    tune.beatsPerMinute = 100;  // 0.6 s a quarter
    std::string error;
    const auto info = ReadMidiFileInfo(testing::MakeMidiFile(tune), error);
    ASSERT_TRUE(info) << error;
    EXPECT_EQ(info->lengthTicks, 1200);
    EXPECT_EQ(info->ticksPerQuarter, 480);
    EXPECT_EQ(info->lengthMicros, 1'500'000);
    EXPECT_EQ(LengthFrames(*info, 44100), 66150);

    tune.endTick = 0;  // ends with the last note-off
    EXPECT_EQ(ReadMidiFileInfo(testing::MakeMidiFile(tune), error)->lengthTicks, 960);
}

TEST(MidiFileInfo, RunningStatusUnknownChunksAndTempoChangesAreRead) {
    // One track: note on, a second note on under running status, a tempo change to a
    // quarter of a second a quarter at tick 48, the end at 96 (96 ticks a quarter).
    std::vector<uint8_t> file = {'M',  'T',  'h',  'd',  0,    0,    0,    6,  0, 0, 0, 1, 0, 96,  // header
                                 'X',  'Y',  'Z',  'W',  0,    0,    0,    2,  1, 2,               // unknown
                                 'M',  'T',  'r',  'k',  0,    0,    0,    18,                     // track
                                 0x00, 0x90, 60,   100,  0x30, 64,   100,                          // notes
                                 0x00, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90,  // 250000 us
                                 0x30, 0xFF, 0x2F, 0x00};
    std::string error;
    const auto info = ReadMidiFileInfo(file, error);
    ASSERT_TRUE(info) << error;
    EXPECT_EQ(info->lengthTicks, 96);
    EXPECT_EQ(info->lengthMicros, 250'000 + 125'000) << "half a quarter at each tempo";
}

TEST(MidiFileInfo, BrokenFilesAreRefusedWithAReason) {
    testing::MidiTune tune;
    tune.notes = {{0, 480, 60}};
    const std::vector<uint8_t> good = testing::MakeMidiFile(tune);
    std::string error;

    EXPECT_FALSE(ReadMidiFileInfo({}, error));
    EXPECT_FALSE(ReadMidiFileInfo(testing::MakeWave(8000, 1, {1, 2, 3}), error));
    EXPECT_EQ(error, "not a standard MIDI file");

    std::vector<uint8_t> cut(good.begin(), good.end() - 5);
    EXPECT_FALSE(ReadMidiFileInfo(cut, error)) << "track chunk longer than the file";

    std::vector<uint8_t> smpte = good;
    smpte[12] = 0xE7;  // -25 frames a second
    EXPECT_FALSE(ReadMidiFileInfo(smpte, error));

    std::vector<uint8_t> garbage = good;
    garbage[30] = 0x42;  // the program change status replaced by a data byte with no running status
    EXPECT_FALSE(ReadMidiFileInfo(garbage, error));
}

}  // namespace
}  // namespace vx::audio
