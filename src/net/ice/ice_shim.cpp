#include "net/ice/ice_shim.h"

#include <cerrno>
#include <cstring>

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

namespace vx::net::ice {
namespace {

sockaddr_in Loopback(uint16_t port) {
    sockaddr_in a{};
    a.sin_family = AF_INET;
    a.sin_port = htons(port);
    a.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    return a;
}

}  // namespace

LoopbackShim::~LoopbackShim() {
    if (fd_ >= 0) ::close(fd_);
}

std::unique_ptr<LoopbackShim> LoopbackShim::Open(std::string* error) {
    const int fd = ::socket(AF_INET, SOCK_DGRAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        *error = std::string("No socket for the connection: ") + std::strerror(errno);
        return nullptr;
    }
    sockaddr_in a = Loopback(0);
    socklen_t length = sizeof a;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&a), sizeof a) != 0 ||
        ::getsockname(fd, reinterpret_cast<sockaddr*>(&a), &length) != 0) {
        *error = std::string("No loopback port for the connection: ") + std::strerror(errno);
        ::close(fd);
        return nullptr;
    }
    return std::unique_ptr<LoopbackShim>(new LoopbackShim(fd, ntohs(a.sin_port)));
}

void LoopbackShim::ToEnet(const uint8_t* data, std::size_t size) {
    if (enetPort_ == 0 || size > kShimMaxDatagram) {
        ++dropped_;
        return;
    }
    const sockaddr_in to = Loopback(enetPort_);
    if (::sendto(fd_, data, size, 0, reinterpret_cast<const sockaddr*>(&to), sizeof to) < 0) ++dropped_;
}

void LoopbackShim::Drain(const std::function<void(const uint8_t*, std::size_t)>& toPath) {
    uint8_t buffer[kShimMaxDatagram + 1];
    for (int n = 0; n < kShimMaxPerDrain; ++n) {
        sockaddr_in from{};
        socklen_t length = sizeof from;
        const ssize_t got =
            ::recvfrom(fd_, buffer, sizeof buffer, 0, reinterpret_cast<sockaddr*>(&from), &length);
        if (got < 0) return;  // nothing more now (or a loopback error worth no more than a drop)
        const bool fromEnet = length == sizeof from && from.sin_family == AF_INET &&
                              from.sin_addr.s_addr == htonl(INADDR_LOOPBACK) && enetPort_ != 0 &&
                              from.sin_port == htons(enetPort_);
        if (!fromEnet || static_cast<std::size_t>(got) > kShimMaxDatagram) {
            ++dropped_;
            continue;
        }
        toPath(buffer, static_cast<std::size_t>(got));
    }
}

}  // namespace vx::net::ice
