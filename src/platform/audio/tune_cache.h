// Rendered tunes kept on disk between runs, one file per tune under
// $XDG_CACHE_HOME/voltrax/ (~/.cache/voltrax/ without it), named after the tune and
// keyed by a hash of everything the render depends on: the MIDI file's bytes, the
// SoundFont (path, size, modification time), the sample rate and the synth's settings.
// A changed MIDI file or SoundFont misses and is rendered again.
//
// Files are written whole under a temporary name and renamed, so a reader never sees
// half a file. The cache stays small: storing a tune deletes the other files of the
// same tune name (older renders of it), leftovers of interrupted writes, and then the
// oldest files while all of them together exceed kCacheLimitBytes.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "platform/audio/rendered_tune.h"

namespace vx::audio {

constexpr std::uintmax_t kCacheLimitBytes = 256u << 20;

// $XDG_CACHE_HOME/voltrax, else $HOME/.cache/voltrax; empty when neither is set.
std::filesystem::path DefaultTuneCacheFolder();

// What the render of a MIDI file depends on besides its bytes, as one text.
std::string SoundFontIdentity(const std::filesystem::path& soundFont);
uint64_t TuneKey(const std::vector<uint8_t>& midiBytes, const std::string& soundFontIdentity, int sampleRate);

class TuneCache {
  public:
    // An empty folder keeps nothing on disk.
    explicit TuneCache(std::filesystem::path folder) : folder_(std::move(folder)) {}

    const std::filesystem::path& Folder() const { return folder_; }
    // The file a tune name and key are kept in ("opening" -> opening.<key>.vxtune).
    std::filesystem::path FileFor(const std::string& name, uint64_t key) const;

    // The stored render, mapped from its file; null when there is none or it does not
    // hold what its name promises (wrong key, rate, or size).
    std::shared_ptr<const RenderedTune> Load(const std::string& name, uint64_t key, int sampleRate) const;
    // False, with `error` saying why, when the file could not be written.
    bool Store(const std::string& name, uint64_t key, int sampleRate, const RenderedTune& tune,
               std::string& error) const;

  private:
    void Prune(const std::string& name, const std::filesystem::path& kept) const;

    std::filesystem::path folder_;
};

}  // namespace vx::audio
