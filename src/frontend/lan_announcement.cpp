#include "frontend/lan_announcement.h"

#include <vector>

#include "core/stage_tables.h"
#include "net/lobby/lobby_text.h"

namespace vx {

namespace {

// The length of the well-formed UTF-8 character at the front of text (no overlong forms,
// no surrogates, nothing past U+10FFFF), or 0.
std::size_t Utf8CharLength(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<uint8_t>(text[i]); };
    const uint8_t lead = byte(0);
    if (lead < 0x80) return 1;
    std::size_t length = 0;
    uint32_t code = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1Fu;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0Fu;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07u;
    } else {
        return 0;
    }
    if (text.size() < length) return 0;
    for (std::size_t i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0u) != 0x80u) return 0;
        code = (code << 6) | (byte(i) & 0x3Fu);
    }
    if ((length == 3 && code < 0x800) || (length == 4 && (code < 0x10000 || code > 0x10FFFF)) ||
        (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

bool IsControl(char c) {
    const auto u = static_cast<uint8_t>(c);
    return u < 0x20 || u == 0x7F;
}

// A decimal number without sign or leading zeros, within [low, high].
std::optional<int> ReadNumber(std::string_view text, int low, int high) {
    if (text.empty() || text.size() > 5 || (text.size() > 1 && text[0] == '0')) return std::nullopt;
    int value = 0;
    for (const char c : text) {
        if (c < '0' || c > '9') return std::nullopt;
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high) return std::nullopt;
    return value;
}

bool IsVersion(std::string_view text) {
    if (text.empty() || text.size() > net::lobby::kMaxVersionText) return false;
    for (const char c : text)
        if (c <= ' ' || static_cast<uint8_t>(c) >= 0x7F) return false;
    return true;
}

bool IsRoomCode(std::string_view text) {
    if (text.size() != net::lobby::kCodeLength) return false;
    for (const char c : text)
        if (net::lobby::kCodeAlphabet.find(c) == std::string_view::npos) return false;
    return true;
}

// A name exactly as LanHostName leaves one.
bool IsHostName(std::string_view text) {
    if (text.empty() || text.size() > kMaxLanHostName || text.front() == ' ' || text.back() == ' ')
        return false;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = Utf8CharLength(text.substr(i));
        if (length == 0 || IsControl(text[i])) return false;
        i += length;
    }
    return true;
}

std::optional<LanGame> Refuse(std::string* why, const char* reason) {
    if (why != nullptr) *why = reason;
    return std::nullopt;
}

}  // namespace

std::string LanHostName(std::string_view raw) {
    std::string name;
    for (std::size_t i = 0; i < raw.size();) {
        const std::size_t length = Utf8CharLength(raw.substr(i));
        if (length == 0) {
            ++i;
            continue;
        }
        if (name.size() + length > kMaxLanHostName) break;
        name += IsControl(raw[i]) ? std::string_view(" ") : raw.substr(i, length);
        i += length;
    }
    const std::size_t first = name.find_first_not_of(' ');
    if (first == std::string::npos) return "VOLTRAX";
    return name.substr(first, name.find_last_not_of(' ') - first + 1);
}

std::string WriteLanAnnouncement(const LanGame& game) {
    std::string out(kLanMagic);
    out += ' ' + game.version + ' ' + std::to_string(game.stage) + ' ' + std::to_string(game.port) + ' ';
    out += game.roomCode.empty() ? std::string("-") : game.roomCode;
    out += ' ' + LanHostName(game.hostName);
    return out;
}

std::optional<LanGame> ReadLanAnnouncement(std::string_view bytes, std::string* why) {
    if (bytes.size() > kMaxLanDatagram) return Refuse(why, "too long");
    // Five fields split at single spaces; the name is the rest and may hold spaces.
    std::vector<std::string_view> fields;
    std::string_view rest = bytes;
    for (int i = 0; i < 5; ++i) {
        const std::size_t space = rest.find(' ');
        if (space == std::string_view::npos) return Refuse(why, "too few fields");
        fields.push_back(rest.substr(0, space));
        rest.remove_prefix(space + 1);
    }
    if (fields[0] != kLanMagic) return Refuse(why, "not a VOLTRAX announcement");
    LanGame game;
    if (!IsVersion(fields[1])) return Refuse(why, "bad version");
    game.version = fields[1];
    const auto stage = ReadNumber(fields[2], 1, kStageCount);
    if (!stage) return Refuse(why, "bad stage");
    game.stage = *stage;
    const auto port = ReadNumber(fields[3], 0, 65535);
    if (!port) return Refuse(why, "bad port");
    game.port = static_cast<uint16_t>(*port);
    if (fields[4] != "-") {
        if (!IsRoomCode(fields[4])) return Refuse(why, "bad room code");
        game.roomCode = fields[4];
    }
    if (game.port == 0 && game.roomCode.empty()) return Refuse(why, "neither port nor room code");
    if (!IsHostName(rest)) return Refuse(why, "bad name");
    game.hostName = rest;
    if (why != nullptr) why->clear();
    return game;
}

}  // namespace vx
