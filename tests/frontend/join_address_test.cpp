// What the player types to join by address: the address and port it names, and the path
// the --verbose line gives such a match (near networks are lan, anything else direct).
#include <gtest/gtest.h>

#include "frontend/net_play.h"

namespace vx {
namespace {

TEST(JoinAddress, SplitsThePortOffAndNamesNearAddressesLan) {
    struct Case {
        const char* typed;
        const char* address;  // nullptr: refused
        uint16_t port;
        net::PathKind path;
    } cases[] = {
        {"192.168.1.20", "192.168.1.20", 47150, net::PathKind::kLan},
        {"10.0.0.7:5000", "10.0.0.7", 5000, net::PathKind::kLan},
        {"172.16.0.1", "172.16.0.1", 47150, net::PathKind::kLan},
        {"172.31.255.255", "172.31.255.255", 47150, net::PathKind::kLan},
        {"172.32.0.1", "172.32.0.1", 47150, net::PathKind::kDirect},
        {"127.0.0.1:0", "127.0.0.1", 0, net::PathKind::kLan},
        {"100.64.3.4", "100.64.3.4", 47150, net::PathKind::kLan},
        {"203.0.113.7:47151", "203.0.113.7", 47151, net::PathKind::kDirect},
        {"localhost", "localhost", 47150, net::PathKind::kLan},
        {"game.example.org:9", "game.example.org", 9, net::PathKind::kDirect},
        {"[::1]:47150", "[::1]", 47150, net::PathKind::kLan},
        {"[fe80::1]:1", "[fe80::1]", 1, net::PathKind::kLan},
        {"[fd12::3]:1", "[fd12::3]", 1, net::PathKind::kLan},
        {"[2001:db8::5]:1", "[2001:db8::5]", 1, net::PathKind::kDirect},
        {":47150", nullptr, 0, {}},
        {"host:70000", nullptr, 0, {}},
        {"host:", nullptr, 0, {}},
    };
    for (const Case& c : cases) {
        std::string address, error;
        uint16_t port = 1;
        const bool ok = ParseJoinAddress(c.typed, address, port, error);
        EXPECT_EQ(ok, c.address != nullptr) << c.typed << ": " << error;
        if (!ok || c.address == nullptr) continue;
        EXPECT_EQ(address, c.address) << c.typed;
        EXPECT_EQ(port, c.port) << c.typed;
        EXPECT_EQ(PathToAddress(address), c.path) << c.typed;
    }
}

}  // namespace
}  // namespace vx
