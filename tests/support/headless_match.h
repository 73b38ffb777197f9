// A headless match for tests and benchmarks: N frames of the per-frame order (paddles
// from keys, the CPU in 1P VS CPU, three puck steps, the serve, and the frame drawing's
// freeing of burst slots) on any stage and in either mode, with a seeded random
// source, scripted or random keys, and items off or one kind forced on. Header-only so
// that bench/ can use it without the test support library.
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
#include "paddles/cpu_opponent.h"
#include "paddles/paddle_movement.h"
#include "platform/program_files.h"
#include "platform/random.h"
#include "puck/puck_motion.h"
#include "stage/match_setup.h"

namespace vx::testing {

struct HeadlessOptions {
    uint8_t stage = 1;
    uint8_t mode = 1;         // 1 1P VS CPU, 2 1P VS 2P
    uint8_t difficulty = 35;  // 65 easy, 35 normal, 10 hard
    uint64_t seed = 1;
    bool randomKeys = false;  // random player 1 keys (and player 2 in 1P VS 2P)
    uint8_t forcedItem = 0;   // 0: items off; else that kind held in force all match
};

class HeadlessMatch {
  public:
    // Sets KeyFlags before a frame's paddle move; frame counts from 0.
    using KeyScript = std::function<void(std::array<Bool16, 4>& keyFlags, int frame)>;

    explicit HeadlessMatch(const HeadlessOptions& options)
        : options_(options),
          random_(options.seed, [] { return uint64_t{0x5eed}; }),
          files_(std::filesystem::temp_directory_path()),
          keyRandom_(options.seed ^ 0x9e3779b97f4a7c15ULL) {
        game_ = std::make_unique<Game>(GamePlatform{random_, files_});
        Game& g = *game_;
        g.GameMode = options.mode;
        g.StageNo = options.stage;
        g.Difficulty = options.difficulty;
        g.EffectsOn = kFalse;
        g.ScreenState = screen_state::kPlaying;
        SetupMatch(g, r_.pucks, r_.paddles, r_.obstacles, r_.sprites, r_.item, spare_, options.stage);
        if (options.forcedItem != 0) ForceItem(options.forcedItem);
    }

    Game& g() { return *game_; }
    MatchRecords& r() { return r_; }
    const MatchRecords& r() const { return r_; }
    MixingRandom& random() { return random_; }
    int frame() const { return frame_; }

    void SetKeyScript(KeyScript script) { keyScript_ = std::move(script); }

    // One frame in the match loop's order; the drawing itself is left out.
    void RunFrame() {
        Game& g = *game_;
        if (keyScript_)
            keyScript_(g.KeyFlags, frame_);
        else if (options_.randomKeys)
            RandomKeys();
        MovePaddlesFromKeys(g, r_.paddles);
        if (g.GameMode == 1)
            CpuTurn(g, r_.pucks, r_.paddles, r_.obstacles, g.Difficulty, r_.sprites, r_.item);
        for (int step = 0; step < 3; ++step) StepPucks(g, r_.pucks, r_.paddles, r_.obstacles, r_.item);
        ServePucks(g, r_.pucks);
        FreeBurstSlots();
        ++frame_;
    }

    void Run(int frames) {
        for (int i = 0; i < frames; ++i) RunFrame();
    }

  private:
    // The hook for effects written elsewhere: the kind is recorded as current (which is
    // what the speed limits read) and Double's one change, a second puck slot, is made.
    void ForceItem(uint8_t kind) {
        r_.item.kind = kind;
        r_.item.phase = 2;
        r_.item.timer = INT16_MAX;
        r_.item.owner = 1;
        if (kind == item_kind::kDouble) r_.pucks.count = std::max<uint8_t>(r_.pucks.count, 2);
    }

    // As the frame drawing does: a finished burst frees its slot for the next serve.
    void FreeBurstSlots() {
        for (int i = 0; i < r_.pucks.count && i < 3; ++i) {
            Puck& p = r_.pucks.pucks[static_cast<size_t>(i)];
            if (p.state >= puck_state::kBurstDone) {
                p.state = puck_state::kFree;
                p.prevBounds = p.bounds;
            }
        }
    }

    // Each side holds a random choice (nothing, up, down, both) for a few frames.
    void RandomKeys() {
        auto& keys = game_->KeyFlags;
        auto hold = [&](Bool16& up, Bool16& down, int& framesLeft) {
            if (framesLeft-- > 0) return;
            const auto choice = keyRandom_() % 4;
            up = ToBool16(choice == 1 || choice == 3);
            down = ToBool16(choice == 2 || choice == 3);
            framesLeft = static_cast<int>(keyRandom_() % 12);
        };
        hold(keys[0], keys[1], holdLeft_[0]);
        if (options_.mode == 2) hold(keys[3], keys[2], holdLeft_[1]);
    }

    HeadlessOptions options_;
    MixingRandom random_;
    ProgramFiles files_;
    std::unique_ptr<Game> game_;
    MatchRecords r_;
    SpareRects spare_{};
    std::mt19937_64 keyRandom_;
    int holdLeft_[2] = {0, 0};
    KeyScript keyScript_;
    int frame_ = 0;
};

}  // namespace vx::testing
