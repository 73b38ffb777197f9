// Fuzz target: any bytes as a datagram heard on the local network. Refused with a reason,
// or a game whose fields are in range and that writes back to the very same bytes.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string_view>

#include "frontend/lan_announcement.h"

namespace {

void Check(bool ok, const char* what) {
    if (ok) return;
    std::fprintf(stderr, "lan announcement fuzz: %s\n", what);
    std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    std::string why;
    if (const auto game = vx::ReadLanAnnouncement(bytes, &why)) {
        Check(why.empty(), "a read game gives no reason");
        Check(vx::WriteLanAnnouncement(*game) == bytes, "a read game writes back to the same bytes");
        Check(game->port != 0 || !game->roomCode.empty(), "a way to join");
        Check(vx::LanHostName(game->hostName) == game->hostName, "the name is one the writer keeps");
    } else {
        Check(!why.empty(), "a refused datagram says why");
    }
    const std::string name = vx::LanHostName(bytes);
    Check(vx::LanHostName(name) == name, "a cleaned name stays as it is");
    return 0;
}
