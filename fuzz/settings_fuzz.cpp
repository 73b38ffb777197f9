// Fuzz target: any bytes as the settings file. Whatever the file holds, the options
// that come out of it are ones the menus can show, and saving them and reading them
// back changes nothing.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <span>

#include "core/game.h"
#include "core/match_settings.h"
#include "frontend/sys_data.h"
#include "platform/program_files.h"
#include "platform/random.h"
#include "platform/silent_services.h"

namespace {

using namespace vx;

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "settings fuzz: %s\n", what);
    std::abort();
}

Game& TheGame() {
    static MixingRandom random(1, [] { return uint64_t{1}; });
    static ProgramFiles files(std::filesystem::temp_directory_path());
    static NullHost noWindow;
    static SilentWavePlayer noEffects;
    static SilentSequencer noMusic;
    static Game g(GamePlatform{random, files, noWindow, noEffects, noMusic});
    return g;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    Game& g = TheGame();
    DecodeSettings(std::span<const uint8_t>(data, size), g);

    for (size_t k = 0; k < kChoiceCount; ++k)
        Check(g.Options.chosen[k] < kChoiceItems, "a choice names no menu item");
    Check(match_settings::IsRule(g.Options.rule), "the rule is out of range");
    Check(!match_settings::Check(match_settings::FromOptions(g.Options, g.StageNo)),
          "the options give a match the menus cannot show");
    Check(g.GameMode == game_mode::kVsCpu || g.GameMode == game_mode::kVs2P, "GameMode out of range");
    const uint8_t s = g.ScreenState;
    Check(s == 1 || s == 2 || s == 3 || s == 4 || s == 5 || s == 6 || s == 7 || s == 8 || s == 10,
          "ScreenState not one of its values");

    // Saving what was read and reading it back is the identity.
    const SettingsRecord once = EncodeSettings(g);
    DecodeSettings(once, g);
    Check(EncodeSettings(g) == once, "a saved record reads back differently");
    return 0;
}
