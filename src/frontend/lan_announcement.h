// Games on this network: a host waiting for its guest says so on the local network once a
// second, and the "play online" dialog lists what it hears. One UDP datagram, one line:
//
//   VOLTRAX1 VERSION STAGE PORT CODE NAME
//
// VERSION is the program's version (only the same version can play), STAGE the stage its
// stage select starts on, PORT the UDP port it waits on by address (0 for a room made
// in the lobby, which is joined by its CODE), CODE the room code or "-", NAME the
// machine's or player's name (UTF-8, the rest of the line). Anyone on the network can
// send us such a datagram, so the reader is strict and the fuzzer
// (fuzz/lan_announcement_fuzz.cpp) reaches it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace vx {

inline constexpr uint16_t kLanDiscoveryPort = 47151;
inline constexpr std::string_view kLanMagic = "VOLTRAX1";
inline constexpr std::size_t kMaxLanHostName = 63;  // bytes
inline constexpr std::size_t kMaxLanDatagram = 160;

struct LanGame {
    std::string version;
    int stage = 1;
    uint16_t port = 0;     // 0: only by room code
    std::string roomCode;  // empty: only by address
    std::string hostName;
    bool operator==(const LanGame&) const = default;
};

// A name fit for the datagram: control characters become spaces, broken UTF-8 goes,
// the end is cut at a character's edge to kMaxLanHostName bytes, surrounding spaces are
// trimmed; "VOLTRAX" when nothing is left.
std::string LanHostName(std::string_view raw);

// The datagram for a game whose fields the reader takes (the name through LanHostName).
std::string WriteLanAnnouncement(const LanGame& game);
// A datagram as a game: nothing, with the reason in *why, for anything else. A datagram
// that is read writes back to exactly the same bytes.
std::optional<LanGame> ReadLanAnnouncement(std::string_view bytes, std::string* why);

}  // namespace vx
