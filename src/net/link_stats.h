// The figures of the network line: the largest rollback of the last few seconds and the
// share of keep-alives the other side never answered (the packet loss both ways, since
// keep-alives and inputs travel alike, unreliable). Both look back over a fixed time.
#pragma once

#include <array>
#include <cstdint>

namespace vx::net {

// The largest value added within the last kWindowMs.
class RecentMax {
  public:
    static constexpr int64_t kWindowMs = 3000;
    void Add(int64_t nowMs, uint32_t value);
    uint32_t Max(int64_t nowMs) const;

  private:
    struct Entry {
        int64_t atMs = INT64_MIN / 2;
        uint32_t value = 0;
    };
    std::array<Entry, 128> entries_{};  // a frame's worth each: more than the window holds
    std::size_t next_ = 0;
};

// Keep-alives sent and answered: the percentage unanswered among those sent between
// kWindowMs and kGraceMs ago (a younger one may still be on its way).
class KeepAliveLoss {
  public:
    static constexpr int64_t kWindowMs = 8000;
    static constexpr int64_t kGraceMs = 1000;
    void Sent(uint32_t stampMs, int64_t nowMs);
    void Answered(uint32_t stampMs);
    uint32_t Percent(int64_t nowMs) const;

  private:
    struct Ping {
        uint32_t stampMs = 0;
        int64_t sentMs = INT64_MIN / 2;
        bool answered = false;
    };
    std::array<Ping, 48> pings_{};  // four a second: the whole window and more
    std::size_t next_ = 0;
};

// What the network line shows.
struct LinkFigures {
    uint32_t roundTripMs = 0;
    uint32_t inputDelay = 0;  // frames
    bool automaticDelay = true;
    uint32_t recentRollback = 0;  // frames, the largest of the last few seconds
    uint32_t lossPercent = 0;
};

}  // namespace vx::net
