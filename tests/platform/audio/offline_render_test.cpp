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

AudioOptions Offline(std::ostream& errors, const fs::path& cache,
                     std::optional<fs::path> soundFont = std::nullopt) {
    AudioOptions options;
    options.openDevice = false;
    options.loadMusicEarly = false;
    options.errors = &errors;
    options.soundFont = std::move(soundFont);
    options.tuneCache = cache;
    return options;
}

// A game whose sound goes to an offline AudioSystem, with its own dat folder.
struct OfflineSound : ::testing::Test {
    testing::TestGame t;
    std::ostringstream errors;
    AudioSystem audio{Offline(errors, t.folder.Path() / "cache")};
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
        StartMusic(g, Tune::kOpening);
        StartMusic(g, Tune::kMatch);
    }
    EXPECT_EQ(SoundingFrames(Render(audio, 2048)), 0);
    EXPECT_EQ(audio.PlayingFrom(), MusicSource::kNone);
    EXPECT_EQ(ErrorLines(), 4) << errors.str();
    EXPECT_NE(errors.str().find("wave4.wav"), std::string::npos);
    EXPECT_NE(errors.str().find("bgm1.mid"), std::string::npos);
}

// A loud chord under a full-scale effect.
TEST_F(OfflineSound, MusicAndAnEffectTogetherNeverClip) {
    testing::MidiTune loud;
    loud.notes = {{0, 400, 60}, {0, 400, 64}, {480, 400, 67}, {480, 400, 72}};
    loud.endTick = 960;
    for (uint8_t key = 40; key < 90; key += 3) loud.notes.push_back({0, 900, key, 127});
    testing::WriteBytes(Dat("opening.mid"), testing::MakeMidiFile(loud));
    testing::WriteBytes(Dat("wave9.wav"),
                        testing::MakeWave(kRate, 1, testing::SquareWave(kRate / 2, 1, 32767)));
    Game& g = t.g();
    g.Menu.SetChecked(MenuId::MenuMidi, true);
    StartMusic(g, Tune::kOpening);
    Render(audio, 2048);
    PlayEffect(g, "Wave9", effect_mode::kStart);
    const std::vector<float> out = Render(audio, kRate);
    EXPECT_LE(Peak(out), 1.0f);
    EXPECT_GT(Peak(out), 0.5f);
}

TEST(OfflineSoundFont, WithoutASoundFontMusicIsSilentAndSaysSoOnce) {
    testing::TestGame t;
    std::ostringstream errors;
    AudioSystem audio(Offline(errors, t.folder.Path() / "cache", "/nowhere/none.sf2"));
    t.Remake(t.noWindow, t.noEffects, audio);
    testing::MidiTune tune;
    tune.notes = {{0, 400, 60}};
    testing::WriteBytes(t.folder.Path() / "dat" / "opening.mid", testing::MakeMidiFile(tune));
    Game& g = t.g();
    g.Menu.SetChecked(MenuId::MenuMidi, true);
    for (int i = 0; i < 3; ++i) StartMusic(g, Tune::kOpening);
    EXPECT_EQ(testing::LineCount(errors.str()), 1) << errors.str();
    EXPECT_EQ(SoundingFrames(Render(audio, 1024)), 0);
    EXPECT_TRUE(audio.WaitForRenders(std::chrono::seconds(1)));
    EXPECT_FALSE(fs::exists(t.folder.Path() / "cache")) << "nothing rendered";
}

}  // namespace
}  // namespace vx::audio
