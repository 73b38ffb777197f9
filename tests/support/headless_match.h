// A headless match for tests and benchmarks: N frames of StepMatchFrame (the match
// loop's frame without the erasing and drawing of moving things) on any stage and in
// either mode, with a seeded random source, scripted or random keys, and the stage's
// capsules or one item kind held in force. Header-only so that bench/ can use it
// without the test support library.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <random>

#include "core/game.h"
#include "core/match_records.h"
#include "match/match_loop.h"
#include "platform/program_files.h"
#include "platform/random.h"
#include "platform/silent_services.h"
#include "stage/match_setup.h"

namespace vx::testing {

// An item kind held in force for the whole match (0: none), as after a capsule: the kind
// is recorded as current (which is what the speed limits read) and Double's one change,
// a second puck slot, is made.
inline void HoldItemInForce(uint8_t kind, MatchRecords& r) {
    if (kind == 0) return;
    r.item.kind = kind;
    r.item.phase = item_phase::kEffect;
    r.item.timer = INT16_MAX;
    r.item.owner = 1;
    if (kind == item_kind::kDouble) r.pucks.count = std::max<uint8_t>(r.pucks.count, 2);
}

struct HeadlessOptions {
    uint8_t stage = 1;
    uint8_t mode = game_mode::kVsCpu;
    uint8_t difficulty = 35;  // 65 easy, 35 normal, 10 hard
    uint64_t seed = 1;
    bool randomKeys = false;  // random player 1 keys (and player 2 in 1P VS 2P)
    uint8_t forcedItem = 0;   // 0: the stage's capsules come and go; else that kind held in force
};

class HeadlessMatch {
  public:
    // Sets KeyFlags before a frame's paddle move; frame counts from 0.
    using KeyScript = std::function<void(std::array<bool, 4>& keyFlags, int frame)>;

    explicit HeadlessMatch(const HeadlessOptions& options)
        : options_(options),
          random_(options.seed, [] { return uint64_t{0x5eed}; }),
          files_(std::filesystem::temp_directory_path()),
          keyRandom_(options.seed ^ 0x9e3779b97f4a7c15ULL) {
        game_ = std::make_unique<Game>(GamePlatform{random_, files_, noWindow_, noEffects_, noMusic_});
        Game& g = *game_;
        g.GameMode = options.mode;
        g.StageNo = options.stage;
        g.Difficulty = options.difficulty;
        g.Options.Set(Switch::kEffects, false);
        g.ScreenState = screen_state::kPlaying;
        SetUpMatchState(g, r_, options.stage, options.seed);
        HoldItemInForce(options.forcedItem, r_);
    }

    Game& g() { return *game_; }
    MatchRecords& r() { return r_; }
    const MatchRecords& r() const { return r_; }
    MixingRandom& random() { return random_; }
    int frame() const { return frame_; }

    void SetKeyScript(KeyScript script) { keyScript_ = std::move(script); }

    // One frame of the match loop, without its erasing and drawing.
    void RunFrame() {
        Game& g = *game_;
        if (keyScript_)
            keyScript_(g.KeyFlags, frame_);
        else if (options_.randomKeys)
            RandomKeys();
        StepMatchFrame(g, r_, g.GameMode);
        ++frame_;
    }

    void Run(int frames) {
        for (int i = 0; i < frames; ++i) RunFrame();
    }

  private:
    // Each side holds a random choice (nothing, up, down, both) for a few frames.
    void RandomKeys() {
        auto& keys = game_->KeyFlags;
        auto hold = [&](bool& up, bool& down, int& framesLeft) {
            if (framesLeft-- > 0) return;
            const auto choice = keyRandom_() % 4;
            up = static_cast<bool>(choice == 1 || choice == 3);
            down = static_cast<bool>(choice == 2 || choice == 3);
            framesLeft = static_cast<int>(keyRandom_() % 12);
        };
        hold(keys[0], keys[1], holdLeft_[0]);
        if (options_.mode == game_mode::kVs2P) hold(keys[3], keys[2], holdLeft_[1]);
    }

    HeadlessOptions options_;
    MixingRandom random_;
    ProgramFiles files_;
    NullHost noWindow_;
    SilentWavePlayer noEffects_;
    SilentSequencer noMusic_;
    std::unique_ptr<Game> game_;
    MatchRecords r_;
    std::mt19937_64 keyRandom_;
    int holdLeft_[2] = {0, 0};
    KeyScript keyScript_;
    int frame_ = 0;
};

}  // namespace vx::testing
