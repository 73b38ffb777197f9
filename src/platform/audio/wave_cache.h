// Sound effect files decoded once and converted to the mixer's format (interleaved
// stereo float at the device rate), kept for the whole run. A file that cannot be
// played is remembered as such and reported once.
#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "platform/audio/once_reporter.h"

namespace vx::audio {

using EffectSamples = std::vector<float>;  // interleaved stereo frames

class WaveCache {
  public:
    WaveCache(int sampleRate, OnceReporter& reporter) : sampleRate_(sampleRate), reporter_(reporter) {}

    // The decoded effect, or null when the file is missing or not a WAV SDL can read.
    std::shared_ptr<const EffectSamples> Get(const std::filesystem::path& path);

  private:
    std::shared_ptr<const EffectSamples> Decode(const std::filesystem::path& path, std::string& error) const;

    int sampleRate_;
    OnceReporter& reporter_;
    std::mutex mutex_;
    std::map<std::string, std::shared_ptr<const EffectSamples>> loaded_;
};

}  // namespace vx::audio
