// HeadlessHost: the Host for tests, benchmarks and replays. Time is virtual and moves
// only while Run or RunPast runs the game's ticks; input is a script of timed actions
// (usually calls of the same handlers the window calls) delivered in time order as the
// clock reaches them, between the ticks.
#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "platform/host.h"

namespace vx {

class HeadlessHost : public Host {
  public:
    struct Area {
        int x, y, w, h;
        bool operator==(const Area&) const = default;
    };

    explicit HeadlessHost(int64_t startMs = 0) : nowMs_(startMs) {}

    // Begins afresh at startMs, as a new host would: no script, nothing presented, not
    // ending. Counts and the pointer carry on. For one game that runs many matches.
    void Restart(int64_t startMs);

    // Script: action runs when the virtual clock reaches atMs (while Run or RunPast runs).
    // Actions due at the same time run in the order they were added.
    void At(int64_t atMs, std::function<void()> action);
    size_t PendingActions() const { return script_.size() - next_; }

    int64_t NowMs() override { return nowMs_; }
    void WakeAfter(int64_t deadlineMs) override;
    void WakeAfterEvents() override;

    // Runs the game as a window's event loop would, on the virtual clock: its ticks as
    // they fall due and the script's actions as the clock reaches them, jumping the
    // clock from one to the next, until the game asks for no further tick (its flow is
    // idle) or the program ends. Actions later than that stay in the script.
    // Called again from inside (an action of the script), they return at once.
    void Run();
    // The same, but on until the clock reads past untilMs even while the game is idle
    // (time passing on a screen that waits for the player).
    void RunPast(int64_t untilMs);
    // A tick is requested.
    bool TickWanted() const { return wake_ != Wake::kNone; }

    void Present(int x, int y, int w, int h) override;
    void Refresh() override { ++refreshes_; }
    void SetMousePointer(MousePointer pointer) override { pointer_ = pointer; }
    void EndProgram() override { ending_ = true; }
    bool Ending() const override { return ending_; }

    // What the game showed.
    const std::vector<Area>& Presented() const { return presented_; }
    void ClearPresented() { presented_.clear(); }
    // Benchmarks and long runs turn the list off.
    void KeepPresented(bool keep) { keepPresented_ = keep; }
    uint64_t RefreshCount() const { return refreshes_; }
    MousePointer Pointer() const { return pointer_; }

  private:
    struct Action {
        int64_t atMs;
        std::function<void()> run;
    };
    enum class Wake : uint8_t { kNone, kAfter, kAfterEvents };
    // Runs every action due at the current time; false when the program is ending.
    bool DeliverDue();
    // One move of the loop: a due tick, the due actions, or the clock on to the next of
    // them (never past limitMs + 1). False when there is nothing left to do.
    bool Step(int64_t limitMs);

    int64_t nowMs_;
    Wake wake_ = Wake::kNone;
    bool running_ = false;
    int64_t deadlineMs_ = 0;
    std::vector<Action> script_;
    size_t next_ = 0;
    std::vector<Area> presented_;
    bool keepPresented_ = true;
    uint64_t refreshes_ = 0;
    MousePointer pointer_ = MousePointer::Normal;
    bool ending_ = false;
};

}  // namespace vx
