// The shim between ENet and the path ICE found. ENet and the rollback session above it
// stay exactly as they are on every path: ENet only knows how to talk UDP to an address,
// and the ICE path is not an address of ours (it may be a hole in two routers, or a
// relay that wraps every datagram in TURN), so ENet talks UDP to a loopback socket of
// ours and the shim carries each datagram between that socket and the ICE component,
// one for one, without looking inside. Only ENet's own socket may speak to it: anything
// else arriving on the loopback port is dropped. Nothing here waits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace vx::net::ice {

// ENet's datagrams are at most about 1.1 KB; anything larger is not ENet's and is dropped.
constexpr std::size_t kShimMaxDatagram = 1500;
// Datagrams moved per Drain(): a poll never runs unbounded however fast they come.
constexpr int kShimMaxPerDrain = 64;

class LoopbackShim {
  public:
    ~LoopbackShim();
    LoopbackShim(const LoopbackShim&) = delete;
    LoopbackShim& operator=(const LoopbackShim&) = delete;

    // A non-blocking UDP socket on 127.0.0.1 and a free port. Nothing, with the reason in
    // *error, when the system gives none.
    static std::unique_ptr<LoopbackShim> Open(std::string* error);
    // The port ENet sends to (the guest joins it; the host's ENet answers it).
    uint16_t Port() const { return port_; }
    // ENet's own port on 127.0.0.1: the only sender taken, the only receiver of ToEnet.
    void SetEnetPort(uint16_t port) { enetPort_ = port; }
    // A datagram that came over the ICE path, handed to ENet.
    void ToEnet(const uint8_t* data, std::size_t size);
    // Hands each datagram ENet sent (at most kShimMaxPerDrain) to toPath.
    void Drain(const std::function<void(const uint8_t*, std::size_t)>& toPath);
    uint64_t Dropped() const { return dropped_; }

  private:
    LoopbackShim(int fd, uint16_t port) : fd_(fd), port_(port) {}
    int fd_ = -1;
    uint16_t port_ = 0;
    uint16_t enetPort_ = 0;
    uint64_t dropped_ = 0;
};

}  // namespace vx::net::ice
