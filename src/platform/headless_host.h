// HeadlessHost: the Host for tests, benchmarks and replays. Time is virtual and moves
// only while the game waits; input is a script of timed actions (usually calls of the
// same handlers the window calls) delivered in time order as the clock reaches them.
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

    // Script: action runs when the virtual clock reaches atMs (during DoEvents or a wait).
    // Actions due at the same time run in the order they were added.
    void At(int64_t atMs, std::function<void()> action);
    size_t PendingActions() const { return script_.size() - next_; }

    int64_t NowMs() override { return nowMs_; }
    bool DoEvents() override;
    // Jumps the clock from action to action and finally to deadlineMs + 1.
    bool WaitPast(int64_t deadlineMs) override;

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
    // Runs every action due at the current time; false when the program is ending.
    bool DeliverDue();

    int64_t nowMs_;
    std::vector<Action> script_;
    size_t next_ = 0;
    std::vector<Area> presented_;
    bool keepPresented_ = true;
    uint64_t refreshes_ = 0;
    MousePointer pointer_ = MousePointer::Normal;
    bool ending_ = false;
};

}  // namespace vx
