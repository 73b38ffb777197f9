// The replay viewer: a watched replay's frames come from here (it is the match loop's
// frame source while the replay plays), so the player can hold it, step it a frame at a
// time, play it slower or faster, jump 5 seconds back or on, or to any point of its
// timeline. A jump restores the nearest state kept on the way (one every 3 seconds of
// match time) and steps on from there without drawing or sound, then draws the whole
// picture afresh.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "core/match_events.h"
#include "core/match_frame_source.h"
#include "match/match_state.h"
#include "match/replay_file.h"

namespace vx {

struct Game;

namespace replay_view {
constexpr uint32_t kFramesPerSecond = 30;  // of match time: the clock counts a second every 30
constexpr uint32_t kSnapshotEvery = 3 * kFramesPerSecond;  // frames between kept states
constexpr uint32_t kJumpFrames = 5 * kFramesPerSecond;     // ← and →
// Quarter frames stepped per tick of the loop: ×¼, ×½, ×1, ×2, ×4.
constexpr std::array<uint32_t, 5> kSpeedQuarters = {1, 2, 4, 8, 16};
constexpr int kNormalSpeed = 2;
}  // namespace replay_view

// "12", "0.5": the frame a --start-at of that many seconds begins at; nothing for a
// text that is not a number of seconds of at least 0.
std::optional<uint32_t> StartFrameOfSeconds(std::string_view seconds);

class ReplayViewer final : public MatchFrameSource {
  public:
    // startFrame: where the first picture shows the replay (past its end: its end).
    explicit ReplayViewer(Replay replay, uint32_t startFrame = 0);

    // --- the match loop's side ---
    // Sets the replay's match up on g (its state as a replay check starts it), then
    // jumps to the start frame.
    void BeginMatch(Game& g) override;
    MatchRecords& Records() override { return r_; }
    // One tick: a jump asked for, then as many frames as the speed gives (drawing the
    // last), the timeline. False when the keys run out before the match is decided.
    bool PlayTurn(Game& g) override;
    bool EndConfirmed() const override { return true; }
    void MatchEnded(Game&, bool) override {}
    void Paused(Game&) override {}
    void Resumed(Game&) override {}
    void Stopped(Game& g) override;
    bool MayChoose() const override { return true; }
    void Chose(Game&, uint8_t, uint8_t) override {}
    void Ask(Game&, uint8_t) override {}

    // --- the player's side: requests the next tick carries out ---
    void ToggleHold() { held_ = !held_; }
    bool Held() const { return held_; }
    // While held: one frame on at the next tick.
    void StepOne() { stepsAsked_ += held_ ? 1 : 0; }
    void Faster() { speed_ = std::min(speed_ + 1, static_cast<int>(replay_view::kSpeedQuarters.size()) - 1); }
    void Slower() { speed_ = std::max(speed_ - 1, 0); }
    int Speed() const { return speed_; }  // index into kSpeedQuarters
    void SetSpeed(int index) { speed_ = index; }
    // A jump by frames (negative: back) from where the replay stands or is going.
    void JumpBy(int64_t frames);
    void JumpTo(uint32_t frame) { jumpTo_ = frame; }
    // A click at (x, y) of the picture: on the timeline, a jump there.
    bool ClickAt(int32_t x, int32_t y);

    // --- the replay's position ---
    uint32_t Frame() const { return frame_; }  // frames played so far
    uint32_t Frames() const { return static_cast<uint32_t>(replay_.keys.size()); }
    const Replay& Played() const { return replay_; }

    // Puts g at frame (at most the replay's end, or the frame that decides the match)
    // without drawing or sound: from the nearest kept state at or before it, or on from
    // where g stands when that is nearer. Public for the tests and the benchmark.
    void SeekSilently(Game& g, uint32_t frame);
    size_t KeptStates() const { return kept_.size(); }

  private:
    // One frame of the replay's keys; returns its events.
    MatchEvents StepOneFrame(Game& g);
    void KeepState(Game& g);
    void RestoreKept(Game& g, size_t index);
    void RedrawEverything(Game& g);
    bool Decided(const Game& g) const;

    Replay replay_;
    MatchRecords r_;
    std::vector<MatchState> kept_;  // kept_[k]: the state at frame k * kSnapshotEvery
    uint32_t startFrame_ = 0;
    uint32_t frame_ = 0;
    std::optional<uint32_t> jumpTo_;
    bool held_ = false;
    uint32_t stepsAsked_ = 0;
    int speed_ = replay_view::kNormalSpeed;
    uint32_t quarters_ = 0;  // quarter frames owed by the speed
};

}  // namespace vx
