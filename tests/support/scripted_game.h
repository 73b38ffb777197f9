// A fresh TestGame driven by a ScriptedRandom, with recording sound, for tests that
// steer each random draw; plus small builders of pucks and stage records.
#pragma once

#include "core/game.h"
#include "platform/silent_services.h"
#include "puck/rebounds.h"
#include "stage/match_setup.h"
#include "support/recording_sound.h"
#include "support/scripted_random.h"
#include "support/test_game.h"

namespace vx::testing {

struct ScriptedGame {
    ScriptedGame() { tg.Remake(tg.noWindow, sound, tg.noMusic); }
    Game& g() { return tg.g(); }

    // Records of a new match on a stage, as the match loop would set them up.
    MatchRecords Setup(uint8_t stage, uint8_t mode = game_mode::kVsCpu) {
        g().GameMode = mode;
        MatchRecords r;
        SpareRects spare{};
        SetupMatch(g(), r.pucks, r.paddles, r.obstacles, r.sprites, r.item, spare, stage);
        return r;
    }

    ScriptedRandom random;
    TestGame tg{random};
    RecordingWavePlayer sound;
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
