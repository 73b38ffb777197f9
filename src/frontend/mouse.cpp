#include "frontend/mouse.h"

#include <span>

#include "core/game.h"
#include "core/match_frame_source.h"
#include "core/match_settings.h"
#include "draw/buttons.h"
#include "draw/menu_buttons.h"
#include "draw/sprite_blit.h"
#include "frontend/replay_watch.h"
#include "frontend/stage_select.h"
#include "frontend/sys_data.h"
#include "frontend/title_screen.h"
#include "match/match_sequences.h"
#include "match/screen_change.h"
#include "sound/effects.h"
#include "sound/music.h"

namespace vx {

namespace {

constexpr uint32_t kYellow = 0xFFFF00;
constexpr int kFrameWidth = 3;

Point ToPoint(float x, float y) {
    Point p;
    MakePoint(p, RoundHalfEven(y), RoundHalfEven(x));
    return p;
}

bool In(const Game& g, int16_t number, const Point& p) {
    return PointInRect(g.MenuButtons[static_cast<size_t>(number)].rect, p);
}

// The first of the screen's buttons holding p (its normal entry), or 0.
int16_t ButtonAt(const Game& g, std::span<const ButtonLooks> buttons, const Point& p) {
    for (const ButtonLooks& b : buttons)
        if (In(g, b.normal, p)) return b.normal;
    return 0;
}

// The first stage slot (1..kStageCount) holding p, or 0.
int SlotAt(const Game& g, const Point& p) {
    for (int k = 1; k <= kStageCount; ++k)
        if (In(g, static_cast<int16_t>(button::kStageSlot1 + k - 1), p)) return k;
    return 0;
}

void ReleaseOnTitle(Game& g, const Point& p) {
    if (In(g, button::kVsCpu, p)) {
        DrawButtonLooks(g, kTitleButtons, button::kVsCpu, ButtonLook::kHover);
        EnterScreen(g, Screen::kLeavingTitle);
        g.GameMode = game_mode::kVsCpu;
        ShowStageSelect(g);
    } else if (In(g, button::kVs2P, p)) {
        DrawButtonLooks(g, kTitleButtons, button::kVs2P, ButtonLook::kHover);
        EnterScreen(g, Screen::kLeavingTitle);
        g.GameMode = game_mode::kVs2P;
        ShowStageSelect(g);
    } else if (In(g, button::kQuit, p)) {
        DrawButtonLooks(g, kTitleButtons, button::kQuit, ButtonLook::kHover);
        EndTheProgram(g);
    }
}

// In a network match only one side chooses between matches; the other follows its
// choices. The choosing side tells the other before it acts.
bool TellChoice(Game& g, uint8_t choice) {
    if (g.frameSource == nullptr) return true;
    if (!g.frameSource->MayChoose()) return false;
    g.frameSource->Chose(g, choice, g.StageNo);
    return true;
}

void ReleaseOnStageSelect(Game& g, const Point& p) {
    if (g.frameSource != nullptr && !g.frameSource->MayChoose()) return;
    if (In(g, button::kReturn, p)) {
        TellChoice(g, match_choice::kTitle);
        DrawButtonLooks(g, kStageSelectButtons, button::kReturn, ButtonLook::kHover);
        EnterScreen(g, Screen::kToTitle);
        ShowTitle(g, false, Screen::kTitleKeepingTune);
    } else if (In(g, button::kOk, p)) {
        DrawButtonLooks(g, kStageSelectButtons, button::kOk, ButtonLook::kHover);
        EnterScreen(g, Screen::kToMatch);
        TellChoice(g, match_choice::kStage);
        StartMatch(g);
    } else {
        if (const int k = SlotAt(g, p); k != 0) g.StageNo = static_cast<uint8_t>(k);
        SelectStage(g, g.StageNo);
    }
}

void ReleaseOnResult(Game& g, const Point& p) {
    const int16_t hit = ButtonAt(g, kResultButtons, p);
    if (hit == 0) return;
    if (g.frameSource != nullptr && !g.frameSource->MayChoose()) {
        // The other side chooses: this one asks (or leaves) and waits for the answer.
        const uint8_t asked = hit == button::kRetry         ? match_choice::kRetry
                              : hit == button::kStageSelect ? match_choice::kStageSelect
                                                            : match_choice::kTitle;
        DrawButtonLooks(g, kResultButtons, hit, ButtonLook::kHover);
        g.frameSource->Ask(g, asked);
        return;
    }
    ChooseOnResult(g, hit);
}

}  // namespace

void ChooseOnResult(Game& g, int16_t hit) {
    if (hit == button::kRetry) {
        // The same stage and mode again, with the options' rules and a full clock.
        match_settings::UseOptionsForMatch(g);
        DrawButtonLooks(g, kResultButtons, button::kRetry, ButtonLook::kHover);
        g.MatchRequest = match_request::kNone;
        EnterScreen(g, Screen::kToMatch);
        TellChoice(g, match_choice::kRetry);
        RetryMatch(g);
    } else if (hit == button::kStageSelect) {
        const uint8_t mode = g.GameMode;
        ApplySettings(g);
        g.GameMode = mode;
        DrawButtonLooks(g, kResultButtons, button::kStageSelect, ButtonLook::kHover);
        TellChoice(g, match_choice::kStageSelect);
        EnterScreen(g, Screen::kToStageSelect);
        g.MatchRequest = match_request::kNone;
        ShowStageSelect(g, Screen::kStageSelectAfterMatch);
    } else if (hit == button::kOpening) {
        ApplySettings(g);
        DrawButtonLooks(g, kResultButtons, button::kOpening, ButtonLook::kHover);
        TellChoice(g, match_choice::kTitle);
        EnterScreen(g, Screen::kToTitle);
        ShowTitle(g, false);
    }
}

void DrawSlotFrame(Game& g, int k) {
    // The frame's centre line runs one pixel inside the slot picture.
    const Point& slot = StageFacts(k).slot;
    const int x1 = slot.x + 1, y1 = slot.y + 1, x2 = slot.x + kSlotW - 2, y2 = slot.y + kSlotH - 2;
    const int half = kFrameWidth / 2;
    auto fill = [&](int left, int top, int right, int bottom) {
        for (int y = top; y <= bottom; ++y)
            for (int x = left; x <= right; ++x)
                if (g.MainPict.Contains(x, y)) g.MainPict.SetPixel(x, y, kYellow);
    };
    fill(x1 - half, y1 - half, x2 + half, y1 + half);  // top
    fill(x1 - half, y2 - half, x2 + half, y2 + half);  // bottom
    fill(x1 - half, y1 - half, x1 + half, y2 + half);  // left
    fill(x2 - half, y1 - half, x2 + half, y2 + half);  // right
    ReportChanged(g, x1 - half, y1 - half, x2 - x1 + kFrameWidth, y2 - y1 + kFrameWidth);
}

// Hover shows on the button under the pointer, every other button of the screen normal.
void OnPointerMove(Game& g, int16_t, int16_t, float x, float y) {
    if (g.ScreenState == screen_state::kBusy || g.MouseHeld) return;
    const Point p = ToPoint(x, y);
    switch (g.ScreenState) {
        case screen_state::kTitle:
            DrawButtonLooks(g, kTitleButtons, ButtonAt(g, kTitleButtons, p), ButtonLook::kHover);
            break;
        case screen_state::kStageSelect:
            DrawButtonLooks(g, kStageSelectButtons, ButtonAt(g, kStageSelectButtons, p), ButtonLook::kHover);
            break;
        case screen_state::kResult:
            DrawButtonLooks(g, kResultButtons, ButtonAt(g, kResultButtons, p), ButtonLook::kHover);
            break;
        default: break;
    }
}

void OnPointerDown(Game& g, int16_t, int16_t, float x, float y) {
    g.MouseHeld = true;
    if (WatchPointerDown(g, x, y)) return;
    const Point p = ToPoint(x, y);
    std::span<const ButtonLooks> buttons;
    switch (g.ScreenState) {
        case screen_state::kTitle: buttons = kTitleButtons; break;
        case screen_state::kStageSelect: buttons = kStageSelectButtons; break;
        case screen_state::kResult: buttons = kResultButtons; break;
        default: return;
    }
    bool pressed = true;
    if (const int16_t hit = ButtonAt(g, buttons, p); hit != 0) {
        DrawButtonLooks(g, buttons, hit, ButtonLook::kPressed);
    } else if (const int k = SlotAt(g, p); k != 0 && g.ScreenState == screen_state::kStageSelect) {
        g.StageNo = static_cast<uint8_t>(k);
        SelectStage(g, g.StageNo);
        DrawSlotFrame(g, k);
    } else {
        pressed = false;
    }
    if (pressed) PlayEffect(g, effect::kClick, effect_mode::kStart);
}

void OnPointerUp(Game& g, int16_t, int16_t, float x, float y) {
    g.MouseHeld = false;
    const Point p = ToPoint(x, y);
    switch (g.ScreenState) {
        case screen_state::kTitle: ReleaseOnTitle(g, p); break;
        case screen_state::kStageSelect: ReleaseOnStageSelect(g, p); break;
        case screen_state::kResult: ReleaseOnResult(g, p); break;
        default: break;
    }
}

}  // namespace vx
