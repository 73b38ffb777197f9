#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "core/game.h"
#include "platform/audio/audio_system.h"
#include "sound/effects.h"
#include "sound/music.h"
#include "support/files.h"
#include "support/sound_files.h"
#include "support/test_game.h"

namespace vx::audio {
namespace {

namespace fs = std::filesystem;

constexpr int kRate = 44100;

std::vector<float> Render(AudioSystem& audio, int frames, int block = 512) {
    std::vector<float> out(2 * static_cast<size_t>(frames));
    for (int at = 0; at < frames; at += block)
        audio.Render(out.data() + 2 * at, std::min(block, frames - at));
    return out;
}

int SoundingFrames(const std::vector<float>& stereo) {
    int count = 0;
    for (size_t i = 0; i < stereo.size(); i += 2) count += (stereo[i] != 0.0f || stereo[i + 1] != 0.0f);
    return count;
}

float Peak(const std::vector<float>& stereo, size_t from = 0, size_t to = SIZE_MAX) {
    float peak = 0.0f;
    for (size_t i = from; i < std::min(to, stereo.size()); ++i) peak = std::max(peak, std::fabs(stereo[i]));
    return peak;
}

double Rms(const std::vector<float>& stereo, size_t fromFrame, size_t toFrame) {
    double sum = 0;
    for (size_t i = 2 * fromFrame; i < 2 * toFrame; ++i) sum += double(stereo[i]) * stereo[i];
    return std::sqrt(sum / double(2 * (toFrame - fromFrame)));
}

AudioOptions Offline(std::ostream& errors, std::optional<fs::path> soundFont = std::nullopt) {
    AudioOptions options;
    options.openDevice = false;
    options.loadMusicEarly = false;
    options.errors = &errors;
    options.soundFont = std::move(soundFont);
    return options;
}

// A game whose sound goes to an offline AudioSystem, with its own dat folder.
struct OfflineSound : ::testing::Test {
    testing::TestGame t;
    std::ostringstream errors;
    AudioSystem audio{Offline(errors)};
    OfflineSound() { t.Remake(t.noWindow, audio, audio); }
    fs::path Dat(const std::string& name) { return t.folder.Path() / "dat" / name; }
    int ErrorLines() const { return testing::LineCount(errors.str()); }
};

TEST_F(OfflineSound, AnEffectArrivesWholeAtFullLevelWhateverItsFormat) {
    testing::WriteBytes(Dat("wave1.wav"), testing::MakeWave(kRate, 1, testing::SquareWave(1000, 1, 30000)));
    PlayEffect(t.g(), "Wave1", effect_mode::kStart);
    const std::vector<float> out = Render(audio, 4096);
    EXPECT_EQ(SoundingFrames(out), 1000);
    EXPECT_NEAR(Peak(out), 30000.0f / 32768.0f, 1e-4);
    EXPECT_FLOAT_EQ(out[0], out[1]) << "mono reaches both channels";

    // Half the rate: twice the frames once converted, every one of them kept.
    testing::WriteBytes(Dat("wave2.wav"), testing::MakeWave(kRate / 2, 2, std::vector<int16_t>(2000, 16000)));
    PlayEffect(t.g(), "wave2", effect_mode::kStart);
    const std::vector<float> converted = Render(audio, 4096);
    EXPECT_NEAR(SoundingFrames(converted), 2000, 4);
    EXPECT_NEAR(converted[2 * 1000], 16000.0f / 32768.0f, 1e-3);
}

TEST_F(OfflineSound, ANewEffectCutsTheOnePlaying) {
    testing::WriteBytes(Dat("wave2.wav"), testing::MakeWave(kRate, 1, std::vector<int16_t>(3000, 16384)));
    testing::WriteBytes(Dat("wave1.wav"), testing::MakeWave(kRate, 1, std::vector<int16_t>(300, -8192)));
    PlayEffect(t.g(), "wave2", effect_mode::kStart);
    std::vector<float> out = Render(audio, 500);
    PlayEffect(t.g(), "Wave1", effect_mode::kStart);
    const std::vector<float> rest = Render(audio, 3000);
    out.insert(out.end(), rest.begin(), rest.end());
    EXPECT_FLOAT_EQ(out[2 * 499], 0.5f);
    EXPECT_FLOAT_EQ(out[2 * 500], -0.25f);
    EXPECT_FLOAT_EQ(out[2 * 799], -0.25f);
    EXPECT_EQ(SoundingFrames(out), 800) << "nothing of the first effect after the cut";
}

TEST_F(OfflineSound, SwitchedOffNothingSounds) {
    testing::WriteBytes(Dat("wave3.wav"), testing::MakeWave(kRate, 1, testing::SquareWave(500, 1, 1000)));
    t.g().Options.Set(Switch::kEffects, false);
    PlayEffect(t.g(), "wave3", effect_mode::kStart);
    EXPECT_EQ(SoundingFrames(Render(audio, 2048)), 0);
}

TEST_F(OfflineSound, MissingOrBrokenFilesStaySilentWithOneLineEach) {
    testing::WriteBytes(Dat("wave5.wav"), {'R', 'I', 'F', 'F', 1, 2, 3});
    testing::WriteBytes(Dat("bgm1.mid"), {'M', 'T', 'h', 'd', 0, 0});
    Game& g = t.g();
    g.Menu.SetChecked(MenuId::MenuMidi, true);
    for (int i = 0; i < 3; ++i) {
        PlayEffect(g, "wave4", effect_mode::kToTheEnd);
        PlayEffect(g, "wave5", effect_mode::kToTheEnd);
        OpenMusic(g, MusicFile(g, "\\dat\\opening.mid"));
        OpenMusic(g, MusicFile(g, "\\dat\\bgm1.mid"));
        ServiceMusic(g, 0);
    }
    EXPECT_EQ(SoundingFrames(Render(audio, 2048)), 0);
    EXPECT_EQ(MusicPosition(g), "") << "no device under the alias answers nothing";
    EXPECT_EQ(ErrorLines(), 4) << errors.str();
    EXPECT_NE(errors.str().find("wave4.wav"), std::string::npos);
    EXPECT_NE(errors.str().find("bgm1.mid"), std::string::npos);
}

// One second of tune: a chord on every beat, 480 ticks a beat at 120 beats a minute.
testing::MidiTune OneSecondTune() {
    testing::MidiTune tune;
    tune.notes = {{0, 400, 60}, {0, 400, 64}, {480, 400, 67}, {480, 400, 72}};
    tune.endTick = 960;
    return tune;
}

// Plays the game's own music loop (ServiceMusic once per rendered block) and notes
// the position after each block.
struct MusicRun {
    std::vector<float> out;
    std::vector<int> positions;
};

MusicRun RunMusic(Game& g, AudioSystem& audio, double seconds) {
    constexpr int kBlock = 512;
    MusicRun run;
    for (int frames = 0; frames < seconds * kRate; frames += kBlock) {
        ServiceMusic(g, 0);
        const std::vector<float> block = Render(audio, kBlock);
        run.out.insert(run.out.end(), block.begin(), block.end());
        run.positions.push_back(std::stoi("0" + MusicPosition(g)));
    }
    return run;
}

TEST_F(OfflineSound, MusicFromAFolderWithBlanksAndJapaneseSoundsAndLoopsAtItsTrueEnd) {
    const fs::path tune = t.folder.Path() / "my games" / "ボルトラックス 2" / "opening.mid";
    testing::WriteBytes(tune, testing::MakeMidiFile(OneSecondTune()));
    Game& g = t.g();
    OpenMusic(g, tune.string());
    EXPECT_EQ(MusicLength(g), 960);
    EXPECT_EQ(MusicPosition(g), "0");
    g.Menu.SetChecked(MenuId::MenuMidi, true);

    const MusicRun run = RunMusic(g, audio, 2.5);
    const auto end = std::find(run.positions.begin(), run.positions.end(), 960);
    ASSERT_NE(end, run.positions.end()) << "the position reaches the length";
    const double endSeconds = double(end - run.positions.begin() + 1) * 512 / kRate;
    EXPECT_NEAR(endSeconds, 1.0, 0.03) << "read as ended once the last event has passed";
    EXPECT_LT(*(end + 2), 100) << "and started again on the next tick";
    EXPECT_GT(Rms(run.out, 0, kRate), 0.005) << "first pass";
    EXPECT_GT(Rms(run.out, kRate * 11 / 10, kRate * 19 / 10), 0.005) << "second pass";
    EXPECT_EQ(ErrorLines(), 0) << errors.str();
}

TEST_F(OfflineSound, StopOrOpeningAnotherFileSilencesTheTune) {
    testing::WriteBytes(Dat("opening.mid"), testing::MakeMidiFile(OneSecondTune()));
    testing::MidiTune longer = OneSecondTune();
    longer.endTick = 4800;
    testing::WriteBytes(Dat("bgm1.mid"), testing::MakeMidiFile(longer));
    Game& g = t.g();
    OpenMusic(g, MusicFile(g, "\\dat\\opening.mid"));
    g.Menu.SetChecked(MenuId::MenuMidi, true);
    RunMusic(g, audio, 0.5);
    StopMusic(g);
    const std::string stoppedAt = MusicPosition(g);
    EXPECT_NEAR(std::stoi(stoppedAt), 480, 30);
    Render(audio, 1024);  // the voices' release
    EXPECT_EQ(SoundingFrames(Render(audio, kRate / 5)), 0);
    EXPECT_EQ(MusicPosition(g), stoppedAt) << "the position stays put";
    EXPECT_EQ(g.MusicPlaying, kFalse);

    RunMusic(g, audio, 0.3);
    OpenMusic(g, MusicFile(g, "\\dat\\bgm1.mid"));
    EXPECT_EQ(MusicLength(g), 4800);
    EXPECT_EQ(MusicPosition(g), "0");
    Render(audio, 1024);
    EXPECT_EQ(SoundingFrames(Render(audio, kRate / 10)), 0) << "not started until the next tick";
}

TEST_F(OfflineSound, MusicAndAnEffectTogetherNeverClip) {
    testing::MidiTune loud = OneSecondTune();
    for (uint8_t key = 40; key < 90; key += 3) loud.notes.push_back({0, 900, key, 127});
    testing::WriteBytes(Dat("opening.mid"), testing::MakeMidiFile(loud));
    testing::WriteBytes(Dat("wave9.wav"),
                        testing::MakeWave(kRate, 1, testing::SquareWave(kRate / 2, 1, 32767)));
    Game& g = t.g();
    OpenMusic(g, MusicFile(g, "\\dat\\opening.mid"));
    g.Menu.SetChecked(MenuId::MenuMidi, true);
    ServiceMusic(g, 0);
    Render(audio, 2048);
    PlayEffect(g, "Wave9", effect_mode::kStart);
    const std::vector<float> out = Render(audio, kRate);
    EXPECT_LE(Peak(out), 1.0f);
    EXPECT_GT(Peak(out), 0.5f);
}

TEST(OfflineSoundFont, WithoutASoundFontMusicIsSilentAndSaysSoOnce) {
    testing::TestGame t;
    std::ostringstream errors;
    AudioSystem audio(Offline(errors, "/nowhere/none.sf2"));
    t.Remake(t.noWindow, t.noEffects, audio);
    testing::WriteBytes(t.folder.Path() / "dat" / "opening.mid", testing::MakeMidiFile(OneSecondTune()));
    Game& g = t.g();
    g.Menu.SetChecked(MenuId::MenuMidi, true);
    for (int i = 0; i < 3; ++i) {
        OpenMusic(g, MusicFile(g, "\\dat\\opening.mid"));
        ServiceMusic(g, 0);
    }
    EXPECT_EQ(MusicLength(g), 0);
    EXPECT_EQ(testing::LineCount(errors.str()), 1) << errors.str();
    std::vector<float> out(2 * 1024);
    audio.Render(out.data(), 1024);
    EXPECT_EQ(SoundingFrames(out), 0);
}

}  // namespace
}  // namespace vx::audio
