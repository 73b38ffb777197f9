// Turns the window's key events into the virtual-key codes the match handlers expect
// (A 65, Z 90, P 80, R 82, S 83, Esc 27, 221, 226). Plain C++: the shell passes the
// physical key (X11 key code) and the Qt key as plain integers.
#pragma once

#include <cstddef>
#include <cstdint>
#include <unordered_map>

#include "frontend/new_options.h"

namespace vx {

// Virtual-key codes the game reacts to.
namespace vk {
constexpr int kEscape = 27;
constexpr int kA = 65;
constexpr int kP = 80;
constexpr int kR = 82;
constexpr int kS = 83;
constexpr int kZ = 90;
constexpr int kCloseBracket = 221;  // player 2, back paddle up
constexpr int kOem102 = 226;        // player 2, back paddle down
// The replay viewer's keys.
constexpr int kSpace = 32;
constexpr int kHome = 36;
constexpr int kLeft = 37;
constexpr int kRight = 39;
constexpr int kPlus = 187;
constexpr int kMinus = 189;
}  // namespace vk

// The virtual-key code an action of the key dialog stands for.
int ActionCode(KeyAction action);

// The Qt::Key values the translator reads, spelled out so this file needs no Qt
// (the shell's tests check them against Qt's own enum).
namespace qtkey {
constexpr int kEscape = 0x01000000;
constexpr int kA = 0x41;
constexpr int kZ = 0x5a;
constexpr int kLess = 0x3c;
constexpr int kGreater = 0x3e;
constexpr int kSlash = 0x2f;
constexpr int kBackslash = 0x5c;
constexpr int kBracketLeft = 0x5b;
constexpr int kBracketRight = 0x5d;
constexpr int kBraceLeft = 0x7b;
constexpr int kBraceRight = 0x7d;
constexpr int kUnderscore = 0x5f;
constexpr int kSpace = 0x20;
constexpr int kPlus = 0x2b;
constexpr int kMinus = 0x2d;
constexpr int kEqual = 0x3d;
constexpr int kHome = 0x01000010;
constexpr int kLeft = 0x01000012;
constexpr int kRight = 0x01000014;
}  // namespace qtkey

// X11 key codes (evdev code + 8) of the physical keys that give 221 and 226. Player 2's
// up key is the key printing "]" beside Enter: key 35 on US keyboards, key 51 on
// Japanese ones (where key 35 prints "["); on layouts with no "]" key there (German
// "+", French "$") key 35, the same place as on US keyboards.
namespace x11key {
constexpr uint32_t kRightBrace = 35;  // "]" US, "[" Japanese, "+" German, "$" French
constexpr uint32_t kBackslash = 51;   // "\" US, "]" Japanese, "#" German, "*" French
constexpr uint32_t kSlash = 61;       // bottom row, right: stands in where there is no key left of Z
constexpr uint32_t kIso102nd = 94;    // the key left of Z on ISO keyboards
constexpr uint32_t kRo = 97;          // ろ on Japanese keyboards
}  // namespace x11key

struct KeyInput {
    uint32_t nativeScanCode = 0;  // X11 key code under xcb; 0 when the platform gives none
    int qtKey = 0;
    bool isRelease = false;
    bool isAutoRepeat = false;
    bool shift = false;  // Shift was held (Shift+→ steps a held replay)
};

class KeyTranslator {
  public:
    // The virtual-key code of the event, or 0 for a key the game ignores. A release gives
    // the code its press gave (the character of a released key can differ from the
    // pressed one, for example when Shift changed in between). Auto-repeated releases
    // give 0: the key is still held, and the repeated press only sets its flag again.
    int Translate(uint32_t nativeScanCode, int qtKey, bool isRelease, bool isAutoRepeat = false);
    int Translate(const KeyInput& key) {
        return Translate(key.nativeScanCode, key.qtKey, key.isRelease, key.isAutoRepeat);
    }

    // The players' own keys: a bound physical key gives its action's code, and the
    // standard key of a rebound action gives nothing. Keys held now keep their codes
    // until released.
    void SetBindings(const KeyBindings& bindings) { bindings_ = bindings; }
    const KeyBindings& Bindings() const { return bindings_; }

    // What a press of this key would give now (0: nothing), without holding it.
    int CodeOf(uint32_t nativeScanCode, int qtKey) const { return FromEvent(nativeScanCode, qtKey); }

    // Keys currently held down (pressed and not yet released).
    std::size_t HeldCount() const { return held_.size(); }

  private:
    int FromEvent(uint32_t nativeScanCode, int qtKey) const;
    static int FromStandardKey(uint32_t nativeScanCode, int qtKey);
    static int FromPhysicalKey(uint32_t nativeScanCode, int qtKey);
    KeyBindings bindings_{};
    // Pressed keys by physical key (or by Qt key, marked, when there is no scan code).
    std::unordered_map<uint64_t, int> held_;
};

}  // namespace vx
