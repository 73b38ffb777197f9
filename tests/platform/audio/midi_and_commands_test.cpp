#include <gtest/gtest.h>

#include "platform/audio/midi_file.h"
#include "platform/audio/sequencer_command.h"
#include "support/files.h"
#include "support/sound_files.h"

namespace vx::audio {
namespace {

using Kind = SequencerCommand::Kind;

TEST(MidiFileInfo, LengthIsTheTickOfTheEndOfTheLongestTrack) {
    testing::MidiTune tune;
    tune.notes = {{0, 240, 60}, {480, 480, 64}};
    tune.endTick = 1200;
    std::string error;
    const auto info = ReadMidiFileInfo(testing::MakeMidiFile(tune), error);
    ASSERT_TRUE(info) << error;
    EXPECT_EQ(info->lengthTicks, 1200);
    EXPECT_EQ(info->ticksPerQuarter, 480);

    tune.endTick = 0;  // ends with the last note-off
    EXPECT_EQ(ReadMidiFileInfo(testing::MakeMidiFile(tune), error)->lengthTicks, 960);
}

TEST(MidiFileInfo, RunningStatusAndUnknownChunksAreRead) {
    // One track: note on, then a second note on under running status, end at 96.
    std::vector<uint8_t> file = {'M',  'T', 'h', 'd',  0,    0,    0,    6,  0,    0,    0,  1,
                                 0,    96,  'X', 'Y',  'Z',  'W',  0,    0,  0,    2,    1,  2,
                                 'M',  'T', 'r', 'k',  0,    0,    0,    14, 0x00, 0x90, 60, 100,
                                 0x30, 64,  100, 0x30, 0xFF, 0x2F, 0x00, 0,  0,    0};
    file[29 + 2] = 11;  // true track length
    file.resize(file.size() - 3);
    std::string error;
    const auto info = ReadMidiFileInfo(file, error);
    ASSERT_TRUE(info) << error;
    EXPECT_EQ(info->lengthTicks, 96);
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

TEST(SequencerCommands, TheGamesCommandStringsAreUnderstood) {
    EXPECT_EQ(ParseSequencerCommand("stop midifile ").kind, Kind::Stop);
    EXPECT_EQ(ParseSequencerCommand("close midifile").kind, Kind::Close);
    EXPECT_EQ(ParseSequencerCommand("status midifile position").kind, Kind::StatusPosition);
    EXPECT_EQ(ParseSequencerCommand("status midifile length").kind, Kind::StatusLength);
    const SequencerCommand play = ParseSequencerCommand("play midifile from 0");
    EXPECT_EQ(play.kind, Kind::Play);
    EXPECT_EQ(play.from, 0);
    EXPECT_EQ(ParseSequencerCommand("play midifile from 1920").from, 1920);
}

TEST(SequencerCommands, OpenKeepsBlanksAndJapaneseInThePath) {
    const std::string path = "/home/ユーザー/my games/vol trax/dat/opening.mid";
    const SequencerCommand open = ParseSequencerCommand("open " + path + " type sequencer alias midifile");
    EXPECT_EQ(open.kind, Kind::Open);
    EXPECT_EQ(open.path, path);
}

TEST(SequencerCommands, AnythingElseIsRefused) {
    for (const char* text : {"", "play midifile from", "play midifile from -3", "play midifile from 1x",
                             "play other from 0", "open  type sequencer alias midifile",
                             "status midifile mode", "open x.mid type sequencer alias other"})
        EXPECT_EQ(ParseSequencerCommand(text).kind, Kind::Unknown) << text;
}

}  // namespace
}  // namespace vx::audio
