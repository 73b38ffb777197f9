// The line of text one side's connection candidates travel in through the lobby, and
// its strict reader. The line comes from a stranger, so the reader takes nothing it
// does not understand: every field is checked for its characters, its range and its
// length, and a refusal says which candidate was wrong and why. Plain C++ (no libnice),
// so that the fuzz target can run it alone.
//
//   VXICE1 <ufrag> <pwd> <candidate> [<candidate> ...]
//   candidate: <type>,<address>,<port>,<priority>,<foundation>
//   type: host | srflx | prflx | relay      address: IPv4 dotted quad or IPv6
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vx::net::ice {

constexpr std::size_t kMaxDescriptionBytes = 4000;
constexpr std::size_t kMaxCandidates = 32;
constexpr const char* kDescriptionTag = "VXICE1";

enum class CandidateType : uint8_t { kHost, kServerReflexive, kPeerReflexive, kRelayed };

// "host", "srflx", "prflx", "relay".
const char* CandidateTypeName(CandidateType type);

struct Candidate {
    CandidateType type = CandidateType::kHost;
    std::string address;  // as written: a dotted quad or an IPv6 address without zone
    bool ipv6 = false;
    uint16_t port = 0;
    uint32_t priority = 0;
    std::string foundation;
};

struct Description {
    std::string ufrag;  // 4..256 ICE characters (letters, digits, '+', '/')
    std::string pwd;    // 22..256 ICE characters
    std::vector<Candidate> candidates;
};

// The line for a description, leaving out the lowest-priority candidates that would
// take it past kMaxDescriptionBytes or kMaxCandidates.
std::string WriteDescription(const Description& description);

// Reads a line. False, with the reason in *error (never empty), when anything in it is
// not as WriteDescription writes it: then *out is left as it was.
bool ReadDescription(const std::string& text, Description* out, std::string* error);

}  // namespace vx::net::ice
