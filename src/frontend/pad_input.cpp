#include "frontend/pad_input.h"

#include <algorithm>
#include <array>
#include <span>

#include "core/game.h"
#include "draw/menu_buttons.h"
#include "frontend/keyboard.h"
#include "frontend/menu_commands.h"
#include "frontend/mouse.h"
#include "frontend/stage_select.h"
#include "match/key_input.h"

namespace vx {

namespace {

// Each screen's buttons in the order the d-pad walks them: top to bottom on the title
// and result screens; on stage select the slots left to right, then OK to their right
// and RETURN below it.
constexpr std::array<int16_t, 3> kTitleOrder = {button::kVsCpu, button::kVs2P, button::kQuit};
constexpr auto kStageSelectOrder = [] {
    std::array<int16_t, kStageCount + 2> order{};
    for (int k = 0; k < kStageCount; ++k)
        order[static_cast<size_t>(k)] = static_cast<int16_t>(button::kStageSlot1 + k);
    order[kStageCount] = button::kOk;
    order[kStageCount + 1] = button::kReturn;
    return order;
}();
constexpr std::array<int16_t, 3> kResultOrder = {button::kRetry, button::kStageSelect, button::kOpening};

std::span<const int16_t> OrderOf(uint8_t screenState) {
    switch (screenState) {
        case screen_state::kTitle: return kTitleOrder;
        case screen_state::kStageSelect: return kStageSelectOrder;
        case screen_state::kResult: return kResultOrder;
        default: return {};
    }
}

// The button A presses before the d-pad has chosen one.
int16_t DefaultButton(uint8_t screenState) {
    return screenState == screen_state::kStageSelect ? button::kOk : OrderOf(screenState).front();
}

struct LeverKeys {
    int16_t up, down;
};
constexpr LeverKeys kPlayerKeys[2] = {{key_code::kA, key_code::kZ},
                                      {key_code::kCloseBracket, key_code::kOem102}};

// The KeyFlags entry a lever key sets.
bool FlagSet(const Game& g, int16_t keyCode) {
    switch (keyCode) {
        case key_code::kA: return g.KeyFlags[0];
        case key_code::kZ: return g.KeyFlags[1];
        case key_code::kOem102: return g.KeyFlags[2];
        case key_code::kCloseBracket: return g.KeyFlags[3];
        default: return false;
    }
}

bool IsSlot(int16_t button) {
    return button >= button::kStageSlot1 && button < button::kStageSlot1 + kStageCount;
}

void CentreOf(const Game& g, int16_t button, float& x, float& y) {
    const Rect& r = g.MenuButtons[static_cast<size_t>(button)].rect;
    x = (r.left + r.right) / 2.0f;
    y = (r.top + r.bottom) / 2.0f;
}

}  // namespace

int PadInput::PlayerOf(const Game& g, const Known& pad) const {
    if (g.GameMode == game_mode::kVsCpu) return 1;
    return pad.place >= 0 ? pad.place + 1 : 0;
}

int PadInput::PlayerOf(const Game& g, uint32_t id) const {
    for (const Known& pad : pads_)
        if (pad.id == id) return PlayerOf(g, pad);
    return 0;
}

void PadInput::Apply(Game& g, const PadReadings& readings) {
    // Unplugged pads let go of what they held; one that steered a match pauses it.
    for (size_t i = 0; i < pads_.size();) {
        const uint32_t id = pads_[i].id;
        if (std::any_of(readings.begin(), readings.end(), [id](const PadReading& r) { return r.id == id; })) {
            ++i;
            continue;
        }
        Known gone = pads_[i];
        pads_.erase(pads_.begin() + static_cast<std::ptrdiff_t>(i));
        Forget(g, gone);
    }
    // New pads take the first free place.
    for (const PadReading& r : readings) {
        if (std::any_of(pads_.begin(), pads_.end(), [&](const Known& k) { return k.id == r.id; })) continue;
        Known pad;
        pad.id = r.id;
        for (int place = 0; place < 2 && pad.place < 0; ++place)
            if (std::none_of(pads_.begin(), pads_.end(), [&](const Known& k) { return k.place == place; }))
                pad.place = place;
        pads_.push_back(pad);
    }
    if (OrderOf(g.ScreenState).empty() || g.ScreenState != focusScreen_) {
        focusScreen_ = g.ScreenState;
        focus_ = 0;
    }
    for (const PadReading& r : readings) {
        auto it = std::find_if(pads_.begin(), pads_.end(), [&](const Known& k) { return k.id == r.id; });
        Steer(g, *it, r.buttons);
        if (!Act(g, *it, r.buttons)) return;
    }
}

void PadInput::Forget(Game& g, Known& pad) {
    const bool steered = pad.heldUp != 0 || pad.heldDown != 0 || PlayerOf(g, pad) != 0;
    if (pad.heldUp != 0) OnKeyUp(g, pad.heldUp, 0);
    if (pad.heldDown != 0) OnKeyUp(g, pad.heldDown, 0);
    if (pressed_ != 0 && pressedBy_ == pad.id) {
        // Let go away from every button, as a mouse released off the button would.
        pressed_ = 0;
        OnPointerUp(g, 1, 0, 0, 0);
    }
    if (steered && g.ScreenState == screen_state::kPlaying) PauseMatch(g);
}

// The lever acts while held, like a held key whose repeats set its flag again: a pad
// held through the start of play moves the paddle from the first frame it can.
void PadInput::Steer(Game& g, Known& pad, const PadButtons& now) {
    const int player = PlayerOf(g, pad);
    const LeverKeys keys = player == 0 ? LeverKeys{0, 0} : kPlayerKeys[player - 1];
    auto lever = [&](bool held, int16_t& heldKey, int16_t key) {
        if (heldKey != 0 && (!held || heldKey != key)) {
            OnKeyUp(g, heldKey, 0);
            heldKey = 0;
        }
        if (!held || key == 0) return;
        if (heldKey == 0 || (g.ScreenState == screen_state::kPlaying && !FlagSet(g, key)))
            OnKeyDown(g, key, 0);
        heldKey = key;
    };
    // Both directions at once (a worn stick) press both keys, as two held keys would.
    lever(now.up, pad.heldUp, keys.up);
    lever(now.down, pad.heldDown, keys.down);
}

bool PadInput::Act(Game& g, Known& pad, const PadButtons& now) {
    const PadButtons was = pad.last;
    pad.last.up = now.up;
    pad.last.down = now.down;
    pad.last.left = now.left;
    pad.last.right = now.right;
    if (!OrderOf(g.ScreenState).empty() && !g.MouseHeld) {
        if ((now.up && !was.up) || (now.left && !was.left)) Move(g, -1);
        if ((now.down && !was.down) || (now.right && !was.right)) Move(g, +1);
    }

    if (now.start != was.start) {
        pad.last.start = now.start;
        if (now.start && g.ScreenState == screen_state::kPlaying) PauseMatch(g);
        if (now.start && g.ScreenState == screen_state::kPaused) {
            ResumePausedMatch(g);  // runs the rest of the match
            return false;
        }
    }
    if (now.back != was.back) {
        pad.last.back = now.back;
        if (now.back && g.ScreenState == screen_state::kPaused) {
            StopPausedMatch(g);
            return false;
        }
    }
    for (const bool withB : {false, true}) {
        const bool held = withB ? now.b : now.a;
        bool& last = withB ? pad.last.b : pad.last.a;
        if (held == last) continue;
        last = held;
        if (held && pressed_ == 0 && !OrderOf(g.ScreenState).empty()) {
            if (!withB)
                Press(g, pad, focus_ != 0 ? focus_ : DefaultButton(g.ScreenState), false);
            else if (g.ScreenState == screen_state::kStageSelect)
                Press(g, pad, button::kReturn, true);
        } else if (!held && pressed_ != 0 && pressedBy_ == pad.id && pressedWithB_ == withB) {
            Release(g);  // may open the next screen or play a whole match
            return false;
        }
    }
    return true;
}

void PadInput::Move(Game& g, int step) {
    const auto order = OrderOf(g.ScreenState);
    if (focus_ == 0) {
        Focus(g,
              g.ScreenState == screen_state::kStageSelect
                  ? static_cast<int16_t>(button::kStageSlot1 + std::clamp<int>(g.StageNo, 1, kStageCount) - 1)
                  : DefaultButton(g.ScreenState));
        return;
    }
    const auto at = std::find(order.begin(), order.end(), focus_) - order.begin();
    const auto next = std::clamp<std::ptrdiff_t>(at + step, 0, static_cast<std::ptrdiff_t>(order.size()) - 1);
    Focus(g, order[static_cast<size_t>(next)]);
}

// The hover look the mouse would give the button. A stage slot has none; the pad shows
// the slot it stands on by choosing that stage, as a click on the slot would (silently).
void PadInput::Focus(Game& g, int16_t button) {
    focus_ = button;
    float x, y;
    CentreOf(g, button, x, y);
    if (IsSlot(button)) {
        g.StageNo = static_cast<uint8_t>(button - button::kStageSlot1 + 1);
        SelectStage(g, g.StageNo);
    }
    OnPointerMove(g, 0, 0, x, y);
}

void PadInput::Press(Game& g, Known& pad, int16_t button, bool withB) {
    if (!withB) focus_ = button;
    pressed_ = button;
    pressedBy_ = pad.id;
    pressedWithB_ = withB;
    float x, y;
    CentreOf(g, button, x, y);
    OnPointerDown(g, 1, 0, x, y);
}

void PadInput::Release(Game& g) {
    float x, y;
    CentreOf(g, pressed_, x, y);
    pressed_ = 0;
    OnPointerUp(g, 1, 0, x, y);
}

}  // namespace vx
