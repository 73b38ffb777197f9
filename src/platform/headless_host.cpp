#include "platform/headless_host.h"

#include <algorithm>
#include <climits>

namespace vx {

void HeadlessHost::Restart(int64_t startMs) {
    nowMs_ = startMs;
    script_.clear();
    next_ = 0;
    presented_.clear();
    ending_ = false;
    wake_ = Wake::kNone;
}

void HeadlessHost::At(int64_t atMs, std::function<void()> action) {
    // Keep the undelivered part sorted by time, stable for equal times; an action may
    // add further actions while it runs.
    const auto pos = std::upper_bound(script_.begin() + static_cast<std::ptrdiff_t>(next_), script_.end(),
                                      atMs, [](int64_t t, const Action& a) { return t < a.atMs; });
    script_.insert(pos, Action{atMs, std::move(action)});
}

bool HeadlessHost::DeliverDue() {
    while (!ending_ && next_ < script_.size() && script_[next_].atMs <= nowMs_) {
        // Move the action out first: it may add to the script and reallocate it.
        std::function<void()> run = std::move(script_[next_].run);
        ++next_;
        run();
    }
    return !ending_;
}

void HeadlessHost::WakeAfter(int64_t deadlineMs) {
    if (ending_) return;
    wake_ = Wake::kAfter;
    deadlineMs_ = deadlineMs;
}

void HeadlessHost::WakeAfterEvents() {
    if (ending_) return;
    wake_ = Wake::kAfterEvents;
}

bool HeadlessHost::Step(int64_t limitMs) {
    if (ending_) return false;
    if (wake_ == Wake::kAfter && nowMs_ > deadlineMs_) {
        // The clock is read before events are processed, as a wait does: an action due
        // exactly at the first reading past the deadline comes after this tick.
        wake_ = Wake::kNone;
        RunTick();
        return true;
    }
    if (!DeliverDue()) return false;
    if (wake_ == Wake::kAfterEvents) {
        wake_ = Wake::kNone;
        RunTick();
        return true;
    }
    if (wake_ == Wake::kAfter && nowMs_ > deadlineMs_) return true;  // an action asked for it
    // On to whichever comes first: the next action, the tick's deadline, the limit.
    int64_t next = limitMs + 1;
    if (wake_ == Wake::kAfter) next = std::min(next, deadlineMs_ + 1);
    if (next_ < script_.size()) next = std::min(next, script_[next_].atMs);
    if (next <= nowMs_) return false;  // the limit is reached
    nowMs_ = next;
    return true;
}

void HeadlessHost::Run() {
    if (running_) return;
    running_ = true;
    while (wake_ != Wake::kNone && Step(INT64_MAX - 1)) {
    }
    running_ = false;
}

void HeadlessHost::RunPast(int64_t untilMs) {
    if (running_) return;
    running_ = true;
    while (nowMs_ <= untilMs && Step(untilMs)) {
    }
    running_ = false;
}

void HeadlessHost::Present(int x, int y, int w, int h) {
    if (keepPresented_) presented_.push_back({x, y, w, h});
}

}  // namespace vx
