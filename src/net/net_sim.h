// The network simulator: delays, jitters, loses and duplicates a side's outgoing
// packets, for tests and for trying bad networks by hand through
// VOLTRAX_NETSIM="delay=60,jitter=10,loss=5,dup=1" (milliseconds and percent).
#pragma once

#include <cstdint>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "net/packets.h"

namespace vx::net {

struct NetSimSettings {
    int32_t delayMs = 0;   // added to every packet one way
    int32_t jitterMs = 0;  // plus or minus, uniformly
    int32_t lossPercent = 0;
    int32_t dupPercent = 0;
    bool Active() const { return delayMs > 0 || jitterMs > 0 || lossPercent > 0 || dupPercent > 0; }
};

// The settings from text such as "delay=60,jitter=10,loss=5,dup=1"; an unknown key or a
// value out of range (delay and jitter 0..5000, percentages 0..100) gives nothing and
// the reason in *error.
std::optional<NetSimSettings> ParseNetSim(const std::string& text, std::string* error);

class NetSim {
  public:
    NetSim(const NetSimSettings& settings, uint64_t seed) : settings_(settings), random_(seed) {}

    // Queues a packet sent at nowMs. Reliable packets are never lost here: the
    // transport would send them again, which the delay already stands for.
    void Submit(PacketBytes bytes, bool reliable, int64_t nowMs);

    struct Due {
        PacketBytes bytes;
        bool reliable = false;
    };
    // The packets whose time has come, in the order they fall due.
    std::vector<Due> TakeDue(int64_t nowMs);
    std::size_t Queued() const { return queue_.size(); }
    uint32_t Lost() const { return lost_; }

  private:
    struct Held {
        int64_t dueMs = 0;
        uint64_t order = 0;
        Due due;
    };
    int32_t Percent() { return static_cast<int32_t>(random_() % 100); }

    NetSimSettings settings_;
    std::mt19937_64 random_;
    std::vector<Held> queue_;
    uint64_t nextOrder_ = 0;
    uint32_t lost_ = 0;
    int64_t lastReliableDueMs_ = 0;
};

}  // namespace vx::net
