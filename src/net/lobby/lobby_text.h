// The words the lobby carries between two programs, and the room codes players read out.
// Plain text without the XMPP library, so that everything a stranger can send us is read
// here, where the fuzzer (fuzz/lobby_text_fuzz.cpp) can reach it.
//
// Every message body is one line "vx1 KIND[ TEXT]":
//   hello VERSION       the program's version; both sides must have the same
//   settings TEXT       the room maker's match settings, as the game writes them
//   path TEXT           this side's connection candidates (PathFinder's line)
//   ready               this side has what it needs and waits for the other
//   offer CODE          quick match: the older player made room CODE for the newer one
//   full                to a watcher: the match has as many watchers as it takes
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/path_finder.h"

namespace vx::net::lobby {

// No 0/O and no 1/I/L: a code read out over a call cannot be mistyped into another one.
inline constexpr std::string_view kCodeAlphabet = "23456789ABCDEFGHJKMNPQRSTUVWXYZ";
inline constexpr std::size_t kCodeLength = 6;

// A code from random bits (any 64 bits give a valid code, evenly enough for 31^6 codes).
std::string MakeRoomCode(uint64_t randomBits);
// What the player typed, as a code: spaces and hyphens dropped, any case. Nothing when
// it is not six characters of the alphabet.
std::optional<std::string> ReadRoomCode(std::string_view typed);
// The room's name on the lobby's room service: "vx-" and the code in lower case.
std::string RoomNameFor(const std::string& code);
// The room beside it where the match's watchers meet its maker: the room's name and
// "-watch". The players' room closes to all but its two players once both are in.
std::string WatchRoomNameFor(const std::string& code);

enum class LineKind : uint8_t { kHello, kSettings, kPath, kReady, kOffer, kFull };

struct LobbyLine {
    LineKind kind = LineKind::kReady;
    std::string text;  // empty for ready
};

inline constexpr std::size_t kMaxVersionText = 32;
inline constexpr std::size_t kMaxSettingsText = 256;
inline constexpr std::size_t kMaxPathText = 4000;  // PathFinder's description at most

// The message body for a line. The text must be one the reader takes.
std::string WriteLine(const LobbyLine& line);
// A message body as a line: nothing, with the reason in *why, for anything else. A line
// that is read writes back to exactly the same body.
std::optional<LobbyLine> ReadLine(std::string_view body, std::string* why);

// One <service/> of the lobby's external-services answer (XEP-0215), as attributes.
struct ServiceEntry {
    std::string type;  // "stun", "turn", "turns"
    std::string transport;
    std::string host;
    std::string port;
    std::string username;
    std::string password;
};

// The relay and the STUN server a list of services offers: the first of each over UDP
// (what the path finder speaks); entries without host, valid port or (for TURN)
// credentials are passed by.
struct LobbyServices {
    std::optional<RelayServer> relay;
    std::string stunHost;  // empty: none offered
    uint16_t stunPort = 3478;
};
LobbyServices PickServices(const std::vector<ServiceEntry>& entries);

}  // namespace vx::net::lobby
