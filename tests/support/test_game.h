// A fresh Game for tests: its own temporary program folder, and the user's config folder
// (XDG_CONFIG_HOME) moved into that folder, so no test reads or writes the developer's
// own options.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>

#include "core/game.h"
#include "platform/program_files.h"
#include "platform/random.h"
#include "platform/silent_services.h"

namespace vx::testing {

// Makes a unique empty folder under the system's temp dir and removes it afterwards.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& Path() const { return path_; }

  private:
    std::filesystem::path path_;
};

// Points XDG_CONFIG_HOME at a folder while it lives and puts the old value back after.
class ScopedConfigHome {
  public:
    explicit ScopedConfigHome(const std::filesystem::path& folder);
    ~ScopedConfigHome();
    ScopedConfigHome(const ScopedConfigHome&) = delete;
    ScopedConfigHome& operator=(const ScopedConfigHome&) = delete;

  private:
    std::optional<std::string> old_;
};

// Owns the platform pieces a Game needs; program folder with an empty dat/. The options
// go to dat/Sysdata.rnd, or to UserSettings() when the game falls back to the user's folder.
// Given no services, the game has no window and no sound; services given must outlive it.
struct TestGame {
    explicit TestGame(uint64_t seed = 1);
    explicit TestGame(Random& steered);  // a random source the test steers
    TestGame(uint64_t seed, Host& host, WavePlayer& wavePlayer, Sequencer& sequencer);
    TempFolder folder;
    ScopedConfigHome configHome{folder.Path()};
    MixingRandom random;
    ProgramFiles files;
    NullHost noWindow;
    SilentWavePlayer noEffects;
    SilentSequencer noMusic;
    std::unique_ptr<Game> game;
    Game& g() { return *game; }
    std::filesystem::path DatSettings() const { return folder.Path() / "dat" / "Sysdata.rnd"; }
    std::filesystem::path UserSettings() const { return folder.Path() / "voltrax" / "Sysdata.rnd"; }
    // A new game on the same folder and random source with these services (the old
    // game's state is dropped), for tests whose services are made after the TestGame.
    Game& Remake(Host& host, WavePlayer& wavePlayer, Sequencer& sequencer);

  private:
    Random* steered_ = nullptr;
};

}  // namespace vx::testing
