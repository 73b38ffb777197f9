// Millisecond clock standing in for timeGetTime. 64-bit, so it cannot wrap in any
// realistic run; every wait compares with WaitOver so the strict "more than" rule lives
// in one place.
#pragma once

#include <cstdint>

namespace vx {

class Clock {
  public:
    virtual ~Clock() = default;
    virtual int64_t NowMs() = 0;
};

// A wait that began at startMs is over at the first reading strictly more than waitMs later.
constexpr bool WaitOver(int64_t nowMs, int64_t startMs, int64_t waitMs) {
    return nowMs > startMs + waitMs;
}

// Monotonic wall clock for the real program.
class SteadyClock : public Clock {
  public:
    int64_t NowMs() override;
};

// A clock that only moves when told to; for tests and headless runs.
class ManualClock : public Clock {
  public:
    explicit ManualClock(int64_t startMs = 0) : nowMs_(startMs) {}
    int64_t NowMs() override { return nowMs_; }
    void Advance(int64_t ms) { nowMs_ += ms; }
    void Set(int64_t ms) { nowMs_ = ms; }

  private:
    int64_t nowMs_;
};

}  // namespace vx
