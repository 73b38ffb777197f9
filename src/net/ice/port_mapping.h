// Asking the router to forward the host's UDP port, for direct hosting (--host) behind a
// home router: NAT-PMP first, then UPnP IGD. All the asking runs on a thread of its own
// with short bounded timeouts, so the game never waits for a router that is slow or not
// there; the mapping is renewed while it lives and removed when the match ends (Remove)
// or the program quits (the destructor). When the router says no, or there is none,
// nothing changes and the host plays as before on its own port.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace vx::net::ice {

struct PortMappingOptions {
    std::string natPmpGateway;    // empty: the default gateway
    std::string upnpInterface;    // the address SSDP searches go out of; empty: the default
    std::string minissdpdSocket;  // empty: miniupnpc's default path
    int natPmpTimeoutMs = 1500;   // NAT-PMP's whole exchange, answer or not
    int upnpDiscoverMs = 1500;    // how long UPnP discovery listens for routers (1 s at least)
    uint32_t leaseSeconds = 3600;
};

struct PortMappingResult {
    enum class Method : uint8_t { kNone, kNatPmp, kUpnp };
    Method method = Method::kNone;
    std::string publicAddress;  // what the guest types: the router's public IPv4 address
    uint16_t publicPort = 0;
    std::string note;  // with kNone: why not, for --verbose
};

class PortMapping {
  public:
    // Starts asking for UDP port `port` on this machine's address behind the router.
    explicit PortMapping(uint16_t port, PortMappingOptions options = {});
    // Removes the mapping if there is one and waits for the thread, which takes at most
    // the options' timeouts.
    ~PortMapping();
    PortMapping(const PortMapping&) = delete;
    PortMapping& operator=(const PortMapping&) = delete;

    // The asking is over (a mapping or none); Result() holds the outcome from then on.
    bool Done() const;
    PortMappingResult Result() const;
    // The match is over: the mapping goes (on the thread; returns at once).
    void Remove();

  private:
    void Run();
    bool TryNatPmp(PortMappingResult* result);
    bool TryUpnp(PortMappingResult* result);
    bool Stopping();

    const uint16_t port_;
    const PortMappingOptions options_;
    mutable std::mutex mutex_;
    std::condition_variable wake_;
    bool done_ = false;
    bool removeAsked_ = false;
    PortMappingResult result_;
    std::thread thread_;
};

}  // namespace vx::net::ice
