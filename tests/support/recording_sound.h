// Sound back-ends that only record what the game asked of them.
#pragma once

#include <deque>
#include <filesystem>
#include <string>
#include <string_view>
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

struct RecordingSequencer : Sequencer {
    std::vector<std::string> commands;
    std::string length = "1000";
    std::string position = "0";
    std::string SendCommand(std::string_view command) override {
        commands.emplace_back(command);
        if (command == "status midifile length") return length;
        if (command == "status midifile position") return position;
        return {};
    }
};

}  // namespace vx::testing
