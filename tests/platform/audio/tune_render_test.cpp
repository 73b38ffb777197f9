// Music from renders: a tune rendered once, kept on disk and played in a loop, against
// the live synthesizer it stands in for.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <sstream>

#include "platform/audio/audio_system.h"
#include "support/files.h"
#include "support/sound_files.h"
#include "support/test_game.h"

namespace vx::audio {
namespace {

namespace fs = std::filesystem;

constexpr int kRenderRate = 44100;
constexpr auto kRenderTimeout = std::chrono::seconds(60);
// Renders are kept as 16-bit samples: each is within half a step of the synthesizer's.
constexpr float kHalfStep = 0.5f / 32767.0f + 1e-6f;

std::vector<float> Render(AudioSystem& audio, int64_t frames) {
    constexpr int kBlock = 512;  // as the device asks
    std::vector<float> out(2 * static_cast<size_t>(frames));
    for (int64_t at = 0; at < frames; at += kBlock)
        audio.Render(out.data() + 2 * at, static_cast<int>(std::min<int64_t>(kBlock, frames - at)));
    return out;
}

// The largest difference between a and b over frames [from, to).
float MaxDifference(const std::vector<float>& a, const std::vector<float>& b, int64_t from, int64_t to) {
    float worst = 0;
    for (int64_t i = 2 * from; i < 2 * to; ++i)
        worst = std::max(worst, std::fabs(a[static_cast<size_t>(i)] - b[static_cast<size_t>(i)]));
    return worst;
}

double Rms(const std::vector<float>& stereo, int64_t from, int64_t to) {
    double sum = 0;
    for (int64_t i = 2 * from; i < 2 * to; ++i)
        sum += double(stereo[static_cast<size_t>(i)]) * stereo[static_cast<size_t>(i)];
    return std::sqrt(sum / double(2 * (to - from)));
}

// Two seconds at 120 beats a minute: a chord on the first beat, a note on the third and
// one held to the very end, so that it rings on under the next pass.
testing::MidiTune HeldToTheEnd() {
    testing::MidiTune tune;
    tune.notes = {{0, 300, 60, 110}, {0, 300, 67, 110}, {960, 300, 72, 100}, {1440, 480, 76, 90}};
    tune.endTick = 1920;
    return tune;
}
constexpr int64_t kPass = 2 * kRenderRate;

// A tune file, a cache folder and the audio systems that play it.
struct TuneRig : ::testing::Test {
    testing::TempFolder folder;
    std::ostringstream errors;
    fs::path tune = folder.Path() / "opening.mid";
    fs::path cache = folder.Path() / "cache";

