// The screens' buttons: their numbers in MenuButtons, the normal, hover and pressed look
// of each button as one row, and InitMenuButton, which writes one entry of
// Game::MenuButtons from the button table and the sheet layout.
#pragma once

#include <array>
#include <cstdint>

namespace vx {

struct Game;

// Numbers of MenuButtons: every look of a button is an entry of its own, drawn at the
// button's one rectangle.
namespace button {
constexpr int16_t kVsCpu = 1, kVs2P = 2, kQuit = 3;  // title
constexpr int16_t kVsCpuHover = 4, kVs2PHover = 5, kQuitHover = 6;
constexpr int16_t kVsCpuPressed = 7, kVs2PPressed = 8, kQuitPressed = 9;
constexpr int16_t kReturn = 10, kOk = 11;  // stage select
constexpr int16_t kReturnHover = 12, kOkHover = 13;
constexpr int16_t kReturnPressed = 14, kOkPressed = 15;
constexpr int16_t kRetry = 16, kStageSelect = 17, kOpening = 18;  // result
constexpr int16_t kRetryHover = 19, kStageSelectHover = 20, kOpeningHover = 21;
constexpr int16_t kRetryPressed = 22, kStageSelectPressed = 23, kOpeningPressed = 24;
constexpr int16_t kStageSlot1 = 25;  // then one slot per stage, hit area only
}  // namespace button

enum class ButtonLook : uint8_t { kNormal, kHover, kPressed };

// One button: the MenuButtons entry of each of its looks.
struct ButtonLooks {
    int16_t normal, hover, pressed;
    constexpr int16_t operator[](ButtonLook look) const {
        return look == ButtonLook::kHover ? hover : look == ButtonLook::kPressed ? pressed : normal;
    }
};

// The buttons of each screen, in drawing order.
constexpr std::array<ButtonLooks, 3> kTitleButtons = {{
    {button::kVsCpu, button::kVsCpuHover, button::kVsCpuPressed},
    {button::kVs2P, button::kVs2PHover, button::kVs2PPressed},
    {button::kQuit, button::kQuitHover, button::kQuitPressed},
}};
constexpr std::array<ButtonLooks, 2> kStageSelectButtons = {{
    {button::kReturn, button::kReturnHover, button::kReturnPressed},
    {button::kOk, button::kOkHover, button::kOkPressed},
}};
constexpr std::array<ButtonLooks, 3> kResultButtons = {{
    {button::kRetry, button::kRetryHover, button::kRetryPressed},
    {button::kStageSelect, button::kStageSelectHover, button::kStageSelectPressed},
    {button::kOpening, button::kOpeningHover, button::kOpeningPressed},
}};

// n is 1..kMenuButtonCount. The stage slots receive only their rectangle.
void InitMenuButton(Game& g, uint8_t n);

}  // namespace vx
