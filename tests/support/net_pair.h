// Two sides of a network match in one process, host and guest on loopback ENet, each
// with its own network simulator, run on one virtual clock: for the network tests and
// the network benchmark. Header-only so that bench/ can use it.
#pragma once

#include <ctime>
#include <memory>
#include <random>
#include <stdexcept>
#include <string>

#include "net/net_match.h"
#include "platform/silent_services.h"
#include "support/recording_sound.h"
#include "support/test_game.h"

namespace vx::testing {

using net::EnetLink;
using net::InputBits;
using net::NetMatch;
using net::NetPeer;
using net::NetSimSettings;

struct NetSide {
    NetSide(std::unique_ptr<net::Link> link, bool host, const std::string& version, NetSimSettings sim,
            uint64_t seed)
        : game(seed, noWindow, sound, noMusic),
          peer(std::move(link), net::PeerOptions{host, version, sim, seed}),
          keys(seed * 7919) {}
    NullHost noWindow;
    RecordingWavePlayer sound;  // the effects this side played
    SilentSequencer noMusic;
    TestGame game;
    NetPeer peer;
    std::mt19937_64 keys;
    InputBits held = 0;
    int holdFrames = 0;
    std::unique_ptr<NetMatch> match;
    double cpuSeconds = 0;  // spent in this side's turns and pumps
    int64_t nextFrameMs = 0;
    // Faults of this side: its clock reads the shared one plus clockOffsetMs; before
    // stoppedUntilMs it does nothing at all (a stopped process); while inputsWithheld it
    // keeps the link alive but runs no frames, so sends no inputs.
    int64_t clockOffsetMs = 0;
    int64_t stoppedUntilMs = 0;
    bool inputsWithheld = false;

    void Turn(int64_t sharedNowMs, bool frameDue) {
        const int64_t nowMs = sharedNowMs + clockOffsetMs;
        timespec a{}, b{};
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &a);
        if (match && frameDue && !inputsWithheld)
            match->Tick(nowMs, RandomKeys());
        else
            peer.Pump(nowMs);
        clock_gettime(CLOCK_THREAD_CPUTIME_ID, &b);
        cpuSeconds +=
            static_cast<double>(b.tv_sec - a.tv_sec) + static_cast<double>(b.tv_nsec - a.tv_nsec) * 1e-9;
    }

    InputBits RandomKeys() {
        if (holdFrames-- <= 0) {
            held = static_cast<InputBits>(keys() % 4);
            holdFrames = static_cast<int>(keys() % 12);
        }
        return held;
    }
};

// A host and a guest connected on loopback, each with its own simulated network.
struct NetPair {
    NetPair(NetSimSettings sim, const std::string& guestVersion = "2.1") {
        std::string error;
        auto hostLink = EnetLink::Host(0, "127.0.0.1", &error);
        if (!hostLink) throw std::runtime_error(error);
        const uint16_t port = hostLink->Port();
        host = std::make_unique<NetSide>(std::move(hostLink), true, "2.1", sim, 11);
        guest = std::make_unique<NetSide>(EnetLink::Join("127.0.0.1", port, &error), false, guestVersion, sim,
                                          12);
        guest->nextFrameMs = 13;
    }
    // A host and a guest over links made elsewhere (ENet over an ICE path, say).
    NetPair(std::unique_ptr<net::Link> hostLink, std::unique_ptr<net::Link> guestLink, NetSimSettings sim)
        : host(std::make_unique<NetSide>(std::move(hostLink), true, "2.1", sim, 11)),
          guest(std::make_unique<NetSide>(std::move(guestLink), false, "2.1", sim, 12)) {
        guest->nextFrameMs = 13;
    }
    // Runs both sides on one virtual clock in 3 ms steps until done() or the limit; each
    // side runs a frame every 33 ms, the guest's 13 ms after the host's.
    template <typename Done>
    bool RunUntil(Done done, int64_t limitMs = 60000) {
        for (const int64_t end = nowMs + limitMs; nowMs < end; nowMs += 3) {
            for (NetSide* s : {host.get(), guest.get()}) {
                if (nowMs < s->stoppedUntilMs) {
                    s->nextFrameMs = s->stoppedUntilMs;
                    continue;
                }
                const bool frameDue = nowMs >= s->nextFrameMs;
                if (frameDue) s->nextFrameMs += net::kFrameMs;
                s->Turn(nowMs, frameDue);
            }
            if (done()) return true;
        }
        return false;
    }
    bool Connect() {
        return RunUntil([&] { return (host->peer.Ready() && guest->peer.Ready()) || host->peer.Ended(); },
                        3000);
    }
    // Starts the next match of the connection on both sides.
    void StartMatch(const net::StartPacket& start, uint8_t matchNo) {
        host->match = std::make_unique<NetMatch>(host->game.g(), host->peer, 0, start, matchNo);
        guest->match = std::make_unique<NetMatch>(guest->game.g(), guest->peer, 1, start, matchNo);
    }
    bool BothOver() const {
        return host->match->Session().EndFrame().has_value() &&
               guest->match->Session().EndFrame().has_value();
    }
    std::unique_ptr<NetSide> host;
    std::unique_ptr<NetSide> guest;
    int64_t nowMs = 1;
};

}  // namespace vx::testing
