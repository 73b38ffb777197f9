#include "match/match_loop.h"

#include "core/game.h"
#include "core/match_frame_source.h"
#include "core/wait_rule.h"
#include "draw/match_frame.h"
#include "draw/messages.h"
#include "draw/sprite_blit.h"
#include "match/match_events_output.h"
#include "match/replay_recorder.h"
#include "match/rules.h"
#include "sim/match_step.h"
#include "sound/effects.h"
#include "sound/music.h"
#include "stage/match_setup.h"

namespace vx {

namespace {

// The intro's pictures of the first frame; each counts the clock as a frame does.
void DrawIntroFrame(Game& g, MatchRecords& r) {
    // A network match counted these when it was set up (its first saved state has them).
    if (g.frameSource == nullptr) CountFrameClock(g);
    DrawFrame(g, r.pucks, r.paddles, r.item, r.sprites);
}

// The table without the intro's words.
void RestoreField(Game& g) {
    RestoreRect(g, 66, 61, 380, 220, 66, 61);
}

// Setup, then "Ready" and "Go!" over the first picture. False when the program is ending.
bool StartNewMatch(Game& g, MatchRecords& r, uint8_t stageNo) {
    if (g.frameSource == nullptr) {
        const bool watching = g.KeyLog.mode == MatchKeyLog::Mode::kWatching;
        SetUpMatchState(g, r, stageNo, watching ? g.KeyLog.seed : DrawMatchSeed(g));
        BeginMatchLog(g);
    }
    g.ScreenState = screen_state::kIntro;
    DrawIntroFrame(g, r);
    if (!WaitMs(g, match_timing::kIntroFirstWaitMs)) return false;
    ShowMessage(g, "Ready");
    PlayEffect(g, effect::kReady, effect_mode::kStart);
    if (!WaitMs(g, match_timing::kReadyWaitMs)) return false;
    RestoreField(g);
    DrawIntroFrame(g, r);
    ShowMessage(g, "Go!");
    if (!WaitMs(g, match_timing::kGoWaitMs)) return false;
    RestoreField(g);
    DrawIntroFrame(g, r);
    return true;
}

}  // namespace

void SetUpMatchState(Game& g, MatchRecords& r, uint8_t stageNo, uint64_t seed) {
    SeedMatchRandom(g, seed);
    SpareRects spare{};
    r = MatchRecords{};
    SetupMatch(g, r.pucks, r.paddles, r.obstacles, r.sprites, r.item, spare, stageNo);
    g.FrameCount = 0;
}

uint64_t DrawMatchSeed(Game& g) {
    g.random.Randomize();
    return g.random.NextBits64();
}

MatchEvents StepMatchFrame(Game& g, MatchRecords& r, uint8_t gameMode, const KeyFlagSet& keys) {
    const MatchEvents events = StepMatch(g, r, gameMode, keys);
    CountFrameClock(g);
    ++g.FrameCount;
    return events;
}

MatchEvents StepMatchFrame(Game& g, MatchRecords& r, uint8_t gameMode) {
    return StepMatchFrame(g, r, gameMode, g.KeyFlags);
}

void PlayFrame(Game& g, MatchRecords& r, uint8_t gameMode) {
    EraseFrame(g, r.pucks, r.paddles, r.item, r.sprites);
    const MatchEvents events = StepMatchFrame(g, r, gameMode);
    OutputMatchEvents(g, events, event_output::kAll);
    DrawFrame(g, r.pucks, r.paddles, r.item, r.sprites);
}

void RequestPause(Game& g) {
    if (g.ScreenState == screen_state::kPlaying) g.MatchRequest = match_request::kPause;
}

void RunMatch(Game& g, uint8_t& gameMode, uint8_t& stageNo) {
    g.Menu.SetEnabled(MenuId::MenuPause, true);
    g.host.SetMousePointer(MousePointer::Invisible);

    struct Depth {
        Game& g;
        explicit Depth(Game& game) : g(game) { ++g.MatchLoopDepth; }
        ~Depth() { --g.MatchLoopDepth; }
    } depth(g);
    MatchFrameSource* const source = g.frameSource;
    const bool resuming = g.ScreenState == screen_state::kResumeRequested;
    if (source != nullptr && !resuming) source->BeginMatch(g);
    MatchRecords own;
    // A network match keeps its own records, which its rollback restores.
    MatchRecords& r = source != nullptr ? source->Records() : own;
    if (resuming) {
        if (source == nullptr)
            r = g.Saved;
        else
            source->Resumed(g);
    } else if (!StartNewMatch(g, r, stageNo)) {
        return;
    }
    // A resumed match starts its music from the beginning.
    if (MusicWanted(g)) StartMusic(g, Tune::kMatch);
    g.ScreenState = screen_state::kPlaying;

    for (;;) {
        g.FrameStart = g.host.NowMs();
        if (!LetEventsRun(g)) return;
        if (source != nullptr) {
            if (!source->PlayTurn(g)) {
                source->MatchEnded(g, false);
                StopMusic(g);
                g.ScreenState = screen_state::kBusy;
                g.MatchRequest = match_request::kOver;
                EndMatchRandom(g);
                return;
            }
            // The end of a network match waits until both sides agree on it.
            if (source->EndConfirmed()) {
                if (!CheckMatchEnd(g, r)) return;
                if (g.ScreenState == screen_state::kResult) source->MatchEnded(g, true);
            }
        } else if (!TakeFrameKeys(g)) {
            // A watched replay that ends before its match: nothing more to show.
            StopMusic(g);
            g.ScreenState = screen_state::kBusy;
            g.MatchRequest = match_request::kOver;
            EndMatchRandom(g);
            return;
        } else {
            PlayFrame(g, r, gameMode);
            NoteFrameDone(g, r);
            const int16_t result = DecidedResult(g);
            if (!CheckMatchEnd(g, r)) return;
            if (g.ScreenState == screen_state::kResult) FinishReplay(g, result);
        }
        // The end sequence's own waits moved FrameStart on, so after it this wait is over
        // at once and the result screen follows without a frame's delay.
        if (!g.host.WaitPast(g.FrameStart + match_timing::kFramePeriodMs)) return;
        // A pause is seen only here, so the paused picture is always a complete frame.
        if (g.MatchRequest == match_request::kPause) {
            g.Saved = r;
            if (source != nullptr) source->Paused(g);
            g.ScreenState = screen_state::kPaused;
            StopMusic(g);
            break;
        }
        if (g.MatchRequest == match_request::kOver) break;
    }

    if (g.ScreenState == screen_state::kResult) {
        EndMatchRandom(g);
        SwitchToOpeningMusic(g);
    }
}

}  // namespace vx