    TuneRig() { Write(HeldToTheEnd()); }
    void Write(const testing::MidiTune& t) { testing::WriteBytes(tune, testing::MakeMidiFile(t)); }
    std::unique_ptr<AudioSystem> Audio(bool renders = true, const fs::path* cacheFolder = nullptr) {
        AudioOptions options;
        options.openDevice = false;
        options.loadMusicEarly = false;
        options.errors = &errors;
        options.renderTunes = renders;
        options.tuneCache = cacheFolder != nullptr ? *cacheFolder : cache;
        return std::make_unique<AudioSystem>(options);
    }
    // What the live synthesizer alone plays.
    std::vector<float> Live(int64_t frames) {
        auto audio = Audio(false);
        audio->PlayLooping(tune);
        return Render(*audio, frames);
    }
    std::vector<fs::path> CacheFiles() const {
        std::vector<fs::path> files;
        std::error_code ec;
        for (fs::directory_iterator it(cache, ec), end; !ec && it != end; it.increment(ec))
            files.push_back(it->path());
        return files;
    }
};

// The first play starts on the live synthesizer and moves to the render mid-pass; a
// later one plays the render from disk at once. Both sound as the synthesizer does.
TEST_F(TuneRig, ARenderSoundsLikeTheLiveSynthesizerAndTakesOverWithoutASeam) {
    const std::vector<float> live = Live(kPass);

    std::vector<float> first;
    {
        auto audio = Audio();
        audio->PlayLooping(tune);
        EXPECT_EQ(audio->PlayingFrom(), MusicSource::kLive);
        first = Render(*audio, kRenderRate / 2);
        ASSERT_TRUE(audio->WaitForRenders(kRenderTimeout));
        const std::vector<float> rest = Render(*audio, kPass * 3 / 2 - kRenderRate / 2);
        EXPECT_EQ(audio->PlayingFrom(), MusicSource::kRendered);
        first.insert(first.end(), rest.begin(), rest.end());
    }
    ASSERT_EQ(CacheFiles().size(), 1u);

    auto audio = Audio();
    audio->PlayLooping(tune);
    EXPECT_EQ(audio->PlayingFrom(), MusicSource::kRendered) << "from the cache file, no render";
    const std::vector<float> cached = Render(*audio, kPass * 3 / 2);
    EXPECT_LE(MaxDifference(cached, live, 0, kPass), kHalfStep) << "the render is the synthesizer's";
    EXPECT_LE(MaxDifference(first, cached, 0, kPass * 3 / 2), kHalfStep) << "the first play has no seam";
    EXPECT_GT(Rms(cached, 0, kPass), 0.01);
    EXPECT_TRUE(errors.str().empty()) << errors.str();
}

// Each pass starts exactly at the tune's length: the rendered loop repeats its first pass
// (plus what rings on from the pass before) and follows the live synthesizer's own loop.
TEST_F(TuneRig, TheLoopStartsEachPassAtTheTunesLengthWithNoGapOrDoubling) {
    testing::MidiTune quietEnd = HeldToTheEnd();
    quietEnd.endTick = 3840;  // two silent beats at the end: nothing rings over the loop
    for (const testing::MidiTune& t : {quietEnd, HeldToTheEnd()}) {
        const int64_t pass = t.endTick == 3840 ? 2 * kPass : kPass;
        SCOPED_TRACE(pass);
        Write(t);
        {
            auto audio = Audio();
            audio->PlayLooping(tune);
            ASSERT_TRUE(audio->WaitForRenders(kRenderTimeout));
        }
        auto audio = Audio();
        audio->PlayLooping(tune);
        ASSERT_EQ(audio->PlayingFrom(), MusicSource::kRendered);
        const std::vector<float> out = Render(*audio, 3 * pass);
        const std::vector<float> live = Live(3 * pass);
        if (pass == 2 * kPass) {
            EXPECT_LE(MaxDifference(out, std::vector<float>(out.begin() + 2 * pass, out.end()), 0, pass),
                      1e-3f);
            EXPECT_LE(MaxDifference(out, std::vector<float>(out.begin() + 4 * pass, out.end()), 0, pass),
                      1e-3f);
        }
        // 50 ms at a time the loudness of both loops agrees, across both loop points. (The
        // synthesizer starts a pass on its next 64-frame block, so up to 1.5 ms late.)
        constexpr int64_t kWindow = kRenderRate / 20;
        for (int64_t at = 0; at + kWindow <= 3 * pass; at += kWindow) {
            const double a = Rms(out, at, at + kWindow), b = Rms(live, at, at + kWindow);
            ASSERT_NEAR(a, b, 0.1 * b + 2e-4) << "at frame " << at;
        }
        EXPECT_GT(Rms(out, pass, pass + kRenderRate / 10), 0.5 * Rms(out, 0, kRenderRate / 10)) << "no gap";
    }
}

TEST_F(TuneRig, AChangedTuneRendersAgainAndItsOldRenderGoes) {
    {
        auto audio = Audio();
        audio->PlayLooping(tune);
        ASSERT_TRUE(audio->WaitForRenders(kRenderTimeout));
    }
    const std::vector<fs::path> before = CacheFiles();
    ASSERT_EQ(before.size(), 1u);

    testing::MidiTune changed = HeldToTheEnd();
    changed.notes[2].key = 74;
    Write(changed);
    auto audio = Audio();
    audio->PlayLooping(tune);
    EXPECT_EQ(audio->PlayingFrom(), MusicSource::kLive) << "the old render does not fit";
    ASSERT_TRUE(audio->WaitForRenders(kRenderTimeout));
    const std::vector<fs::path> after = CacheFiles();
    ASSERT_EQ(after.size(), 1u) << "the old render was deleted";
    EXPECT_NE(after[0], before[0]);

    audio->PlayLooping(tune);
    EXPECT_EQ(audio->PlayingFrom(), MusicSource::kRendered);
    EXPECT_LE(MaxDifference(Render(*audio, kPass), Live(kPass), 0, kPass), kHalfStep) << "the new tune";
}

// A cache folder that cannot be made (its parent is a file) keeps the render in memory:
// the music plays, says once why it will be rendered again, and stops at once on Stop.
TEST_F(TuneRig, AnUnwritableCacheFolderStillPlaysAndStopsAtOnce) {
    testing::WriteBytes(folder.Path() / "file", {1});
    const fs::path unwritable = folder.Path() / "file" / "cache";
    auto audio = Audio(true, &unwritable);
    for (int i = 0; i < 2; ++i) {
        audio->PlayLooping(tune);
        ASSERT_TRUE(audio->WaitForRenders(kRenderTimeout));
        EXPECT_GT(Rms(Render(*audio, kRenderRate / 2), 0, kRenderRate / 2), 0.01);
        EXPECT_EQ(audio->PlayingFrom(), MusicSource::kRendered);
        audio->Stop();
        const std::vector<float> after = Render(*audio, 1024);
        EXPECT_EQ(*std::max_element(after.begin(), after.end()), 0.0f);
    }
    EXPECT_EQ(testing::LineCount(errors.str()), 1) << errors.str();
    EXPECT_NE(errors.str().find("cache"), std::string::npos);
}

}  // namespace
}  // namespace vx::audio
