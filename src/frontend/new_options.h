// The options kept in the desktop settings file beside the 31-byte options record: the
// players' own keys, full screen, pause on focus loss, the menu language and the
// network line and input delay of network matches, and the lobby server of online play.
// Plain data; the shell reads and writes it. And what pausing on focus loss does with
// its option.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "core/game.h"
#include "frontend/menu_commands.h"
#include "net/rollback_session.h"

namespace vx {

// The keys a player may choose, in the order the key dialog lists them.
enum class KeyAction : uint8_t { Player1Up, Player1Down, Player2Up, Player2Down, Pause };
constexpr int kKeyActionCount = 5;

// A key of the player's own, by physical key (the X11 key code), so it stays in its
// place whatever layout is active later. physicalKey 0 means the standard key.
struct KeyBinding {
    uint32_t physicalKey = 0;
    std::string label;  // what the key printed when it was chosen; for showing only
    bool operator==(const KeyBinding&) const = default;
};

using KeyBindings = std::array<KeyBinding, kKeyActionCount>;

constexpr int kMaxFixedInputDelay = static_cast<int>(net::kMaxInputDelay);

struct NewOptions {
    KeyBindings keys{};
    bool fullScreen = false;
    bool pauseOnFocusLoss = true;
    std::string language;      // empty: follow the locale; "ja" or "en" choose
    bool networkLine = false;  // the round trip, delay, rollback and loss line in network play
    int inputDelay = -1;       // frames of input delay in network play, 0..4; -1 automatic
    std::string lobby;         // the lobby server for online play, "host[:port]"; empty: none
    bool operator==(const NewOptions&) const = default;
};

// The window was deactivated or minimised: a match in play pauses exactly as P pauses
// it, when the option asks for it. It never resumes by itself.
inline void PauseForFocusLoss(Game& g, const NewOptions& options) {
    if (options.pauseOnFocusLoss && g.ScreenState == screen_state::kPlaying) PauseMatch(g);
}

}  // namespace vx
