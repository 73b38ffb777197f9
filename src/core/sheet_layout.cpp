#include "core/sheet_layout.h"

#include <array>

#include "core/stage_tables.h"

namespace vx {

namespace {

constexpr std::array kFixedSprites = std::to_array<SheetSprite>({
    // Paddles in their normal looks, top-left corner of the sheet.
    {"paddle.back.p1", 0, 0, 10, 74},
    {"paddle.back.p2", 10, 0, 10, 74},
    {"paddle.front", 20, 0, 10, 38},
    {"paddle.front.long", 30, 0, 10, 74},
    // Score digits (also the stage number of the stage select screen).
    {"digit.small.0", 40, 0, 23, 24},
    {"digit.small.1", 63, 0, 23, 24},
    {"digit.small.2", 86, 0, 23, 24},
    {"digit.small.3", 109, 0, 23, 24},
    {"digit.small.4", 132, 0, 23, 24},
    {"digit.small.5", 155, 0, 23, 24},
    {"digit.small.6", 178, 0, 23, 24},
    {"digit.small.7", 201, 0, 23, 24},
    {"digit.small.8", 224, 0, 23, 24},
    {"digit.small.9", 247, 0, 23, 24},
    // Clock digits.
    {"digit.large.0", 40, 25, 28, 31},
    {"digit.large.1", 68, 25, 28, 31},
    {"digit.large.2", 96, 25, 28, 31},
    {"digit.large.3", 124, 25, 28, 31},
    {"digit.large.4", 152, 25, 28, 31},
    {"digit.large.5", 180, 25, 28, 31},
    {"digit.large.6", 208, 25, 28, 31},
    {"digit.large.7", 236, 25, 28, 31},
    {"digit.large.8", 264, 25, 28, 31},
    {"digit.large.9", 292, 25, 28, 31},
    {"label.score_limit", 320, 25, 53, 31},
    {"puck", 40, 56, 12, 12},
    // Buttons: normal, hover and pressed looks of each.
    {"button.vs_cpu.normal", 0, 74, 199, 28},
    {"button.vs_cpu.hover", 199, 74, 199, 28},
    {"button.vs_cpu.pressed", 0, 130, 199, 28},
    {"button.vs_2p.normal", 0, 102, 199, 28},
    {"button.vs_2p.hover", 199, 102, 199, 28},
    {"button.vs_2p.pressed", 0, 158, 199, 28},
    {"button.quit.normal", 52, 298, 83, 28},
    {"button.quit.hover", 251, 186, 83, 28},
    {"button.quit.pressed", 52, 329, 83, 28},
    // RETURN sits at x 350 on a 512-pixel screen: only its left 162 columns show.
    {"button.return.normal", 0, 186, 199, 28},
    {"button.return.hover", 199, 130, 199, 28},
    {"button.return.pressed", 0, 242, 199, 28},
    {"button.ok.normal", 50, 214, 50, 28},
    {"button.ok.hover", 249, 158, 50, 28},
    {"button.ok.pressed", 50, 270, 50, 28},
    {"button.retry.normal", 80, 593, 136, 28},
    {"button.retry.hover", 376, 593, 136, 28},
    {"button.retry.pressed", 80, 677, 136, 28},
    {"button.stage_select.normal", 0, 621, 296, 28},
    {"button.stage_select.hover", 296, 621, 296, 28},
    {"button.stage_select.pressed", 0, 705, 296, 28},
    {"button.opening.normal", 65, 649, 166, 28},
    {"button.opening.hover", 361, 649, 166, 28},
    {"button.opening.pressed", 65, 733, 166, 28},
    {"slot.shade", 259, 217, 60, 50},
    // The burst: three pictures in one row; the second and third share column 294.
    {"burst.1", 231, 267, 32, 32},
    {"burst.2", 263, 267, 32, 32},
    {"burst.3", 294, 267, 32, 32},
    // Message words; the wide ones run past the sheet's right edge and are clipped.
    {"msg.ready", 0, 360, 224, 51},
    {"msg.go", 271, 360, 144, 51},
    {"msg.time_up", 398, 0, 434, 50},
    {"msg.you_win", 398, 51, 434, 51},
    {"msg.you_lose", 401, 103, 434, 51},
    {"msg.pause", 398, 154, 434, 50},
    {"msg.draw", 398, 205, 434, 50},
    {"msg.player1", 415, 256, 434, 50},
    {"msg.win", 415, 306, 434, 50},
    {"msg.player2", 415, 357, 434, 50},
    {"msg.game_set", 425, 500, 434, 51},
    // Items: the full time gauge, the capsules (10 is "???"), the received icons.
    {"gauge.full", 0, 411, 280, 15},
    {"item.icon.1", 0, 426, 32, 32},
    {"item.icon.2", 32, 426, 32, 32},
    {"item.icon.3", 64, 426, 32, 32},
    {"item.icon.4", 96, 426, 32, 32},
    {"item.icon.5", 128, 426, 32, 32},
    {"item.icon.6", 160, 426, 32, 32},
    {"item.icon.7", 192, 426, 32, 32},
    {"item.icon.8", 224, 426, 32, 32},
    {"item.icon.9", 256, 426, 32, 32},
    {"item.icon.10", 288, 426, 32, 32},
    {"item.held.1", 2, 428, 28, 28},
    {"item.held.2", 34, 428, 28, 28},
    {"item.held.3", 66, 428, 28, 28},
    {"item.held.4", 98, 428, 28, 28},
    {"item.held.5", 130, 428, 28, 28},
    {"item.held.6", 162, 428, 28, 28},
    {"item.held.7", 194, 428, 28, 28},
    {"item.held.8", 226, 428, 28, 28},
    {"item.held.9", 258, 428, 28, 28},
    // Name strips: 16 rows each, the last row shared with the next strip.
    {"item.strip.1", 0, 458, 162, 16},
    {"item.strip.2", 0, 473, 162, 16},
    {"item.strip.3", 0, 488, 162, 16},
    {"item.strip.4", 0, 503, 162, 16},
    {"item.strip.5", 0, 518, 162, 16},
    {"item.strip.6", 0, 533, 162, 16},
    {"item.strip.7", 0, 548, 162, 16},
    {"item.strip.8", 0, 563, 162, 16},
    {"item.strip.9", 0, 578, 162, 15},
    // The item panel of the stage select screen.
    {"panel.nothing", 434, 426, 149, 14},
    {"panel.length_up", 434, 440, 149, 14},
    {"panel.double", 434, 454, 149, 14},
    {"panel.blind", 434, 468, 149, 14},
    {"panel.shift_change", 434, 482, 149, 14},
    // Paddle looks of the item effects.
    {"paddle.random.back.p1", 168, 458, 10, 74},
    {"paddle.random.back.p2", 178, 458, 10, 74},
    {"paddle.random.front", 188, 458, 10, 38},
    {"paddle.panic.back.p1", 198, 458, 10, 74},
    {"paddle.panic.back.p2", 208, 458, 10, 74},
    {"paddle.panic.front", 218, 458, 10, 38},
    {"paddle.boost.back.p1", 228, 458, 10, 74},
    {"paddle.boost.back.p2", 238, 458, 10, 74},
    {"paddle.back.short", 248, 458, 10, 38},
    {"paddle.reversed.back.p1", 258, 458, 10, 74},
    {"paddle.reversed.back.p2", 268, 458, 10, 74},
    {"paddle.reversed.front", 278, 458, 10, 38},
    // Match panel: score-limit values and side marks.
    {"limit.50", 228, 532, 27, 13},
    {"limit.30", 255, 532, 27, 13},
    {"limit.10", 282, 532, 27, 13},
    {"mark.cpu", 228, 545, 13, 13},
    {"mark.p1", 242, 545, 13, 13},
    {"mark.p2", 255, 545, 13, 13},
    {"label.mode.vs_cpu", 0, 761, 83, 15},
    {"label.mode.vs_2p", 0, 776, 83, 15},
});

// The fixed sprites, then each stage's name plate and waiting-screen digit.
constexpr auto kSprites = [] {
    std::array<SheetSprite, kFixedSprites.size() + 2 * kStageCount> all{};
    size_t i = 0;
    for (const SheetSprite& s : kFixedSprites) all[i++] = s;
    for (const StageRow& stage : kStages) {
        all[i++] = {stage.namePlate.sprite, stage.namePlate.x, stage.namePlate.y, kNamePlateW, kNamePlateH};
        all[i++] = {stage.digit.sprite, stage.digit.x, stage.digit.y, kStageDigitW, kStageDigitH};
    }
    return all;
}();

constexpr std::array kShares = std::to_array<SheetShare>({
    {"burst.2", "burst.3", false},           {"item.strip.1", "item.strip.2", false},
    {"item.strip.2", "item.strip.3", false}, {"item.strip.3", "item.strip.4", false},
    {"item.strip.4", "item.strip.5", false}, {"item.strip.5", "item.strip.6", false},
    {"item.strip.6", "item.strip.7", false}, {"item.strip.7", "item.strip.8", false},
    {"item.strip.8", "item.strip.9", false}, {"stage.name.5", "msg.game_set", false},
    {"item.held.1", "item.icon.1", true},    {"item.held.2", "item.icon.2", true},
    {"item.held.3", "item.icon.3", true},    {"item.held.4", "item.icon.4", true},
    {"item.held.5", "item.icon.5", true},    {"item.held.6", "item.icon.6", true},
    {"item.held.7", "item.icon.7", true},    {"item.held.8", "item.icon.8", true},
    {"item.held.9", "item.icon.9", true},
});

template <size_t N>
const char* Pick(const std::array<const char*, N>& names, int i) {
    return (i >= 0 && static_cast<size_t>(i) < N) ? names[i] : "";
}

}  // namespace

std::span<const SheetSprite> SheetLayout() {
    return kSprites;
}
std::span<const SheetShare> SheetShares() {
    return kShares;
}

const SheetSprite* FindSheetSprite(std::string_view name) {
    for (const SheetSprite& s : kSprites) {
        if (name == s.name) return &s;
    }
    return nullptr;
}

const char* SmallDigitName(int digit) {
    static constexpr std::array<const char*, 10> kNames = {
        "digit.small.0", "digit.small.1", "digit.small.2", "digit.small.3", "digit.small.4",
        "digit.small.5", "digit.small.6", "digit.small.7", "digit.small.8", "digit.small.9"};
    return Pick(kNames, digit);
}

const char* LargeDigitName(int digit) {
    static constexpr std::array<const char*, 10> kNames = {
        "digit.large.0", "digit.large.1", "digit.large.2", "digit.large.3", "digit.large.4",
        "digit.large.5", "digit.large.6", "digit.large.7", "digit.large.8", "digit.large.9"};
    return Pick(kNames, digit);
}

const char* ItemIconName(int kind) {
    static constexpr std::array<const char*, 10> kNames = {
        "item.icon.1", "item.icon.2", "item.icon.3", "item.icon.4", "item.icon.5",
        "item.icon.6", "item.icon.7", "item.icon.8", "item.icon.9", "item.icon.10"};
    return Pick(kNames, kind - 1);
}

const char* ItemHeldIconName(int kind) {
    static constexpr std::array<const char*, 9> kNames = {"item.held.1", "item.held.2", "item.held.3",
                                                          "item.held.4", "item.held.5", "item.held.6",
                                                          "item.held.7", "item.held.8", "item.held.9"};
    return Pick(kNames, kind - 1);
}

const char* ItemStripName(int kind) {
    static constexpr std::array<const char*, 9> kNames = {"item.strip.1", "item.strip.2", "item.strip.3",
                                                          "item.strip.4", "item.strip.5", "item.strip.6",
                                                          "item.strip.7", "item.strip.8", "item.strip.9"};
    return Pick(kNames, kind - 1);
}

const SheetSprite& Sheet(std::string_view name) {
    static constexpr SheetSprite kNone{"", 0, 0, 0, 0};
    const SheetSprite* s = FindSheetSprite(name);
    return s ? *s : kNone;
}

const char* StageNameName(int stage) {
    return stage >= 1 && stage <= kStageCount ? StageFacts(stage).namePlate.sprite : "";
}

const char* StageDigitName(int stage) {
    return stage >= 1 && stage <= kStageCount ? StageFacts(stage).digit.sprite : "";
}

}  // namespace vx
