// Game: the program's whole state in one object, so that tests can make fresh
// instances. Settings fields, the match variables, the saved copies of a paused match,
// the menu model, the platform services the game reaches the outside through and the
// flow that runs what takes time.
#pragma once

#include <array>
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "core/arith.h"
#include "core/flow.h"
#include "core/frame_marks.h"
#include "core/geometry.h"
#include "core/match_records.h"
#include "core/menu_model.h"
#include "core/options_table.h"
#include "core/stage_tables.h"
#include "platform/host.h"
#include "platform/picture_file.h"
#include "platform/program_files.h"
#include "platform/random.h"
#include "platform/sequencer.h"
#include "platform/settings_file.h"
#include "platform/surface.h"
#include "platform/wave_player.h"

namespace vx {

class MatchFrameSource;

namespace screen_state {
constexpr uint8_t kTitle = 1;
constexpr uint8_t kStageSelect = 2;
constexpr uint8_t kWaiting = 3;
constexpr uint8_t kPlaying = 4;
constexpr uint8_t kResult = 5;
constexpr uint8_t kPaused = 6;
constexpr uint8_t kIntro = 7;
constexpr uint8_t kResumeRequested = 8;
constexpr uint8_t kBusy = 10;
}  // namespace screen_state

namespace game_mode {
constexpr uint8_t kVsCpu = 1;  // 1P VS CPU
constexpr uint8_t kVs2P = 2;   // 1P VS 2P
}  // namespace game_mode

namespace match_request {
constexpr uint8_t kNone = 0;
constexpr uint8_t kPause = 1;
constexpr uint8_t kOver = 5;
}  // namespace match_request

constexpr Box kLinePictSize = LinePictureSize(LinePicture::kLinePict);
constexpr Box kSt3Size = LinePictureSize(LinePicture::kSt3);
static_assert(kSt3Size.w <= kLinePictSize.w && kSt3Size.h <= kLinePictSize.h, "LMask holds either mask");

// Every service a Game reaches the outside through, given at its construction and kept
// for its life. A game without a window or sound gets the stand-ins of
// platform/silent_services.h; main.cpp is the one place that wires the real ones.
struct GamePlatform {
    Random& random;
    ProgramFiles& files;
    Host& host;
    WavePlayer& wavePlayer;
    Sequencer& sequencer;
};

// The keys of the match in play, frame by frame: recorded for its replay file, or fed
// from a replay being watched.
struct MatchKeyLog {
    enum class Mode : uint8_t { kOff, kRecording, kWatching };
    Mode mode = Mode::kOff;
    std::vector<uint8_t> keys;               // one entry a frame: bit i set when KeyFlags[i] was held
    uint64_t seed = 0;                       // the seed of a replay being watched
    int16_t timeLimit = 0;                   // the time the recorded match's clock started from
    int64_t date = 0;                        // when the recorded match began, seconds since the epoch
    uint64_t lastHash = 0;                   // MatchStateHash after the last frame played
    bool ranOut = false;                     // a watched replay ended before its match did
    std::array<uint8_t, 31> savedOptions{};  // the settings record before a replay took over
    std::filesystem::path lastWritten;       // the newest replay file written
};

struct Game {
    explicit Game(GamePlatform platform);

    // --- saved in the 31-byte record: the player's options and three fields of the game ---
    OptionSet Options;  // the menu's choices; its check marks are drawn from it
    uint8_t GameMode = game_mode::kVsCpu;
    uint8_t StageNo = 1;
    uint8_t ScreenState = screen_state::kTitle;

    // --- the rules of the match to play or in play: the options' (UseOptionsForMatch),
    // or those of a replay or of the host of a network match ---
    uint8_t RuleKind = Options.rule;
    int16_t TimeLimit = Options.Value(Choice::kTime);
    int16_t ScoreLimit = Options.Value(Choice::kScore);
    uint8_t Difficulty = static_cast<uint8_t>(Options.Value(Choice::kDifficulty));
    int16_t TimeLeft = TimeLimit;  // the match's clock, in seconds, counting down from TimeLimit

    // --- the match ---
    std::array<uint8_t, 2> Scores{};
    KeyFlagSet KeyFlags{};
    uint8_t MatchRequest = match_request::kNone;
    int64_t FrameStart = 0;  // ms; 64-bit so that the clock never wraps
    uint8_t ClockTick = 0;
    bool ClockChanged = false;  // the clock counted a second this frame; the drawing shows it
    std::array<Rect, 3> BlindAreas{};
    bool SimulationFlag = false;
    CornerPostSet CornerPosts;
    MatchRecords Saved;       // written on pause, read on resume
    uint32_t FrameCount = 0;  // frames played since the match was set up (kept over a pause)
    // The match's 64-bit seed. While MatchSeeded, reseeding the generator stirs in the
    // seed and FrameCount instead of the time, so the match is a function of its inputs.
    uint64_t MatchSeed = 0;
    bool MatchSeeded = false;
    MatchKeyLog KeyLog;
    // Set while a network match is connected: it sets up and steps the matches.
    MatchFrameSource* frameSource = nullptr;
    std::filesystem::path ReplayFolder;  // where replays are written; empty: none are

    // --- drawing surfaces (the main window's picture boxes) ---
    Surface MainPict{kScreenWidth, kScreenHeight};  // the screen
    Surface BackPict{kScreenWidth, kScreenHeight};  // back buffer
    Surface BufPict{kScreenWidth, 426};  // clean background; below y 342 the empty item gauge at (0, 411)
    Surface Pict{832, 806};              // sprite sheet
    Surface Mask{832, 806};              // its mask
    Surface LinePict{kLinePictSize.w, kLinePictSize.h};  // line drawings and thumbnails (stage table)
    Surface St3{kSt3Size.w, kSt3Size.h};                 // the St3 line drawing
    Surface LMask{kLinePictSize.w,
                  kLinePictSize.h};  // mask of LinePict or St3; scratch for the 400 x 50 panel strip
    Surface Mas{512, 30};            // the screen transition's pattern
    FrameMarks frameMarks;           // the paddles and gauge as the last frame of local play left them

    // --- the screens' buttons, numbered 1..kMenuButtonCount (entry 0 unused) ---
    std::array<MenuButton, kMenuButtonCount + 1> MenuButtons{};

    // --- the front end ---
    bool MouseHeld = false;    // a mouse button is down over MainPict; hover redraws wait
    std::string FatalMessage;  // why the program stopped early (a picture it could not read)

    // --- music ---
    std::string MusicPath;
    bool MusicPlaying = false;

    // --- the window's menu bar, as data ---
    MenuModel Menu;

    // --- platform ---
    Host& host;
    Random& random;
    ProgramFiles& files;
    SettingsFile settingsFile;
    PictureLoader pictureLoader;
    WavePlayer& wavePlayer;
    Sequencer& sequencer;

    // --- the flow: the steps that take time, run by the host's ticks (after host) ---
    Flow flow{*this};
};

// The generator's reseed before a serve direction or a bumper rebound: the match seed
// and the frame number during a match, the time of day otherwise.
void ReseedRandom(Game& g);
// Starts the generator of a match from seed; from here on ReseedRandom is reproducible.
void SeedMatchRandom(Game& g, uint64_t seed);
// Outside a match the reseeds take the time of day again.
void EndMatchRandom(Game& g);

}  // namespace vx
