#include "frontend/replay_viewer.h"

#include <charconv>
#include <cmath>

#include "core/game.h"
#include "draw/item_panel.h"
#include "draw/match_frame.h"
#include "draw/match_panel.h"
#include "draw/replay_timeline.h"
#include "draw/sprite_blit.h"
#include "match/match_events_output.h"
#include "match/match_loop.h"
#include "match/replay_recorder.h"
#include "match/rules.h"

namespace vx {

using namespace replay_view;

std::optional<uint32_t> StartFrameOfSeconds(std::string_view text) {
    double seconds = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data(), end, seconds, std::chars_format::fixed);
    if (text.empty() || error != std::errc{} || stop != end || !std::isfinite(seconds) || seconds < 0)
        return std::nullopt;
    // Past a day of match time every replay has ended; the clamp keeps the frame in range.
    const double frames = std::round(std::min(seconds, 86400.0) * kFramesPerSecond);
    return static_cast<uint32_t>(frames);
}

ReplayViewer::ReplayViewer(Replay replay, uint32_t startFrame)
    : replay_(std::move(replay)), startFrame_(startFrame) {}

void ReplayViewer::BeginMatch(Game& g) {
    // As the replay check starts it: the panel's zero scores, the setup from the seed,
    // and the clock counted as the intro's three pictures count it.
    g.Scores = {0, 0};
    SetUpMatchState(g, r_, replay_.stageNo, replay_.seed);
    if (g.RuleKind == rule_kind::kTime)
        for (int i = 0; i < kIntroClockCounts; ++i) CountClock(g, g.TimeLeft);
    g.KeyFlags = {};
    frame_ = 0;
    kept_.clear();
    KeepState(g);
    jumpTo_.reset();
    stepsAsked_ = 0;
    quarters_ = 0;
    if (startFrame_ != 0) {
        SeekSilently(g, startFrame_);
        // The intro draws the frame over the clean table; the panel shows its scores.
        DrawScore(g, 0);
        DrawScore(g, 1);
        g.ClockChanged = g.RuleKind == rule_kind::kTime;
        RepaintItemPanel(g, r_.item);
    }
}

bool ReplayViewer::Decided(const Game& g) const {
    return DecidedResult(g) != match_result::kUndecided;
}

void ReplayViewer::KeepState(Game& g) {
    if (frame_ % kSnapshotEvery != 0 || frame_ / kSnapshotEvery != kept_.size()) return;
    MatchState s = CaptureMatchState(g, r_);
    s.KeyFlags = g.KeyFlags;
    kept_.push_back(s);
}

void ReplayViewer::RestoreKept(Game& g, size_t index) {
    const MatchState& s = kept_[index];
    RestoreMatchState(g, r_, s);
    g.KeyFlags = s.KeyFlags;
    frame_ = g.FrameCount;
}

MatchEvents ReplayViewer::StepOneFrame(Game& g) {
    g.KeyFlags = UnpackKeyFlags(replay_.keys[frame_]);
    MatchEvents events = StepMatchFrame(g, r_, g.GameMode, g.KeyFlags);
    frame_ = g.FrameCount;
    KeepState(g);
    return events;
}

void ReplayViewer::SeekSilently(Game& g, uint32_t frame) {
    frame = std::min(frame, Frames());
    if (frame == frame_) return;
    // The nearest kept state at or before the target; stepping on from where the match
    // stands is as good when it lies between the two.
    const size_t index = std::min(static_cast<size_t>(frame / kSnapshotEvery), kept_.size() - 1);
    const uint32_t keptFrame = static_cast<uint32_t>(index) * kSnapshotEvery;
    if (frame < frame_ || keptFrame > frame_) RestoreKept(g, index);
    while (frame_ < frame && !Decided(g)) StepOneFrame(g);
}

void ReplayViewer::JumpBy(int64_t frames) {
    const int64_t from = jumpTo_ ? *jumpTo_ : frame_;
    jumpTo_ = static_cast<uint32_t>(std::clamp<int64_t>(from + frames, 0, Frames()));
}

bool ReplayViewer::ClickAt(int32_t x, int32_t y) {
    const std::optional<uint32_t> frame = TimelineFrameAt(x, y, Frames());
    if (frame) jumpTo_ = *frame;
    return frame.has_value();
}

void ReplayViewer::RedrawEverything(Game& g) {
    // The clean screen, then everything the frames drew one by one, from the state.
    RestoreRect(g, 0, 0, kScreenWidth, kScreenHeight, 0, 0);
    DrawScore(g, 0);
    DrawScore(g, 1);
    g.ClockChanged = g.RuleKind == rule_kind::kTime;
    RepaintItemPanel(g, r_.item);
    if (BlindInForce(r_.item)) PaintBlindArea(g, r_.item);
}

bool ReplayViewer::PlayTurn(Game& g) {
    if (jumpTo_) {
        const uint32_t target = *jumpTo_;
        jumpTo_.reset();
        SeekSilently(g, target);
        RedrawEverything(g);
    } else {
        EraseFrame(g, r_.pucks, r_.paddles, r_.item, r_.sprites);
    }
    uint32_t steps = 0;
    if (held_) {
        steps = stepsAsked_;
    } else {
        quarters_ += kSpeedQuarters[static_cast<size_t>(speed_)];
        steps = quarters_ / 4;
        quarters_ %= 4;
    }
    stepsAsked_ = 0;
    for (uint32_t i = 0; i < steps && !Decided(g); ++i) {
        if (frame_ >= Frames()) {
            g.KeyLog.ranOut = true;
            return false;
        }
        OutputMatchEvents(g, StepOneFrame(g), event_output::kAll);
    }
    DrawFrame(g, r_.pucks, r_.paddles, r_.item, r_.sprites);
    DrawReplayTimeline(g, frame_, Frames(), held_);
    return true;
}

void ReplayViewer::Stopped(Game& g) {
    if (g.frameSource == this) g.frameSource = nullptr;
}

}  // namespace vx
