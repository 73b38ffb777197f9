// A fresh Game in a private temporary program folder, for tests.
#pragma once

#include <filesystem>
#include <memory>

#include "core/game.h"
#include "platform/program_files.h"
#include "platform/random.h"

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

// Owns the platform pieces a Game needs; program folder with an empty dat/.
struct TestGame {
    explicit TestGame(uint64_t seed = 1);
    TempFolder folder;
    MixingRandom random;
    ProgramFiles files;
    std::unique_ptr<Game> game;
    Game& g() { return *game; }
};

}  // namespace vx::testing
