// ENet's own timing (retransmissions, its pings and its timeouts) on the monotonic clock.
// The library's enet_time_get reads the wall clock, so a step of the date would time out
// or stall the link; this program defines enet_time_get and enet_time_set itself, and the
// library's calls reach these (they go through the dynamic symbol table).
#pragma once

#include <cstdint>

namespace vx::net {

// How many times ENet has read its clock through ours: the test that the library really
// uses it, and what keeps these definitions in every program that links the link.
uint64_t TransportClockReads();

}  // namespace vx::net
