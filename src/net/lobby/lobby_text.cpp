#include "net/lobby/lobby_text.h"

#include <array>
#include <charconv>

namespace vx::net::lobby {

namespace {

constexpr std::string_view kPrefix = "vx1 ";

struct KindName {
    LineKind kind;
    std::string_view word;
};
constexpr std::array<KindName, 6> kKinds = {{
    {LineKind::kHello, "hello"},
    {LineKind::kSettings, "settings"},
    {LineKind::kPath, "path"},
    {LineKind::kReady, "ready"},
    {LineKind::kOffer, "offer"},
    {LineKind::kFull, "full"},
}};

std::string_view WordOf(LineKind kind) {
    for (const auto& k : kKinds)
        if (k.kind == kind) return k.word;
    return "ready";
}

bool Printable(std::string_view text) {
    for (const char c : text)
        if (c < 0x20 || c > 0x7E) return false;
    return true;
}

bool VersionChar(char c) {
    return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '.' ||
           c == '-' || c == '+' || c == '~';
}

// Why `text` cannot be the text of a `kind` line, or nullptr when it can.
const char* TextProblem(LineKind kind, std::string_view text) {
    switch (kind) {
        case LineKind::kReady:
        case LineKind::kFull: return text.empty() ? nullptr : "ready and full carry no text";
        case LineKind::kOffer: {
            const auto code = ReadRoomCode(text);
            return code && *code == text ? nullptr : "offer without a room code";
        }
        case LineKind::kHello:
            if (text.empty() || text.size() > kMaxVersionText) return "version of a wrong length";
            for (const char c : text)
                if (!VersionChar(c)) return "version with a character outside [A-Za-z0-9.+~-]";
            return nullptr;
        case LineKind::kSettings:
        case LineKind::kPath: {
            const std::size_t limit = kind == LineKind::kPath ? kMaxPathText : kMaxSettingsText;
            if (text.empty() || text.size() > limit) return "text of a wrong length";
            return Printable(text) ? nullptr : "text outside printable ASCII";
        }
    }
    return "unknown kind";
}

}  // namespace

std::string MakeRoomCode(uint64_t randomBits) {
    std::string code;
    for (std::size_t i = 0; i < kCodeLength; ++i) {
        code += kCodeAlphabet[randomBits % kCodeAlphabet.size()];
        randomBits /= kCodeAlphabet.size();
    }
    return code;
}

std::optional<std::string> ReadRoomCode(std::string_view typed) {
    std::string code;
    for (char c : typed) {
        if (c == ' ' || c == '-') continue;
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
        if (kCodeAlphabet.find(c) == std::string_view::npos) return std::nullopt;
        if (code.size() == kCodeLength) return std::nullopt;
        code += c;
    }
    if (code.size() != kCodeLength) return std::nullopt;
    return code;
}

std::string RoomNameFor(const std::string& code) {
    std::string name = "vx-";
    for (char c : code) name += (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
    return name;
}

std::string WatchRoomNameFor(const std::string& code) {
    return RoomNameFor(code) + "-watch";
}

std::string WriteLine(const LobbyLine& line) {
    std::string body(kPrefix);
    body += WordOf(line.kind);
    if (!line.text.empty()) {
        body += ' ';
        body += line.text;
    }
    return body;
}

std::optional<LobbyLine> ReadLine(std::string_view body, std::string* why) {
    auto refuse = [why](const char* reason) -> std::optional<LobbyLine> {
        if (why) *why = reason;
        return std::nullopt;
    };
    if (body.substr(0, kPrefix.size()) != kPrefix) return refuse("not a lobby line of this program");
    body.remove_prefix(kPrefix.size());
    const std::size_t space = body.find(' ');
    const std::string_view word = body.substr(0, space);
    const std::string_view text =
        space == std::string_view::npos ? std::string_view() : body.substr(space + 1);
    if (space != std::string_view::npos && text.empty()) return refuse("a space and no text");
    for (const auto& k : kKinds) {
        if (k.word != word) continue;
        if (const char* problem = TextProblem(k.kind, text)) return refuse(problem);
        return LobbyLine{k.kind, std::string(text)};
    }
    return refuse("unknown kind");
}

LobbyServices PickServices(const std::vector<ServiceEntry>& entries) {
    LobbyServices found;
    auto readPort = [](const std::string& text) -> std::optional<uint16_t> {
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec != std::errc() || end != text.data() + text.size() || value == 0 || value > 65535)
            return std::nullopt;
        return static_cast<uint16_t>(value);
    };
    for (const auto& e : entries) {
        const auto port = readPort(e.port);
        const bool udp = e.transport.empty() || e.transport == "udp";
        if (e.host.empty() || !port || !Printable(e.host) || !udp) continue;
        if (e.type == "stun" && found.stunHost.empty()) {
            found.stunHost = e.host;
            found.stunPort = *port;
        }
        if (e.type == "turn" && !found.relay && !e.username.empty() && !e.password.empty())
            found.relay = RelayServer{e.host, *port, e.username, e.password};
    }
    return found;
}

}  // namespace vx::net::lobby
