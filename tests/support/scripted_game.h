// A fresh Game driven by a ScriptedRandom, with recording sound, for tests that steer
// each random draw; plus small builders of pucks and stage records.
#pragma once

#include <filesystem>
#include <memory>

#include "core/game.h"
#include "platform/silent_services.h"
#include "puck/rebounds.h"
#include "stage/match_setup.h"
#include "support/recording_sound.h"
#include "support/scripted_random.h"
#include "support/test_game.h"

namespace vx::testing {

struct ScriptedGame {
    ScriptedGame() : files(folder.Path()) {
        std::filesystem::create_directories(folder.Path() / "dat");
        game = std::make_unique<Game>(GamePlatform{random, files, noWindow, sound, noMusic});
    }
    Game& g() { return *game; }

    // Records of a new match on a stage, as the match loop would set them up.
    MatchRecords Setup(uint8_t stage, uint8_t mode = game_mode::kVsCpu) {
        g().GameMode = mode;
        MatchRecords r;
        SpareRects spare{};
        SetupMatch(g(), r.pucks, r.paddles, r.obstacles, r.sprites, r.item, spare, stage);
        return r;
    }

    TempFolder folder;
    ScriptedRandom random;
    ProgramFiles files;
    RecordingWavePlayer sound;
    NullHost noWindow;
    SilentSequencer noMusic;
    std::unique_ptr<Game> game;
};

// A live puck at (x, y) hundredths moving (vx, vy) per step.
inline Puck LivePuck(int32_t x, int32_t y, int32_t vx, int32_t vy) {
    Puck p;
    p.x = x;
    p.y = y;
    p.vx = vx;
    p.vy = vy;
    p.state = puck_state::kInPlay;
    p.radius = 6;
    SetPuckBounds(p);
    return p;
}

}  // namespace vx::testing
