#include "net/link_stats.h"

#include <algorithm>

namespace vx::net {

void RecentMax::Add(int64_t nowMs, uint32_t value) {
    entries_[next_] = {nowMs, value};
    next_ = (next_ + 1) % entries_.size();
}

uint32_t RecentMax::Max(int64_t nowMs) const {
    uint32_t most = 0;
    for (const Entry& e : entries_)
        if (nowMs - e.atMs <= kWindowMs) most = std::max(most, e.value);
    return most;
}

void KeepAliveLoss::Sent(uint32_t stampMs, int64_t nowMs) {
    pings_[next_] = {stampMs, nowMs, false};
    next_ = (next_ + 1) % pings_.size();
}

void KeepAliveLoss::Answered(uint32_t stampMs) {
    for (Ping& p : pings_)
        if (p.stampMs == stampMs) p.answered = true;
}

uint32_t KeepAliveLoss::Percent(int64_t nowMs) const {
    uint32_t sent = 0, lost = 0;
    for (const Ping& p : pings_) {
        const int64_t age = nowMs - p.sentMs;
        if (age < kGraceMs || age > kWindowMs) continue;
        ++sent;
        if (!p.answered) ++lost;
    }
    return sent == 0 ? 0 : (lost * 100 + sent / 2) / sent;
}

}  // namespace vx::net
