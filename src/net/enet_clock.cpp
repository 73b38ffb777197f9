#include "net/enet_clock.h"

#include <enet/enet.h>

#include <atomic>

#include "platform/clock.h"

namespace {

// ENet's time is the milliseconds since its time base, in 32 bits that may wrap (it
// compares times by their difference).
std::atomic<enet_uint32> timeBase{0};
std::atomic<uint64_t> reads{0};

enet_uint32 SteadyMs32() {
    return static_cast<enet_uint32>(vx::SteadyNowMs());
}

}  // namespace

extern "C" {

enet_uint32 enet_time_get(void) {
    reads.fetch_add(1, std::memory_order_relaxed);
    return SteadyMs32() - timeBase.load(std::memory_order_relaxed);
}

void enet_time_set(enet_uint32 newTimeBase) {
    timeBase.store(SteadyMs32() - newTimeBase, std::memory_order_relaxed);
}

}  // extern "C"

namespace vx::net {

uint64_t TransportClockReads() {
    return reads.load(std::memory_order_relaxed);
}

}  // namespace vx::net
