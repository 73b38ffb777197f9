#include "frontend/mouse.h"

#include <initializer_list>

#include "core/game.h"
#include "core/wait_rule.h"
#include "draw/buttons.h"
#include "draw/menu_buttons.h"
#include "draw/sprite_blit.h"
#include "frontend/stage_select.h"
#include "frontend/sys_data.h"
#include "frontend/title_screen.h"
#include "match/match_sequences.h"
#include "sound/effects.h"
#include "sound/music.h"

namespace vx {

namespace {

constexpr uint32_t kYellow = 0xFFFF00;
constexpr int kFrameWidth = 3;
struct Corners {
    int x1, y1, x2, y2;
};
constexpr Corners kSlotFrames[5] = {{29, 232, 86, 279},
                                    {89, 232, 146, 279},
                                    {149, 232, 206, 279},
                                    {209, 232, 266, 279},
                                    {269, 232, 326, 279}};

Point ToPoint(float x, float y) {
    Point p;
    MakePoint(p, RoundHalfEven(y), RoundHalfEven(x));
    return p;
}

bool In(const Game& g, int16_t number, const Point& p) {
    return PointInRect(g.MenuButtons[static_cast<size_t>(number)].rect, p) != kFalse;
}

void Draw(Game& g, std::initializer_list<int16_t> numbers) {
    for (int16_t n : numbers) DrawButton(g, n, 1);
}

// The first stage slot (1..5) holding p, or 0.
int SlotAt(const Game& g, const Point& p) {
    for (int k = 1; k <= 5; ++k)
        if (In(g, static_cast<int16_t>(button::kStageSlot1 + k - 1), p)) return k;
    return 0;
}

void StopMenuMusic(Game& g) {
    if (MusicWanted(g)) StopMusicAndTimer(g);
}

void ReleaseOnTitle(Game& g, const Point& p) {
    if (In(g, button::kVsCpu, p)) {
        Draw(g, {4, 2, 3});
        g.ScreenState = screen_state::kBusy;
        g.GameMode = game_mode::kVsCpu;
        ShowStageSelect(g);
        g.Menu.SetGameStartItemsEnabled(false);
    } else if (In(g, button::kVs2P, p)) {
        Draw(g, {1, 5, 3});
        g.ScreenState = screen_state::kBusy;
        g.GameMode = game_mode::kVs2P;
        g.Menu.SetGameStartItemsEnabled(false);
        ShowStageSelect(g);
    } else if (In(g, button::kQuit, p)) {
        Draw(g, {1, 2, 6});
        EndTheProgram(g);
    }
}

void ReleaseOnStageSelect(Game& g, const Point& p) {
    if (In(g, button::kReturn, p)) {
        Draw(g, {12, 11});
        g.ScreenState = screen_state::kBusy;
        ShowTitle(g, kFalse);
        g.Menu.SetGameStartItemsEnabled(true);
    } else if (In(g, button::kOk, p)) {
        StopMenuMusic(g);
        Draw(g, {10, 13});
        g.ScreenState = screen_state::kBusy;
        StartMatch(g);
    } else {
        if (const int k = SlotAt(g, p); k != 0) g.StageNo = static_cast<uint8_t>(k);
        SelectStage(g, g.StageNo);
    }
}

void ReleaseOnResult(Game& g, const Point& p) {
    if (In(g, button::kRetry, p)) {
        const uint8_t stage = g.StageNo, mode = g.GameMode;
        ApplySettings(g);
        g.StageNo = stage;
        g.GameMode = mode;
        Draw(g, {19, 17, 18});
        g.MatchRequest = match_request::kNone;
        g.ScreenState = screen_state::kBusy;
        StopMenuMusic(g);
        RetryMatch(g);
    } else if (In(g, button::kStageSelect, p)) {
        const uint8_t mode = g.GameMode;
        ApplySettings(g);
        g.GameMode = mode;
        Draw(g, {16, 20, 18});
        g.ScreenState = screen_state::kBusy;
        StopMenuMusic(g);
        g.MatchRequest = match_request::kNone;
        g.Menu.SetGameStartItemsEnabled(false);
        g.Menu.SetOptionItemsEnabled(true);
        ShowStageSelect(g);
        if (!g.host.Ending()) SwitchToOpeningMusic(g);
    } else if (In(g, button::kOpening, p)) {
        ApplySettings(g);
        Draw(g, {16, 17, 21});
        g.ScreenState = screen_state::kBusy;
        g.Menu.SetOptionItemsEnabled(true);
        ShowTitle(g, kFalse);
        g.Menu.SetGameStartItemsEnabled(true);
        if (!g.host.Ending()) SwitchToOpeningMusic(g);
    }
}

}  // namespace

void DrawSlotFrame(Game& g, int k) {
    const Corners& c = kSlotFrames[k - 1];
    const int half = kFrameWidth / 2;
    auto fill = [&](int x1, int y1, int x2, int y2) {
        for (int y = y1; y <= y2; ++y)
            for (int x = x1; x <= x2; ++x)
                if (g.MainPict.Contains(x, y)) g.MainPict.SetPixel(x, y, kYellow);
    };
    fill(c.x1 - half, c.y1 - half, c.x2 + half, c.y1 + half);  // top
    fill(c.x1 - half, c.y2 - half, c.x2 + half, c.y2 + half);  // bottom
    fill(c.x1 - half, c.y1 - half, c.x1 + half, c.y2 + half);  // left
    fill(c.x2 - half, c.y1 - half, c.x2 + half, c.y2 + half);  // right
    ReportChanged(g, c.x1 - half, c.y1 - half, c.x2 - c.x1 + kFrameWidth, c.y2 - c.y1 + kFrameWidth);
}

void MainPict_MouseMove(Game& g, int16_t, int16_t, float x, float y) {
    if (g.ScreenState == screen_state::kBusy || g.MouseHeld == kTrue) return;
    const Point p = ToPoint(x, y);
    switch (g.ScreenState) {
        case screen_state::kTitle:
            if (In(g, 1, p))
                Draw(g, {4, 2, 3});
            else if (In(g, 2, p))
                Draw(g, {1, 5, 3});
            else if (In(g, 3, p))
                Draw(g, {1, 2, 6});
            else
                Draw(g, {1, 2, 3});
            break;
        case screen_state::kStageSelect:
            if (In(g, 10, p))
                Draw(g, {12, 11});
            else if (In(g, 11, p))
                Draw(g, {10, 13});
            else
                Draw(g, {10, 11});
            break;
        case screen_state::kResult:
            if (In(g, 16, p))
                Draw(g, {19, 17, 18});
            else if (In(g, 17, p))
                Draw(g, {16, 20, 18});
            else if (In(g, 18, p))
                Draw(g, {16, 17, 21});
            else
                Draw(g, {16, 17, 18});
            break;
        default: break;
    }
}

void MainPict_MouseDown(Game& g, int16_t, int16_t, float x, float y) {
    g.MouseHeld = kTrue;
    const Point p = ToPoint(x, y);
    bool pressed = true;
    switch (g.ScreenState) {
        case screen_state::kTitle:
            if (In(g, 1, p))
                Draw(g, {7, 2, 3});
            else if (In(g, 2, p))
                Draw(g, {1, 8, 3});
            else if (In(g, 3, p))
                Draw(g, {1, 2, 9});
            else
                pressed = false;
            break;
        case screen_state::kStageSelect:
            if (In(g, 10, p)) {
                Draw(g, {14, 11});
            } else if (In(g, 11, p)) {
                Draw(g, {10, 15});
            } else if (const int k = SlotAt(g, p); k != 0) {
                g.StageNo = static_cast<uint8_t>(k);
                SelectStage(g, g.StageNo);
                DrawSlotFrame(g, k);
            } else {
                pressed = false;
            }
            break;
        case screen_state::kResult:
            if (In(g, 16, p))
                Draw(g, {22, 17, 18});
            else if (In(g, 17, p))
                Draw(g, {16, 23, 18});
            else if (In(g, 18, p))
                Draw(g, {16, 17, 24});
            else
                pressed = false;
            break;
        default: pressed = false; break;
    }
    if (pressed) PlayEffect(g, effect::kClick, effect_mode::kStart);
}

void MainPict_MouseUp(Game& g, int16_t, int16_t, float x, float y) {
    g.MouseHeld = kFalse;
    const Point p = ToPoint(x, y);
    switch (g.ScreenState) {
        case screen_state::kTitle: ReleaseOnTitle(g, p); break;
        case screen_state::kStageSelect: ReleaseOnStageSelect(g, p); break;
        case screen_state::kResult: ReleaseOnResult(g, p); break;
        default: break;
    }
}

}  // namespace vx
