#include "platform/headless_host.h"

#include <algorithm>

namespace vx {

void HeadlessHost::Restart(int64_t startMs) {
    nowMs_ = startMs;
    script_.clear();
    next_ = 0;
    presented_.clear();
    ending_ = false;
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

bool HeadlessHost::DoEvents() {
    return DeliverDue();
}

bool HeadlessHost::WaitPast(int64_t deadlineMs) {
    for (;;) {
        // The clock is read before events are processed, as the wait loop does: an action
        // due exactly at the first reading past the deadline waits for the next DoEvents.
        if (ending_) return false;
        if (nowMs_ > deadlineMs) return true;
        if (!DeliverDue()) return false;
        if (next_ < script_.size() && script_[next_].atMs <= deadlineMs) {
            nowMs_ = std::max(nowMs_, script_[next_].atMs);
        } else {
            nowMs_ = deadlineMs + 1;
        }
    }
}

void HeadlessHost::Present(int x, int y, int w, int h) {
    if (keepPresented_) presented_.push_back({x, y, w, h});
}

}  // namespace vx
