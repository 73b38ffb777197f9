#include "frontend/key_translator.h"

namespace vx {

namespace {

// Held keys are filed by physical key; platforms without scan codes file them by Qt key
// in a separate range so the two never collide.
constexpr uint64_t kByQtKey = uint64_t{1} << 40;

uint64_t HeldKey(uint32_t nativeScanCode, int qtKey) {
    if (nativeScanCode != 0) return nativeScanCode;
    return kByQtKey | static_cast<uint32_t>(qtKey);
}

// The key printing "]" (or "}" with Shift) is player 2's up key on Japanese layouts.
bool PrintsCloseBracket(int qtKey) {
    return qtKey == qtkey::kBracketRight || qtKey == qtkey::kBraceRight;
}
bool PrintsOpenBracket(int qtKey) {
    return qtKey == qtkey::kBracketLeft || qtKey == qtkey::kBraceLeft;
}

}  // namespace

int KeyTranslator::FromPhysicalKey(uint32_t nativeScanCode, int qtKey) {
    switch (nativeScanCode) {
        case x11key::kRightBrace: return PrintsOpenBracket(qtKey) ? 0 : vk::kCloseBracket;
        case x11key::kBackslash: return PrintsCloseBracket(qtKey) ? vk::kCloseBracket : 0;
        case x11key::kIso102nd:
        case x11key::kRo:
        case x11key::kSlash: return vk::kOem102;
        default: return 0;
    }
}

namespace {

int FromQtKey(int qtKey) {
    // Letters go by the character so that AZERTY players press the key labelled A.
    if (qtKey >= qtkey::kA && qtKey <= qtkey::kZ) {
        switch (qtKey) {
            case vk::kA:
            case vk::kZ:
            case vk::kP:
            case vk::kR:
            case vk::kS: return qtKey;  // Qt's letter keys share the virtual-key values
            default: return 0;
        }
    }
    switch (qtKey) {
        case qtkey::kEscape: return vk::kEscape;
        case qtkey::kBracketRight: return vk::kCloseBracket;
        case qtkey::kLess:
        case qtkey::kGreater:
        case qtkey::kSlash:
        case qtkey::kBackslash:
        case qtkey::kUnderscore: return vk::kOem102;
        case qtkey::kSpace: return vk::kSpace;
        case qtkey::kHome: return vk::kHome;
        case qtkey::kLeft: return vk::kLeft;
        case qtkey::kRight: return vk::kRight;
        case qtkey::kPlus:
        case qtkey::kEqual: return vk::kPlus;  // + is Shift+= on many layouts
        case qtkey::kMinus: return vk::kMinus;
        default: return 0;
    }
}

// Layouts without Latin letters (Cyrillic, Greek) give no Qt letter key at all; there
// the letters fall back to where they sit on a US keyboard.
int FromUsLetterPosition(uint32_t nativeScanCode) {
    switch (nativeScanCode) {
        case 38: return vk::kA;
        case 52: return vk::kZ;
        case 33: return vk::kP;
        case 27: return vk::kR;
        case 39: return vk::kS;
        default: return 0;
    }
}

bool IsNonLatinCharacter(int qtKey) {
    return qtKey > 0xff && qtKey < qtkey::kEscape;
}

}  // namespace

int ActionCode(KeyAction action) {
    switch (action) {
        case KeyAction::Player1Up: return vk::kA;
        case KeyAction::Player1Down: return vk::kZ;
        case KeyAction::Player2Up: return vk::kCloseBracket;
        case KeyAction::Player2Down: return vk::kOem102;
        case KeyAction::Pause: return vk::kP;
    }
    return 0;
}

int KeyTranslator::FromEvent(uint32_t nativeScanCode, int qtKey) const {
    bool rebound[kKeyActionCount] = {};
    for (int i = 0; i < kKeyActionCount; ++i) {
        const uint32_t physical = bindings_[static_cast<size_t>(i)].physicalKey;
        if (physical == 0) continue;
        if (nativeScanCode == physical) return ActionCode(static_cast<KeyAction>(i));
        rebound[i] = true;
    }
    const int code = FromStandardKey(nativeScanCode, qtKey);
    for (int i = 0; i < kKeyActionCount; ++i)
        if (rebound[i] && code == ActionCode(static_cast<KeyAction>(i))) return 0;
    return code;
}

int KeyTranslator::FromStandardKey(uint32_t nativeScanCode, int qtKey) {
    if (nativeScanCode != 0) {
        if (int code = FromPhysicalKey(nativeScanCode, qtKey)) return code;
        if (IsNonLatinCharacter(qtKey)) return FromUsLetterPosition(nativeScanCode);
        int code = FromQtKey(qtKey);
        // With a physical key at hand, 221 and 226 come only from the keys above; the
        // characters ] < > / \ _ sit elsewhere on other layouts.
        return (code == vk::kCloseBracket || code == vk::kOem102) ? 0 : code;
    }
    return FromQtKey(qtKey);
}

int KeyTranslator::Translate(uint32_t nativeScanCode, int qtKey, bool isRelease, bool isAutoRepeat) {
    const uint64_t key = HeldKey(nativeScanCode, qtKey);
    if (!isRelease) {
        const int code = FromEvent(nativeScanCode, qtKey);
        if (code != 0)
            held_[key] = code;
        else
            held_.erase(key);
        return code;
    }
    if (isAutoRepeat) return 0;
    auto it = held_.find(key);
    if (it == held_.end()) return FromEvent(nativeScanCode, qtKey);  // pressed before we had focus
    const int code = it->second;
    held_.erase(it);
    return code;
}

}  // namespace vx
