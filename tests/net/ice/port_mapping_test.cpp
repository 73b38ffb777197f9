// The router port mapping with no router there (NAT-PMP asked of 127.0.0.1, UPnP
// searched for out of the loopback interface): the asking ends within its timeouts with
// no mapping and the reasons, and a mapping dropped while it still asks lets go too.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "net/ice/port_mapping.h"

namespace vx::net::ice {
namespace {

TEST(PortMapping, WithoutARouterTheAskingEndsWithNoMappingAndTheReasons) {
    PortMappingOptions options;
    options.natPmpGateway = "127.0.0.1";
    options.upnpInterface = "127.0.0.1";
    options.minissdpdSocket = (std::filesystem::temp_directory_path() / "voltrax-no-minissdpd.sock").string();
    options.natPmpTimeoutMs = 500;
    options.upnpDiscoverMs = 500;
    {
        PortMapping mapping(47150, options);
        for (int i = 0; i < 500 && !mapping.Done(); ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        ASSERT_TRUE(mapping.Done());
        const PortMappingResult result = mapping.Result();
        EXPECT_EQ(result.method, PortMappingResult::Method::kNone);
        EXPECT_TRUE(result.publicAddress.empty());
        EXPECT_EQ(result.publicPort, 0);
        EXPECT_NE(result.note.find("NAT-PMP"), std::string::npos) << result.note;
        EXPECT_NE(result.note.find("UPnP"), std::string::npos) << result.note;
        mapping.Remove();  // the match ended: nothing to take away
    }
    // The program quits while the asking is still going on: the thread ends with it.
    PortMapping quitting(47151, options);
}

}  // namespace
}  // namespace vx::net::ice
