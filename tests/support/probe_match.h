// What the headless probes (tests/net/online, tests/net/watch) share: a fatal line, a short
// nap, and one side of a NetMatch played on the real clock with random held keys until it
// ends. Header-only, like net_pair.h.
#pragma once

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <iostream>
#include <random>
#include <string>
#include <thread>

#include "net/net_match.h"
#include "net/net_peer.h"
#include "platform/clock.h"

namespace vx::testing {

// "error: WORDS" on standard error, exit status 1.
[[noreturn]] inline void ProbeFail(const std::string& words) {
    std::cerr << "error: " << words << std::endl;
    std::exit(1);
}

inline void ProbeNap() {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
}

// Plays this side's match to its end: each frame holds a random key pattern (seeded per
// side) for a random number of frames, the link is pumped between frames, and eachTurn
// runs after every turn (a watcher server, the lobby's connector). Fails the probe when
// the other side leaves or deadlineMs passes.
inline void PlayProbeMatch(net::NetMatch& match, net::NetPeer& peer, uint64_t seed, bool host,
                           int64_t deadlineMs, const std::function<void(int64_t)>& eachTurn) {
    std::mt19937_64 keys(seed * 7919 + (host ? 0 : 1));
    net::InputBits held = 0;
    int holdFrames = 0;
    for (int64_t next = SteadyNowMs(); !match.Session().EndFrame().has_value();) {
        if (peer.Ended()) ProbeFail(peer.EndMessage());
        if (SteadyNowMs() > deadlineMs) ProbeFail("the match did not end in time: " + match.SummaryLine());
        const int64_t now = SteadyNowMs();
        if (now >= next) {
            next += net::kFrameMs;
            if (holdFrames-- <= 0) {
                held = static_cast<net::InputBits>(keys() % 4);
                holdFrames = static_cast<int>(keys() % 12);
            }
            match.Tick(now, held);
        } else {
            peer.Pump(now);
        }
        if (eachTurn) eachTurn(now);
        ProbeNap();
    }
}

}  // namespace vx::testing
