#include "net/ice/ice_description.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <set>
#include <utility>

#include <arpa/inet.h>

namespace vx::net::ice {
namespace {

constexpr std::size_t kMinUfrag = 4;
constexpr std::size_t kMinPwd = 22;
constexpr std::size_t kMaxCredential = 256;
constexpr std::size_t kMaxFoundation = 32;

bool IsIceChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '+' || c == '/';
}

bool AllIceChars(const std::string& s) {
    return std::all_of(s.begin(), s.end(), IsIceChar);
}

// Splits on one separator; empty pieces stay (so doubled separators are seen).
std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = text.find(separator, start);
        pieces.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
        if (end == std::string::npos) return pieces;
        start = end + 1;
    }
}

// A decimal number without sign, leading zero or excess, within 1..limit.
bool ReadNumber(const std::string& text, uint64_t limit, uint64_t* out) {
    if (text.empty() || text.size() > 10 || text[0] == '0') return false;
    uint64_t value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + static_cast<uint64_t>(c - '0');
    }
    if (value > limit) return false;
    *out = value;
    return true;
}

bool ReadType(const std::string& text, CandidateType* out) {
    for (CandidateType t : {CandidateType::kHost, CandidateType::kServerReflexive,
                            CandidateType::kPeerReflexive, CandidateType::kRelayed}) {
        if (text == CandidateTypeName(t)) {
            *out = t;
            return true;
        }
    }
    return false;
}

// An address one can send to, written the one way inet_ntop writes it. The reason when not.
const char* CheckAddress(const std::string& text, bool* ipv6) {
    if (text.empty() || text.size() >= INET6_ADDRSTRLEN) return "its address is not an IP address";
    std::array<unsigned char, 16> bytes{};
    char back[INET6_ADDRSTRLEN] = {};
    if (inet_pton(AF_INET, text.c_str(), bytes.data()) == 1) {
        *ipv6 = false;
        inet_ntop(AF_INET, bytes.data(), back, sizeof back);
        if (text != back) return "its address is not written plainly";
        if (bytes[0] == 0) return "its address is unspecified";
        if (bytes[0] >= 224) return "its address is a multicast or broadcast address";
        return nullptr;
    }
    if (inet_pton(AF_INET6, text.c_str(), bytes.data()) == 1) {
        *ipv6 = true;
        inet_ntop(AF_INET6, bytes.data(), back, sizeof back);
        if (text != back) return "its address is not written plainly";
        if (std::all_of(bytes.begin(), bytes.end(), [](unsigned char b) { return b == 0; }))
            return "its address is unspecified";
        if (bytes[0] == 0xff) return "its address is a multicast address";
        static constexpr unsigned char kMappedPrefix[12] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff};
        if (std::memcmp(bytes.data(), kMappedPrefix, sizeof kMappedPrefix) == 0)
            return "its address is an IPv4 address in IPv6 clothing";
        return nullptr;
    }
    return "its address is not an IP address";
}

const char* ReadCandidate(const std::string& text, Candidate* out) {
    const auto fields = Split(text, ',');
    if (fields.size() != 5) return "it does not have five fields (type, address, port, priority, foundation)";
    Candidate c;
    if (!ReadType(fields[0], &c.type)) return "its type is none of host, srflx, prflx, relay";
    if (const char* why = CheckAddress(fields[1], &c.ipv6)) return why;
    c.address = fields[1];
    uint64_t number = 0;
    if (!ReadNumber(fields[2], 65535, &number)) return "its port is not a number from 1 to 65535";
    c.port = static_cast<uint16_t>(number);
    if (!ReadNumber(fields[3], 0xffffffffu, &number))
        return "its priority is not a number from 1 to 4294967295";
    c.priority = static_cast<uint32_t>(number);
    if (fields[4].empty() || fields[4].size() > kMaxFoundation || !AllIceChars(fields[4]))
        return "its foundation is not 1 to 32 letters and digits";
    c.foundation = fields[4];
    *out = std::move(c);
    return nullptr;
}

}  // namespace

const char* CandidateTypeName(CandidateType type) {
    switch (type) {
        case CandidateType::kHost: return "host";
        case CandidateType::kServerReflexive: return "srflx";
        case CandidateType::kPeerReflexive: return "prflx";
        case CandidateType::kRelayed: return "relay";
    }
    return "host";
}

std::string WriteDescription(const Description& description) {
    std::vector<const Candidate*> byPriority;
    for (const Candidate& c : description.candidates) byPriority.push_back(&c);
    std::stable_sort(byPriority.begin(), byPriority.end(),
                     [](const Candidate* a, const Candidate* b) { return a->priority > b->priority; });
    std::string line = std::string(kDescriptionTag) + " " + description.ufrag + " " + description.pwd;
    std::size_t written = 0;
    for (const Candidate* c : byPriority) {
        if (written == kMaxCandidates) break;
        const std::string text = " " + std::string(CandidateTypeName(c->type)) + "," + c->address + "," +
                                 std::to_string(c->port) + "," + std::to_string(c->priority) + "," +
                                 c->foundation;
        if (line.size() + text.size() > kMaxDescriptionBytes) break;
        line += text;
        ++written;
    }
    return line;
}

bool ReadDescription(const std::string& text, Description* out, std::string* error) {
    auto refuse = [&](const std::string& why) {
        *error = "The other player's connection line cannot be used: " + why + ".";
        return false;
    };
    if (text.size() > kMaxDescriptionBytes)
        return refuse("it is longer than " + std::to_string(kMaxDescriptionBytes) + " bytes");
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte > 0x7e) return refuse("it holds characters outside printable ASCII");
        if (byte < 0x21 && byte != ' ') return refuse("it holds control characters");
    }
    const auto words = Split(text, ' ');
    if (words[0] != kDescriptionTag) return refuse("it does not start with " + std::string(kDescriptionTag));
    if (words.size() < 4) return refuse("it has no candidates (addresses to try)");
    for (const auto& w : words)
        if (w.empty()) return refuse("it has empty fields (doubled, leading or trailing spaces)");
    Description d;
    d.ufrag = words[1];
    d.pwd = words[2];
    if (d.ufrag.size() < kMinUfrag || d.ufrag.size() > kMaxCredential || !AllIceChars(d.ufrag))
        return refuse("its user fragment is not 4 to 256 letters and digits");
    if (d.pwd.size() < kMinPwd || d.pwd.size() > kMaxCredential || !AllIceChars(d.pwd))
        return refuse("its password is not 22 to 256 letters and digits");
    if (words.size() - 3 > kMaxCandidates)
        return refuse("it has more than " + std::to_string(kMaxCandidates) + " candidates");
    std::set<std::pair<std::string, uint16_t>> seen;
    for (std::size_t i = 3; i < words.size(); ++i) {
        Candidate c;
        if (const char* why = ReadCandidate(words[i], &c))
            return refuse("candidate " + std::to_string(i - 2) + " (" + words[i].substr(0, 80) + "): " + why);
        if (!seen.insert({c.address, c.port}).second)
            return refuse("candidate " + std::to_string(i - 2) + " repeats an address and port");
        d.candidates.push_back(std::move(c));
    }
    *out = std::move(d);
    return true;
}

}  // namespace vx::net::ice
