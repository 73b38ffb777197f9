// Through a real SDL device: the dummy driver (paced like a sound card) and the disk
// driver (which writes what it plays to a file).
#include <SDL.h>
#include <gtest/gtest.h>

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "core/game.h"
#include "platform/audio/audio_system.h"
#include "sound/music.h"
#include "support/files.h"
#include "support/sound_files.h"
#include "support/test_game.h"

namespace vx::audio {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

TEST(AudioDevice, ASynchronousEffectReturnsOnlyAfterItsLengthAlsoFromARestingDevice) {
    testing::TempFolder folder;
    const fs::path wave = folder.Path() / "wave10.wav";
    testing::WriteBytes(wave, testing::MakeWave(22050, 1, testing::SquareWave(22050 * 3 / 10, 1, 8000)));
    std::ostringstream errors;
    AudioOptions options;
    options.errors = &errors;
    options.restAfter = std::chrono::milliseconds(200);
    AudioSystem audio(options);
    ASSERT_TRUE(audio.HasDevice()) << errors.str();
    EXPECT_LE(audio.DeviceBufferFrames(), 1024);
    // Silence closes the device; the next effect opens it and still plays whole.
    for (int i = 0; i < 100 && !audio.DeviceResting(); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    ASSERT_TRUE(audio.DeviceResting());

    const auto start = Clock::now();
    audio.PlayWave(wave, true);
    const double waited = SecondsSince(start);
    EXPECT_GE(waited, 0.3);
    EXPECT_LT(waited, 1.0);

    const auto again = Clock::now();
    audio.PlayWave(wave, false);
    EXPECT_LT(SecondsSince(again), 0.05) << "mode 1 returns at once";
    audio.PlayWave(folder.Path() / "missing.wav", true);
    EXPECT_LT(SecondsSince(again), 0.05) << "an effect that cannot play returns at once";
    EXPECT_EQ(testing::LineCount(errors.str()), 1) << errors.str();
}

TEST(AudioDevice, CtrlCAndKillStillEndTheProgram) {
    AudioSystem audio;
    struct sigaction interrupt {
    }, terminate{};
    sigaction(SIGINT, nullptr, &interrupt);
    sigaction(SIGTERM, nullptr, &terminate);
    EXPECT_EQ(interrupt.sa_handler, SIG_DFL);
    EXPECT_EQ(terminate.sa_handler, SIG_DFL);
    EXPECT_STREQ(SDL_GetHint(SDL_HINT_NO_SIGNAL_HANDLERS), "1");
}

// SDL reads the driver when the audio subsystem starts; this test switches it to the
// disk driver, which writes the device's stream to a file, and back.
class UsingDriver {
  public:
    explicit UsingDriver(const char* driver, const fs::path& diskFile = {}) {
        if (const char* was = getenv("SDL_AUDIODRIVER")) driver_ = was;
        setenv("SDL_AUDIODRIVER", driver, 1);
        if (!diskFile.empty()) setenv("SDL_DISKAUDIOFILE", diskFile.c_str(), 1);
    }
    ~UsingDriver() {
        if (driver_.empty())
            unsetenv("SDL_AUDIODRIVER");
        else
            setenv("SDL_AUDIODRIVER", driver_.c_str(), 1);
        unsetenv("SDL_DISKAUDIOFILE");
    }

  private:
    std::string driver_;
};

TEST(AudioDevice, WithoutADeviceTheGameGoesOnSilentAfterOneLine) {
    testing::TempFolder folder;
    const fs::path wave = folder.Path() / "wave5.wav";
    testing::WriteBytes(wave, testing::MakeWave(44100, 1, std::vector<int16_t>(44100, 1000)));
    UsingDriver none("no-such-driver");
    std::ostringstream errors;
    AudioOptions options;
    options.errors = &errors;
    AudioSystem audio(options);
    EXPECT_FALSE(audio.HasDevice());
    const auto start = Clock::now();
    audio.PlayWave(wave, true);
    audio.PlayLooping(folder.Path() / "x.mid");
    EXPECT_EQ(audio.PlayingFrom(), MusicSource::kNone);
    audio.PlayWave(wave, true);
    EXPECT_LT(SecondsSince(start), 0.05);
    EXPECT_EQ(testing::LineCount(errors.str()), 1) << errors.str();
}

// Runs `play` on a disk-driver device and returns the left channel of what it played.
std::vector<float> PlayedOnDisk(const fs::path& folder, const std::function<void(AudioSystem&)>& play) {
    const fs::path output = folder / "out.raw";
    {
        UsingDriver disk("disk", output);
        AudioOptions options;
        options.tuneCache = folder / "cache";
        AudioSystem audio(options);
        if (!audio.HasDevice()) return {};
        play(audio);
    }
    std::ifstream in(output, std::ios::binary);
    std::vector<float> left;
    float frame[2];
    while (in.read(reinterpret_cast<char*>(frame), sizeof frame)) left.push_back(frame[0]);
    return left;
}

// Half a second of tune played for 1.3 s through the game: the first pass sounds, and
// the second, which the player started by itself.
TEST(AudioDevice, OnTheDeviceTheMusicSoundsAndLoops) {
    testing::TestGame t;
    const fs::path tune = t.folder.Path() / "dat" / "opening.mid";
    testing::MidiTune half;  // half a second: one long note
    half.notes = {{0, 470, 72, 120}};
    half.endTick = 480;
    testing::WriteBytes(tune, testing::MakeMidiFile(half));
    const std::vector<float> stream = PlayedOnDisk(t.folder.Path(), [&](AudioSystem& audio) {
        Game& g = t.Remake(t.noWindow, t.noEffects, audio);
        g.Menu.SetChecked(MenuId::MenuMidi, true);
        StartMusic(g, Tune::kOpening);
        std::this_thread::sleep_for(std::chrono::milliseconds(1300));
        StopMusic(g);
    });
    ASSERT_GT(stream.size(), 44100u);
    // The stream starts when the device opens, the tune when the SoundFont is ready.
    const size_t onset = static_cast<size_t>(
        std::find_if(stream.begin(), stream.end(), [](float s) { return std::fabs(s) > 0.01f; }) -
        stream.begin());
    auto loud = [&](double from, double to) {
        float peak = 0;
        for (size_t i = onset + size_t(from * 44100); i < onset + size_t(to * 44100) && i < stream.size();
             ++i)
            peak = std::max(peak, std::fabs(stream[i]));
        return peak;
    };
    EXPECT_GT(loud(0.1, 0.4), 0.01f) << "first pass";
    EXPECT_GT(loud(0.6, 0.9), 0.01f) << "second pass";
}

}  // namespace
}  // namespace vx::audio
