#include "core/flow.h"

#include <iterator>

#include "core/game.h"

namespace vx {

Flow::Flow(Game& g) : g_(g) {
    g_.host.SetTickHandler(this, [this] { Tick(); });
}

Flow::~Flow() {
    g_.host.DropTickHandler(this);
}

bool Flow::Busy() const {
    return !g_.host.Ending() && (running_ || waiting_ || !queue_.empty());
}

void Flow::Do(Action action) {
    Add(Step{Kind::kAction, 0, std::move(action)});
}

void Flow::WaitMs(int32_t waitMs) {
    Add(Step{Kind::kWaitMs, waitMs, nullptr});
}

void Flow::WaitPastFrameStart(int32_t periodMs) {
    Add(Step{Kind::kWaitPastFrameStart, periodMs, nullptr});
}

void Flow::LetEventsRun() {
    Add(Step{Kind::kEvents, 0, nullptr});
}

void Flow::Add(Step step) {
    if (running_) {
        added_.push_back(std::move(step));
        return;
    }
    const bool idle = !waiting_ && queue_.empty();
    queue_.push_back(std::move(step));
    if (idle) Wake();
}

// A sequence begun by a handler starts at once, before any other event, as if called.
void Flow::Wake() {
    if (!g_.host.Ending()) g_.host.WakeAfter(g_.host.NowMs() - 1);
}

void Flow::Clear() {
    queue_.clear();
    added_.clear();
    waiting_ = false;
    inMatch_ = false;
}

void Flow::Tick() {
    if (running_) return;
    Host& host = g_.host;
    if (host.Ending()) {
        Clear();
        return;
    }
    if (waiting_) {
        // A timer that fired early: the wait is over only past its deadline.
        if (deadlineMs_ != kAfterEvents && host.NowMs() <= deadlineMs_) {
            host.WakeAfter(deadlineMs_);
            return;
        }
        waiting_ = false;
    }
    running_ = true;
    while (!queue_.empty() && !host.Ending()) {
        Step step = std::move(queue_.front());
        queue_.pop_front();
        if (step.kind == Kind::kAction) {
            step.action(g_);
            queue_.insert(queue_.begin(), std::make_move_iterator(added_.begin()),
                          std::make_move_iterator(added_.end()));
            added_.clear();
            continue;
        }
        if (step.kind == Kind::kEvents) {
            waiting_ = true;
            deadlineMs_ = kAfterEvents;
            host.WakeAfterEvents();
            break;
        }
        if (step.kind == Kind::kWaitMs) g_.FrameStart = host.NowMs();
        deadlineMs_ = g_.FrameStart + step.ms;
        if (host.NowMs() > deadlineMs_) continue;
        waiting_ = true;
        host.WakeAfter(deadlineMs_);
        break;
    }
    running_ = false;
    if (host.Ending()) Clear();
}

}  // namespace vx
