// Through a real SDL device: the dummy driver (paced like a sound card) and the disk
// driver (which writes what it plays to a file).
#include <SDL.h>
#include <gtest/gtest.h>

#include <csignal>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

#include "platform/audio/audio_system.h"
#include "sound_files.h"
#include "support/test_game.h"

namespace vx::audio {
namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double SecondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

TEST(AudioDevice, ASynchronousEffectReturnsOnlyAfterItsLength) {
    testing::TempFolder folder;
    const fs::path wave = folder.Path() / "wave10.wav";
    testing::WriteBytes(wave, testing::MakeWave(22050, 1, testing::SquareWave(22050 * 3 / 10, 1, 8000)));
    std::ostringstream errors;
    AudioOptions options;
    options.errors = &errors;
    AudioSystem audio(options);
    ASSERT_TRUE(audio.HasDevice()) << errors.str();
    EXPECT_LE(audio.DeviceBufferFrames(), 1024);

    const auto start = Clock::now();
    audio.PlayWave(wave, true);
    const double waited = SecondsSince(start);
    EXPECT_GE(waited, 0.3);
    EXPECT_LT(waited, 0.6);

    const auto again = Clock::now();
    audio.PlayWave(wave, false);
    EXPECT_LT(SecondsSince(again), 0.05) << "mode 1 returns at once";
    audio.PlayWave(folder.Path() / "missing.wav", true);
    EXPECT_LT(SecondsSince(again), 0.05) << "an effect that cannot play returns at once";
    EXPECT_EQ(testing::LineCount(errors.str()), 1) << errors.str();
}

TEST(AudioDevice, MusicAdvancesInRealTime) {
    testing::TempFolder folder;
    const fs::path tune = folder.Path() / "bgm 1.mid";
    testing::MidiTune t;
    t.notes = {{0, 960, 60}};
    t.endTick = 960;
    testing::WriteBytes(tune, testing::MakeMidiFile(t));
    AudioSystem audio;
    ASSERT_TRUE(audio.HasDevice());
    audio.SendCommand("open " + tune.string() + " type sequencer alias midifile");
    audio.SendCommand("play midifile from 0");
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    const int position = std::stoi("0" + audio.SendCommand("status midifile position"));
    EXPECT_GT(position, 150);
    EXPECT_LT(position, 700);
    audio.SendCommand("stop midifile ");
}

TEST(AudioDevice, CtrlCAndKillStillEndTheProgram) {
    AudioSystem audio;
    struct sigaction interrupt{}, terminate{};
    sigaction(SIGINT, nullptr, &interrupt);
    sigaction(SIGTERM, nullptr, &terminate);
    EXPECT_EQ(interrupt.sa_handler, SIG_DFL);
    EXPECT_EQ(terminate.sa_handler, SIG_DFL);
    EXPECT_STREQ(SDL_GetHint(SDL_HINT_NO_SIGNAL_HANDLERS), "1");
}

// SDL reads the driver when the audio subsystem starts; this test switches it to the
// disk driver, which writes the device's stream to a file, and back.
class DiskDriver {
public:
    explicit DiskDriver(const fs::path& output) {
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", output.c_str(), 1);
    }
    ~DiskDriver() {
        setenv("SDL_AUDIODRIVER", "dummy", 1);
        unsetenv("SDL_DISKAUDIOFILE");
    }
};

TEST(AudioDevice, TheDeviceStreamCarriesTheEffectIntact) {
    testing::TempFolder folder;
    const fs::path wave = folder.Path() / "wave4.wav";
    const fs::path output = folder.Path() / "out.raw";
    testing::WriteBytes(wave, testing::MakeWave(44100, 2, testing::SquareWave(5000, 2, 20000)));
    {
        DiskDriver disk(output);
        AudioSystem audio;
        ASSERT_TRUE(audio.HasDevice());
        audio.PlayWave(wave, true);
    }
    std::ifstream in(output, std::ios::binary);
    std::vector<float> stream;
    float sample = 0;
    while (in.read(reinterpret_cast<char*>(&sample), sizeof sample)) stream.push_back(sample);
    int sounding = 0;
    float peak = 0;
    for (size_t i = 0; i + 1 < stream.size(); i += 2) {
        sounding += stream[i] != 0.0f;
        peak = std::max(peak, std::fabs(stream[i]));
    }
    EXPECT_EQ(sounding, 5000);
    EXPECT_NEAR(peak, 20000.0f / 32768.0f, 1e-4);
}

}  // namespace
}  // namespace vx::audio
