// The long soak: whole matches through RunMatch on the headless host, over every stage,
// both modes and every item held in force in turn, the computer (or a second scripted
// player) against a scripted player, for a given number of minutes. One Game lives for
// the whole run, so anything it keeps growing shows in the resident memory printed
// every minute.
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <random>
#include <string>

#include "core/game.h"
#include "draw/menu_buttons.h"
#include "match/key_input.h"
#include "match/match_loop.h"
#include "platform/headless_host.h"
#include "puck/items.h"
#include "support/match_harness.h"
#include "support/test_game.h"

namespace {

using namespace vx;

class CountingWaves : public WavePlayer {
  public:
    void PlayWave(const std::filesystem::path&, bool) override { ++plays; }
    uint64_t plays = 0;
};

class CountingSequencer : public Sequencer {
  public:
    void PlayLooping(const std::filesystem::path&) override { ++commands; }
    void Stop() override { ++commands; }
    uint64_t commands = 0;
};

long ResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmRSS:", 0) == 0) return std::strtol(line.c_str() + 6, nullptr, 10);
    }
    return -1;
}

struct Tally {
    uint64_t matches = 0;
    uint64_t frames = 0;
    uint64_t goals = 0;
    uint64_t unfinished = 0;
};

// Player 1 (and player 2 in 1P VS 2P) hold up, nothing or down for a seeded number of
// frames, over the whole of a match's possible length.
void ScriptPlayers(HeadlessHost& host, Game& g, int64_t startMs, std::mt19937_64& rng) {
    struct Side {
        int16_t up, down;
    };
    const Side sides[2] = {{key_code::kA, key_code::kZ}, {key_code::kCloseBracket, key_code::kOem102}};
    const int64_t endMs = startMs + 200'000;  // past the longest match and its end sequence
    for (int s = 0; s < g.GameMode; ++s) {
        for (int64_t t = startMs; t < endMs;) {
            const int16_t code = rng() % 2 == 0 ? sides[s].up : sides[s].down;
            const int64_t holdMs = 34 * static_cast<int64_t>(3 + rng() % 25);
            host.At(t, [&g, code] { DecideKeyDown(g.KeyFlags, g.ScreenState, g.GameMode, code); });
            host.At(t + holdMs, [&g, code] { DecideKeyUp(g.KeyFlags, g.ScreenState, code); });
            t += holdMs + 34 * static_cast<int64_t>(rng() % 10);
        }
    }
}

// Holds kind in force all match for player owner, as an awarded capsule would.
void ForceItem(Game& g, MatchRecords& r, uint8_t kind, int16_t owner) {
    r.item.kind = kind;
    r.item.owner = owner;
    r.item.phase = item_phase::kEffect;
    r.item.timer = INT16_MAX;
    ApplyItem(g, r.pucks, r.paddles, r.sprites, kind, owner, true);
}

// One whole match; kind 0 leaves the items to chance.
void PlayMatch(Game& g, HeadlessHost& host, uint8_t stage, uint8_t mode, uint8_t kind, uint64_t n,
               std::mt19937_64& rng, Tally& t) {
    host.Restart(static_cast<int64_t>(n) * 1'000'000);
    g.GameMode = mode;
    g.StageNo = stage;
    g.Difficulty = n % 3 == 0 ? 65 : (n % 3 == 1 ? 35 : 10);
    g.RuleKind = n % 4 == 3 ? rule_kind::kScore : rule_kind::kTime;
    g.TimeLeft = 120;
    g.ScoreLimit = 10;
    g.Scores = {0, 0};
    g.KeyFlags = {};
    g.MatchRequest = match_request::kNone;
    g.ScreenState = screen_state::kWaiting;
    testing::PaintTable(g);

    const int64_t start = host.NowMs();
    if (kind != 0) {
        // Pause at the first frame, force the item on the saved records, resume.
        host.At(start + testing::PlayFrameStartMs(0), [&g] { RequestPause(g); });
        RunMatch(g, g.GameMode, g.StageNo);
        host.Run();
        if (g.ScreenState != screen_state::kPaused) {
            std::fprintf(stderr, "match %llu did not pause\n", static_cast<unsigned long long>(n));
            std::exit(1);
        }
        ForceItem(g, g.Saved, kind, n % 2 == 0 ? -1 : 1);
        g.MatchRequest = match_request::kNone;
        g.ScreenState = screen_state::kResumeRequested;
    }
    ScriptPlayers(host, g, host.NowMs(), rng);
    host.At(host.NowMs() + 400'000, [&host] { host.EndProgram(); });  // a watchdog, never reached
    RunMatch(g, g.GameMode, g.StageNo);
    host.Run();
    ++t.matches;
    t.frames += g.FrameCount;
    t.goals += g.Scores[0] + g.Scores[1];
    if (g.ScreenState != screen_state::kResult) {
        ++t.unfinished;
        std::fprintf(stderr, "match %llu (stage %d mode %d item %d) ended in state %d\n",
                     static_cast<unsigned long long>(n), stage, mode, kind, g.ScreenState);
    }
}

}  // namespace

int main(int argc, char** argv) {
    const double minutes = argc > 1 ? std::atof(argv[1]) : 30.0;
    HeadlessHost host;
    host.KeepPresented(false);
    CountingWaves waves;
    CountingSequencer sequencer;
    testing::TestGame tg(7, host, waves, sequencer);
    Game& g = tg.g();
    g.Options.Set(Switch::kEffects, true);
    g.Menu.SetChecked(MenuId::MenuMidi, true);
    testing::PaintCodedSheet(g);
    for (uint8_t b = 1; b <= kMenuButtonCount; ++b) InitMenuButton(g, b);

    std::mt19937_64 rng(2026);
    Tally t;
    using Clock = std::chrono::steady_clock;
    const auto begin = Clock::now();
    const auto end = begin + std::chrono::duration<double, std::ratio<60>>(minutes);
    auto nextReport = begin;
    int minute = 0;
    std::printf("minute  matches  frames      goals    VmRSS(kB)\n");
    for (uint64_t n = 0;; ++n) {
        const auto now = Clock::now();
        if (now >= nextReport) {
            std::printf("%6d  %7llu  %10llu  %7llu  %9ld\n", minute++,
                        static_cast<unsigned long long>(t.matches), static_cast<unsigned long long>(t.frames),
                        static_cast<unsigned long long>(t.goals), ResidentKb());
            std::fflush(stdout);
            nextReport += std::chrono::minutes(1);
        }
        if (now >= end) break;
        // Every combination of stage, mode and item in turn: 5 x 2 x 10.
        const uint8_t stage = static_cast<uint8_t>(1 + n % 5);
        const uint8_t mode = static_cast<uint8_t>(game_mode::kVsCpu + (n / 5) % 2);
        const uint8_t kind = static_cast<uint8_t>((n / 10) % 10);
        PlayMatch(g, host, stage, mode, kind, n, rng, t);
    }
    const double secs = std::chrono::duration<double>(Clock::now() - begin).count();
    std::printf(
        "done: %.0f s, %llu matches, %llu frames, %llu goals, %llu unfinished, %llu effects, %llu music "
        "commands, final VmRSS %ld kB\n",
        secs, static_cast<unsigned long long>(t.matches), static_cast<unsigned long long>(t.frames),
        static_cast<unsigned long long>(t.goals), static_cast<unsigned long long>(t.unfinished),
        static_cast<unsigned long long>(waves.plays), static_cast<unsigned long long>(sequencer.commands),
        ResidentKb());
    return t.unfinished == 0 ? 0 : 1;
}
