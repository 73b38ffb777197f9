#include "match/match_loop.h"

#include <algorithm>
#include <memory>

#include "core/game.h"
#include "core/match_frame_source.h"
#include "draw/match_frame.h"
#include "draw/messages.h"
#include "draw/sprite_blit.h"
#include "match/match_events_output.h"
#include "match/replay_recorder.h"
#include "match/rules.h"
#include "match/screen_change.h"
#include "sim/match_step.h"
#include "sound/effects.h"
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

// Setup, then "Ready" and "Go!" over the first picture: steps of the flow.
void StartNewMatch(Game& g, MatchRecords& r, uint8_t stageNo) {
    if (g.frameSource == nullptr) {
        const bool watching = g.KeyLog.mode == MatchKeyLog::Mode::kWatching;
        SetUpMatchState(g, r, stageNo, watching ? g.KeyLog.seed : DrawMatchSeed(g));
        BeginMatchLog(g);
    }
    EnterScreen(g, Screen::kIntro);
    DrawIntroFrame(g, r);
    Flow& flow = g.flow;
    flow.WaitMs(match_timing::kIntroFirstWaitMs);
    flow.Do([](Game& g) {
        ShowMessage(g, "Ready");
        PlayEffect(g, effect::kReady, effect_mode::kStart);
    });
    flow.WaitMs(match_timing::kReadyWaitMs);
    flow.Do([&r](Game& g) {
        RestoreField(g);
        DrawIntroFrame(g, r);
        ShowMessage(g, "Go!");
    });
    flow.WaitMs(match_timing::kGoWaitMs);
    flow.Do([&r](Game& g) {
        RestoreField(g);
        DrawIntroFrame(g, r);
    });
}

// One match's loop between its steps: its records and where it ends.
struct MatchRun {
    MatchFrameSource* source = nullptr;
    MatchRecords own;
    MatchRecords* r = nullptr;
    uint8_t* gameMode = nullptr;
};
using MatchRunPtr = std::shared_ptr<MatchRun>;

// The match is over without a result: the network link ended or a watched replay ran
// out of keys. Nothing follows in the loop.
void LeaveWithoutResult(Game& g) {
    EnterScreen(g, Screen::kMatchOver);
    g.MatchRequest = match_request::kOver;
    EndMatchRandom(g);
    g.flow.SetInMatch(false);
}

void FrameStart(Game& g, const MatchRunPtr& run);

// What follows a frame's wait: a pause or the end leaves the loop, else the next frame.
// A pause is seen only here, so the paused picture is always a complete frame.
void AfterFrame(Game& g, const MatchRunPtr& run) {
    if (g.MatchRequest == match_request::kPause) {
        g.Saved = *run->r;
        if (run->source != nullptr) run->source->Paused(g);
        EnterScreen(g, Screen::kPausing);
        g.flow.SetInMatch(false);
        return;
    }
    if (g.MatchRequest == match_request::kOver) {
        g.flow.SetInMatch(false);
        if (g.ScreenState == screen_state::kResult) EndMatchRandom(g);
        return;
    }
    FrameStart(g, run);
}

// The frame's turn after the events of its start: play, the end tests, the frame's wait.
void PlayTurn(Game& g, const MatchRunPtr& run) {
    MatchFrameSource* const source = run->source;
    MatchRecords& r = *run->r;
    if (source != nullptr) {
        if (!source->PlayTurn(g)) {
            source->MatchEnded(g, false);
            LeaveWithoutResult(g);
            return;
        }
        // The end of a network match waits until both sides agree on it.
        if (source->EndConfirmed() && CheckMatchEnd(g, r)) {
            g.flow.Do([source](Game& g) {
                if (g.ScreenState == screen_state::kResult) source->MatchEnded(g, true);
            });
        }
    } else if (!TakeFrameKeys(g)) {
        // A watched replay that ends before its match: nothing more to show.
        LeaveWithoutResult(g);
        return;
    } else {
        PlayFrame(g, r, *run->gameMode);
        NoteFrameDone(g, r);
        const int16_t result = DecidedResult(g);
        if (CheckMatchEnd(g, r)) {
            g.flow.Do([result](Game& g) {
                if (g.ScreenState == screen_state::kResult) FinishReplay(g, result);
            });
        }
    }
    // The end sequence's own waits moved FrameStart on, so after it this wait is over at
    // once and the result screen follows without a frame's delay.
    g.flow.WaitPastFrameStart(match_timing::kFramePeriodMs);
    g.flow.Do([run](Game& g) { AfterFrame(g, run); });
}

// A frame begins: the clock noted, then the events pending now, then its turn.
void FrameStart(Game& g, const MatchRunPtr& run) {
    g.FrameStart = g.host.NowMs();
    g.flow.LetEventsRun();
    g.flow.Do([run](Game& g) { PlayTurn(g, run); });
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
    PaddleRestores later;
    EraseFrame(g, r.pucks, r.paddles, r.item, r.sprites, &later);
    const MatchEvents events = StepMatchFrame(g, r, gameMode);
    // Events that draw come after the paddles' restores, as they always have.
    if (std::any_of(events.begin(), events.end(),
                    [](const MatchEvent& e) { return e.kind != MatchEvent::Kind::kSound; }))
        MakePaddleRestores(g, later);
    OutputMatchEvents(g, events, event_output::kAll);
    DrawFrame(g, r.pucks, r.paddles, r.item, r.sprites, &later);
}

void RequestPause(Game& g) {
    if (g.frameSource != nullptr && !g.frameSource->MayPause()) return;
    if (g.ScreenState == screen_state::kPlaying) g.MatchRequest = match_request::kPause;
}

void RunMatch(Game& g, uint8_t& gameMode, uint8_t& stageNo) {
    g.flow.Do([&gameMode, &stageNo](Game& g) {
        g.flow.SetInMatch(true);

        auto run = std::make_shared<MatchRun>();
        run->source = g.frameSource;
        run->gameMode = &gameMode;
        MatchFrameSource* const source = run->source;
        const bool resuming = g.ScreenState == screen_state::kResumeRequested;
        if (source != nullptr && !resuming) source->BeginMatch(g);
        // A network match keeps its own records, which its rollback restores.
        run->r = source != nullptr ? &source->Records() : &run->own;
        if (resuming) {
            if (source == nullptr)
                *run->r = g.Saved;
            else
                source->Resumed(g);
        } else {
            StartNewMatch(g, *run->r, stageNo);
        }
        g.flow.Do([run](Game& g) {
            // A resumed match starts its music from the beginning.
            EnterScreen(g, Screen::kPlaying);
            FrameStart(g, run);
        });
    });
}

}  // namespace vx
