#include "net/ice/port_mapping.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <functional>
#include <utility>

#include <arpa/inet.h>
#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpcommands.h>
#include <natpmp.h>
#include <sys/select.h>

namespace vx::net::ice {
namespace {

using Clock = std::chrono::steady_clock;
constexpr const char* kMappingName = "VOLTRAX";

// One NAT-PMP exchange after another with the gateway, each bounded by a deadline.
class NatPmpClient {
  public:
    ~NatPmpClient() {
        if (open_) closenatpmp(&natpmp_);
    }
    bool Open(const std::string& gateway, std::string* note) {
        in_addr forced{};
        const bool force = !gateway.empty();
        if (force && inet_pton(AF_INET, gateway.c_str(), &forced) != 1) {
            *note = "NAT-PMP: the gateway " + gateway + " is not an IPv4 address";
            return false;
        }
        const int r = initnatpmp(&natpmp_, force ? 1 : 0, forced.s_addr);
        open_ = r == 0;
        if (!open_) *note = "NAT-PMP: no gateway (" + std::to_string(r) + ")";
        return open_;
    }
    // Maps (or with lease 0 removes) the UDP port; on success the public address and port.
    bool Map(uint16_t port, uint32_t lease, Clock::time_point deadline, std::string* address,
             uint16_t* publicPort, std::string* note, const std::function<bool()>& stopping) {
        natpmpresp_t response{};
        if (sendpublicaddressrequest(&natpmp_) < 0 || !Wait(&response, deadline, stopping, note) ||
            response.type != NATPMP_RESPTYPE_PUBLICADDRESS)
            return Failed(note, "no public address");
        char text[INET_ADDRSTRLEN] = {};
        inet_ntop(AF_INET, &response.pnu.publicaddress.addr, text, sizeof text);
        if (sendnewportmappingrequest(&natpmp_, NATPMP_PROTOCOL_UDP, port, port, lease) < 0 ||
            !Wait(&response, deadline, stopping, note) || response.type != NATPMP_RESPTYPE_UDPPORTMAPPING)
            return Failed(note, "the port was not mapped");
        *address = text;
        *publicPort = response.pnu.newportmapping.mappedpublicport;
        return true;
    }
    void Unmap(uint16_t port, Clock::time_point deadline) {
        std::string note;
        natpmpresp_t response{};
        if (sendnewportmappingrequest(&natpmp_, NATPMP_PROTOCOL_UDP, port, 0, 0) >= 0)
            Wait(
                &response, deadline, [] { return false; }, &note);
    }

  private:
    static bool Failed(std::string* note, const char* what) {
        if (note->empty()) *note = std::string("NAT-PMP: ") + what;
        return false;
    }
    // The answer to the pending request, waiting in slices of at most 100 ms.
    bool Wait(natpmpresp_t* response, Clock::time_point deadline, const std::function<bool()>& stopping,
              std::string* note) {
        while (Clock::now() < deadline && !stopping()) {
            fd_set fds;
            FD_ZERO(&fds);
            FD_SET(natpmp_.s, &fds);
            timeval timeout{0, 100000};
            timeval retry{};
            if (getnatpmprequesttimeout(&natpmp_, &retry) == 0 && retry.tv_sec == 0 &&
                retry.tv_usec < timeout.tv_usec)
                timeout = retry;
            select(natpmp_.s + 1, &fds, nullptr, nullptr, &timeout);
            const int r = readnatpmpresponseorretry(&natpmp_, response);
            if (r == 0) return true;
            if (r != NATPMP_TRYAGAIN) {
                *note = "NAT-PMP: the gateway did not answer (" + std::to_string(r) + ")";
                return false;
            }
        }
        *note = "NAT-PMP: no answer in time";
        return false;
    }

