// The flow: everything of the game that takes time (screen wipes, the waiting screen, the
// intro, the frames of a match, the end of a match, the watched replay's result) is a
// queue of steps that the host's clock runs, one tick at a time. Handlers (mouse, keys,
// menu commands, the network) only queue steps or set requests and return at once;
// nothing runs nested inside anything else.
//
// The wait rule: a wait notes the clock in FrameStart and is over at the first clock
// reading strictly past FrameStart + the wait (a 33 ms frame therefore lasts 34 ms).
#pragma once

#include <climits>
#include <cstdint>
#include <deque>
#include <functional>
#include <vector>

namespace vx {

struct Game;

class Flow {
  public:
    using Action = std::function<void(Game&)>;

    // Registers with the game's host, whose ticks run the queue; g must be the game that
    // holds this flow.
    explicit Flow(Game& g);
    ~Flow();
    Flow(const Flow&) = delete;
    Flow& operator=(const Flow&) = delete;

    // Queues an action. Steps queued while a step runs come right after that step, in the
    // order queued (as a call would have run them); steps queued from outside go last.
    void Do(Action action);
    // A wait after the steps queued before it: FrameStart takes the clock when the wait
    // begins and the next step runs at the first reading past FrameStart + waitMs.
    void WaitMs(int32_t waitMs);
    // The frame's wait: until the first reading past FrameStart + periodMs, FrameStart as
    // it is when the wait begins (over at once when the clock is already past it).
    void WaitPastFrameStart(int32_t periodMs);
    // The events pending when this is reached are handled before the next step.
    void LetEventsRun();

    // The host's tick: runs steps until a wait or the queue's end. Once the program is
    // ending, drops every step and runs none.
    void Tick();
    // Steps are queued or a wait is running (never once the program is ending).
    bool Busy() const;
    // A match's loop (from its intro or resume to its result, pause or end) is running.
    bool InMatch() const { return inMatch_; }
    void SetInMatch(bool on) { inMatch_ = on; }
    // Forgets every step (the program is ending).
    void Clear();

  private:
    enum class Kind : uint8_t { kAction, kWaitMs, kWaitPastFrameStart, kEvents };
    struct Step {
        Kind kind;
        int32_t ms = 0;
        Action action;
    };
    void Add(Step step);
    void Wake();

    static constexpr int64_t kAfterEvents = INT64_MIN;  // the wait is for the pending events

    Game& g_;
    std::deque<Step> queue_;
    std::vector<Step> added_;  // queued by the step that is running
    bool running_ = false;
    bool waiting_ = false;
    int64_t deadlineMs_ = 0;
    bool inMatch_ = false;
};

}  // namespace vx
