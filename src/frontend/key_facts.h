// The standard keys as every text for players names them. The asset generator writes the
// English help text's key lines from these rows; the Japanese help text, the README's key
// tables and the manual page's KEYS section are checked against them, and the rows against
// KeyTranslator, by tests/tools/help_facts_test.cpp.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "frontend/key_translator.h"

namespace vx {

struct KeyFact {
    std::string_view keys;          // as the English texts write it: "A", "]", "Esc"
    int code;                       // the virtual-key code it gives; 0 for a window shortcut
    std::string_view english;       // what it does
    std::string_view japaneseKeys;  // as the Japanese help writes it; empty: not named there
    std::string_view japanese;      // what the Japanese help says it does
};

// In the order every text lists them.
inline constexpr std::array<KeyFact, 9> kKeyFacts = {{
    {"A", vk::kA, "player 1: back paddle up, front paddle down", "A", "後ろのパドルが上、前のパドルが下"},
    {"Z", vk::kZ, "player 1: back paddle down, front paddle up", "Z", "その逆"},
    {"]", vk::kCloseBracket, "player 2 (1P VS 2P): back paddle up", "]", "後ろのパドルが上"},
    {"the key left of Z", vk::kOem102, "player 2 (1P VS 2P): back paddle down", "Z の左の",
     "後ろのパドルが下"},
    {"P", vk::kP, "pause", "P", "一時停止"},
    {"R", vk::kR, "resume a paused match", "R", "再開"},
    {"S", vk::kS, "stop a paused match and go back to the title", "S", "中止してタイトルへ"},
    {"Esc", vk::kEscape, "quit", "Esc", "終了"},
    {"F11 or Alt+Enter", 0, "full screen on and off (Alt or F10 shows the menu bar there)", "", ""},
}};

// Player 2's two keys on the common layouts: what each prints and where it sits (the X11
// key code), so that the names in the texts and the keys the game reads cannot part.
struct LayoutFact {
    std::string_view name;          // "US", "German"
    std::string_view japaneseName;  // as the Japanese help names the layout; empty: not named
    std::string_view up;
    uint32_t upKey;
    std::string_view down;
    uint32_t downKey;
    std::string_view downPlace;  // where the down key sits, for the texts
};

inline constexpr std::array<LayoutFact, 5> kLayoutFacts = {{
    {"US", "英語（US）", "]", x11key::kRightBrace, "/", x11key::kSlash, "bottom row, right"},
    {"UK", "", "]", x11key::kRightBrace, "\\", x11key::kIso102nd, "left of Z"},
    {"Japanese", "日本語", "]", x11key::kBackslash, "\\", x11key::kRo, "ろ"},
    {"German", "ドイツ語", "+", x11key::kRightBrace, "<", x11key::kIso102nd, "left of Y"},
    {"French", "フランス語", "$", x11key::kRightBrace, "<", x11key::kIso102nd, "left of W"},
}};

}  // namespace vx
