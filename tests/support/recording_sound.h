// Sound back-ends that only record what the game asked of them.
#pragma once

#include <deque>
#include <filesystem>
#include <string>
#include <vector>

#include "platform/sequencer.h"
#include "platform/wave_player.h"

namespace vx::testing {

struct RecordingWavePlayer : WavePlayer {
    struct Call {
        std::filesystem::path path;
        bool waitToEnd;
    };
    std::vector<Call> calls;
    void PlayWave(const std::filesystem::path& path, bool waitToEnd) override {
        calls.push_back({path, waitToEnd});
    }
    // File names only, in order ("wave2.wav").
    std::vector<std::string> Names() const {
        std::vector<std::string> names;
        for (const Call& c : calls) names.push_back(c.path.filename().string());
        return names;
    }
};

// Each call as "play <file name>" or "stop"; `playing` is the file that loops now.
struct RecordingSequencer : Sequencer {
    std::vector<std::string> calls;
    std::filesystem::path playing;
    void PlayLooping(const std::filesystem::path& midiFile) override {
        calls.push_back("play " + midiFile.filename().string());
        playing = midiFile;
    }
    void Stop() override {
        calls.emplace_back("stop");
        playing.clear();
    }
    size_t Plays() const {
        size_t n = 0;
        for (const std::string& c : calls) n += c.starts_with("play ");
        return n;
    }
};

}  // namespace vx::testing