    natpmp_t natpmp_{};
    bool open_ = false;
};

// The router's Internet Gateway Device, found by SSDP, asked over HTTP.
class UpnpClient {
  public:
    ~UpnpClient() {
        if (haveUrls_) FreeUPNPUrls(&urls_);
        if (devices_ != nullptr) freeUPNPDevlist(devices_);
    }
    bool Find(const PortMappingOptions& options, std::string* note) {
        int error = 0;
        // One search, for the gateway device itself (version 2 gateways answer it too):
        // miniupnpc listens at least a second for each kind of device it searches.
        static const char* const kGateway[] = {"urn:schemas-upnp-org:device:InternetGatewayDevice:1",
                                               nullptr};
        devices_ = upnpDiscoverDevices(
            kGateway, options.upnpDiscoverMs,
            options.upnpInterface.empty() ? nullptr : options.upnpInterface.c_str(),
            options.minissdpdSocket.empty() ? nullptr : options.minissdpdSocket.c_str(), 0, 0, 2, &error, 0);
        if (devices_ == nullptr) {
            *note += "; UPnP: no router answered";
            return false;
        }
        const int found = UPNP_GetValidIGD(devices_, &urls_, &data_, lanAddress_, sizeof lanAddress_);
        haveUrls_ = found != 0;
        if (found != 1) {
            *note += "; UPnP: no connected Internet gateway";
            return false;
        }
        return true;
    }
    bool Map(uint16_t port, uint32_t lease, std::string* address, uint16_t* publicPort, std::string* note) {
        char external[40] = {};
        if (UPNP_GetExternalIPAddress(urls_.controlURL, data_.first.servicetype, external) !=
                UPNPCOMMAND_SUCCESS ||
            external[0] == '\0') {
            *note += "; UPnP: no public address";
            return false;
        }
        const std::string portText = std::to_string(port);
        const std::string leaseText = std::to_string(lease);
        const int r =
            UPNP_AddPortMapping(urls_.controlURL, data_.first.servicetype, portText.c_str(), portText.c_str(),
                                lanAddress_, kMappingName, "UDP", nullptr, leaseText.c_str());
        if (r != UPNPCOMMAND_SUCCESS) {
            *note += "; UPnP: the router refused the port (" + std::to_string(r) + ")";
            return false;
        }
        *address = external;
        *publicPort = port;
        return true;
    }
    void Unmap(uint16_t port) {
        const std::string portText = std::to_string(port);
        UPNP_DeletePortMapping(urls_.controlURL, data_.first.servicetype, portText.c_str(), "UDP", nullptr);
    }

  private:
    UPNPDev* devices_ = nullptr;
    UPNPUrls urls_{};
    IGDdatas data_{};
    bool haveUrls_ = false;
    char lanAddress_[64] = {};
};

}  // namespace

PortMapping::PortMapping(uint16_t port, PortMappingOptions options)
    : port_(port), options_(std::move(options)), thread_([this] { Run(); }) {}

PortMapping::~PortMapping() {
    Remove();
    thread_.join();
}

bool PortMapping::Done() const {
    std::lock_guard lock(mutex_);
    return done_;
}

PortMappingResult PortMapping::Result() const {
    std::lock_guard lock(mutex_);
    return result_;
}

void PortMapping::Remove() {
    {
        std::lock_guard lock(mutex_);
        removeAsked_ = true;
    }
    wake_.notify_all();
}

bool PortMapping::Stopping() {
    std::lock_guard lock(mutex_);
    return removeAsked_;
}

void PortMapping::Run() {
    PortMappingResult result;
    NatPmpClient natPmp;
    UpnpClient upnp;
    const auto stopping = [this] { return Stopping(); };
    const auto natPmpMap = [&](uint32_t lease) {
        return natPmp.Map(port_, lease, Clock::now() + std::chrono::milliseconds(options_.natPmpTimeoutMs),
                          &result.publicAddress, &result.publicPort, &result.note, stopping);
    };
    if (natPmp.Open(options_.natPmpGateway, &result.note) && natPmpMap(options_.leaseSeconds)) {
        result.method = PortMappingResult::Method::kNatPmp;
    } else if (!Stopping() && upnp.Find(options_, &result.note) &&
               upnp.Map(port_, options_.leaseSeconds, &result.publicAddress, &result.publicPort,
                        &result.note)) {
        result.method = PortMappingResult::Method::kUpnp;
    }
    if (result.method != PortMappingResult::Method::kNone) result.note.clear();
    {
        std::lock_guard lock(mutex_);
        result_ = result;
        done_ = true;
    }
    if (result.method == PortMappingResult::Method::kNone) return;
    // Renewed at half the lease until the match or the program ends.
    const auto renewEvery = std::chrono::seconds(std::max<uint32_t>(options_.leaseSeconds / 2, 1));
    for (;;) {
        std::unique_lock lock(mutex_);
        if (wake_.wait_for(lock, renewEvery, [this] { return removeAsked_; })) break;
        lock.unlock();
        PortMappingResult renewed;
        if (result.method == PortMappingResult::Method::kNatPmp)
            natPmp.Map(port_, options_.leaseSeconds,
                       Clock::now() + std::chrono::milliseconds(options_.natPmpTimeoutMs),
                       &renewed.publicAddress, &renewed.publicPort, &renewed.note, stopping);
        else
            upnp.Map(port_, options_.leaseSeconds, &renewed.publicAddress, &renewed.publicPort,
                     &renewed.note);
    }
    if (result.method == PortMappingResult::Method::kNatPmp)
        natPmp.Unmap(port_, Clock::now() + std::chrono::milliseconds(options_.natPmpTimeoutMs));
    else
        upnp.Unmap(port_);
}

}  // namespace vx::net::ice
