#include "support/test_game.h"

#include <unistd.h>

#include <atomic>
#include <string>

namespace vx::testing {

namespace fs = std::filesystem;

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    path_ = fs::temp_directory_path() /
            ("voltrax-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    fs::remove_all(path_);
    fs::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

TestGame::TestGame(uint64_t seed) : TestGame(seed, noWindow, noEffects, noMusic) {}

TestGame::TestGame(uint64_t seed, Host& host, WavePlayer& wavePlayer, Sequencer& sequencer)
    : random(seed, [] { return uint64_t{12345}; }), files(folder.Path()) {
    fs::create_directories(folder.Path() / "dat");
    Remake(host, wavePlayer, sequencer);
}

Game& TestGame::Remake(Host& host, WavePlayer& wavePlayer, Sequencer& sequencer) {
    game = std::make_unique<Game>(GamePlatform{random, files, host, wavePlayer, sequencer});
    // The user's own options folder must never leak into a test.
    game->settingsFile = SettingsFile(files, folder.Path() / "config");
    return *game;
}

}  // namespace vx::testing
