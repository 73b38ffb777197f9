// The program's millisecond clock: the monotonic clock in 64-bit milliseconds, so it
// cannot wrap in any run, and the strict "more than" rule that ends a wait.
#pragma once

#include <cstdint>

namespace vx {

// A wait that began at startMs is over at the first reading strictly more than waitMs later.
constexpr bool WaitOver(int64_t nowMs, int64_t startMs, int64_t waitMs) {
    return nowMs > startMs + waitMs;
}

// Milliseconds of the monotonic clock; only differences between readings mean anything.
int64_t SteadyNowMs();

}  // namespace vx
