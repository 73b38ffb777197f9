#include "support/test_game.h"

#include <unistd.h>

#include <atomic>
#include <cstdlib>

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

ScopedConfigHome::ScopedConfigHome(const fs::path& folder) {
    if (const char* was = std::getenv("XDG_CONFIG_HOME")) old_ = was;
    ::setenv("XDG_CONFIG_HOME", folder.c_str(), 1);
}

ScopedConfigHome::~ScopedConfigHome() {
    if (old_)
        ::setenv("XDG_CONFIG_HOME", old_->c_str(), 1);
    else
        ::unsetenv("XDG_CONFIG_HOME");
}

TestGame::TestGame(uint64_t seed) : TestGame(seed, noWindow, noEffects, noMusic) {}

TestGame::TestGame(Random& steered) : random(1, [] { return uint64_t{12345}; }), files(folder.Path()) {
    steered_ = &steered;
    fs::create_directories(folder.Path() / "dat");
    Remake(noWindow, noEffects, noMusic);
}

TestGame::TestGame(uint64_t seed, Host& host, WavePlayer& wavePlayer, Sequencer& sequencer)
    : random(seed, [] { return uint64_t{12345}; }), files(folder.Path()) {
    fs::create_directories(folder.Path() / "dat");
    Remake(host, wavePlayer, sequencer);
}

Game& TestGame::Remake(Host& host, WavePlayer& wavePlayer, Sequencer& sequencer) {
    game = std::make_unique<Game>(
        GamePlatform{steered_ != nullptr ? *steered_ : random, files, host, wavePlayer, sequencer});
    return *game;
}

}  // namespace vx::testing
