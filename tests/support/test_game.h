// A fresh Game in a private temporary program folder, for tests.
#pragma once

#include <filesystem>
#include <memory>

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

// Owns the platform pieces a Game needs; program folder with an empty dat/. Given no
// services, the game has no window and no sound; the services given must outlive it.
struct TestGame {
    explicit TestGame(uint64_t seed = 1);
    TestGame(uint64_t seed, Host& host, WavePlayer& wavePlayer, Sequencer& sequencer);
    TempFolder folder;
    MixingRandom random;
    ProgramFiles files;
    NullHost noWindow;
    SilentWavePlayer noEffects;
    SilentSequencer noMusic;
    std::unique_ptr<Game> game;
    Game& g() { return *game; }
    // A new game on the same folder and random source with these services (the old
    // game's state is dropped), for tests whose services are made after the TestGame.
    Game& Remake(Host& host, WavePlayer& wavePlayer, Sequencer& sequencer);
};

}  // namespace vx::testing
