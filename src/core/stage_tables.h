// Each stage's facts in one table, kStages: name, pucks, item kinds, walls, corner posts
// and bumpers, where its line drawings lie, its pictures in the sprite sheet and its
// slot on the stage select screen. Everything stage-specific reads this table.
#pragma once

#include <algorithm>
#include <array>
#include <cstdint>
#include <span>

#include "core/geometry.h"

namespace vx {

struct WallPiece {
    Rect bounds;
    int16_t facing;
    int16_t kind;
};

struct BumperPiece {
    int32_t cx;  // hundredths
    int32_t cy;
    int16_t verticalSign;
};

constexpr uint8_t kBumperRadius = 8;

// A rectangle as top-left corner and size, as pictures are cut.
struct Box {
    int32_t x = 0, y = 0, w = 0, h = 0;
};

// The two pictures that hold line drawings. St3 is its own mask picture and is drawn
// twice onto the table; LinePict shares the mask the stage select screen makes of it.
enum class LinePicture : uint8_t { kNone, kLinePict, kSt3 };

struct StageLines {
    LinePicture picture = LinePicture::kNone;
    Box source;  // the drawing's place in its picture
    Point at;    // where it lands on the table picture
};

// A sprite of the sheet that belongs to one stage; the sheet layout lists it.
struct SheetPlace {
    const char* sprite;
    int32_t x, y;
};

constexpr int32_t kThumbW = 200, kThumbH = 130;          // layout preview, from LinePict
constexpr int32_t kNamePlateW = 114, kNamePlateH = 15;   // sheet
constexpr int32_t kStageDigitW = 43, kStageDigitH = 47;  // sheet, the waiting screen's digit
constexpr int32_t kSlotW = 60, kSlotH = 50;              // stage select strip

struct StageRow {
    const char* name;
    uint8_t puckCount;
    std::array<uint8_t, 7> items;  // kinds in 1P VS CPU, 0 ends the list; 1P VS 2P adds 8 and 9
    std::span<const WallPiece> walls;
    std::span<const BumperPiece> bumpers;
    std::span<const Rect> cornerPosts;
    StageLines lines;      // none for a plain table
    Box thumb;             // in LinePict; empty for a plain table
    SheetPlace namePlate;  // kNamePlateW x kNamePlateH
    SheetPlace digit;      // kStageDigitW x kStageDigitH
    Point slot;            // top-left of its kSlotW x kSlotH picture on the strip
    Rect slotHit;          // the slot's hit rectangle, inclusive
};

// Wall tables are laid out three to a row, as they are drawn on the table.
// clang-format off
inline constexpr std::array<WallPiece, 12> kStage2Walls = {{
    {{76, 61, 136, 81}, -1, -1},    {{136, 61, 196, 81}, -1, 1},   {{196, 61, 256, 81}, -1, -1},
    {{256, 61, 326, 81}, -1, 1},    {{326, 61, 386, 81}, -1, -1},  {{386, 61, 436, 81}, -1, 1},
    {{76, 261, 136, 281}, 1, 1},    {{136, 261, 196, 281}, 1, -1}, {{196, 261, 256, 281}, 1, 1},
    {{256, 261, 326, 281}, 1, -1},  {{326, 261, 386, 281}, 1, 1},  {{386, 261, 436, 281}, 1, -1},
}};

inline constexpr std::array<WallPiece, 30> kStage3Walls = {{
    {{146, 91, 166, 101}, 1, -1},   {{156, 101, 166, 106}, -1, 1}, {{96, 96, 116, 106}, -1, -1},
    {{96, 91, 106, 96}, 1, 1},      {{106, 89, 146, 95}, 1, 10},   {{116, 102, 156, 108}, -1, 10},
    {{346, 91, 366, 101}, 1, 1},    {{346, 101, 356, 106}, -1, -1}, {{396, 96, 416, 106}, -1, 1},
    {{406, 91, 416, 96}, 1, -1},    {{366, 89, 406, 95}, 1, 10},   {{356, 102, 396, 108}, -1, 10},
    {{146, 242, 166, 252}, -1, 1},  {{156, 237, 166, 242}, 1, -1}, {{96, 237, 116, 247}, 1, 1},
    {{96, 247, 106, 252}, -1, -1},  {{106, 250, 146, 256}, -1, 10}, {{116, 233, 156, 239}, 1, 10},
    {{346, 242, 366, 252}, -1, -1}, {{346, 237, 356, 242}, 1, 1},  {{396, 237, 416, 247}, 1, -1},
    {{406, 247, 416, 252}, -1, 1},  {{366, 250, 406, 256}, -1, 10}, {{356, 233, 396, 239}, 1, 10},
    {{46, 79, 66, 113}, 1, -1},     {{446, 79, 466, 113}, 1, 1},   {{46, 230, 66, 264}, -1, 1},
    {{446, 230, 466, 264}, -1, -1}, {{60, 113, 66, 230}, -1, -10}, {{444, 113, 450, 230}, 1, -10},
}};

inline constexpr std::array<WallPiece, 14> kStage5Walls = {{
    {{234, 61, 254, 81}, -1, -1},   {{254, 80, 258, 82}, -1, 10},  {{258, 61, 278, 81}, -1, 1},
    {{234, 261, 254, 281}, 1, 1},   {{254, 260, 258, 262}, 1, 10}, {{258, 261, 278, 281}, 1, -1},
    {{234, 149, 254, 169}, 1, 1},   {{233, 169, 235, 173}, 1, -10}, {{234, 173, 254, 193}, -1, -1},
    {{254, 192, 258, 194}, -1, 10}, {{258, 173, 278, 193}, -1, 1}, {{277, 169, 279, 173}, -1, -10},
    {{258, 149, 278, 169}, 1, -1},  {{254, 148, 258, 150}, 1, 10},
}};

inline constexpr std::array<Rect, 4> kStage3Posts = {{
    {127, 61, 135, 91}, {377, 61, 385, 91}, {127, 252, 135, 282}, {377, 252, 385, 282},
}};

inline constexpr std::array<BumperPiece, 10> kStage4Bumpers = {{
    {18900, 6900, 1},  {32300, 6900, 1},  {18900, 27300, -1}, {32300, 27300, -1}, {13000, 9900, 0},
    {13000, 24400, 0}, {38200, 9900, 0},  {38200, 24400, 0},  {25600, 11900, 0},  {25600, 22400, 0},
}};

// Stage n is row n - 1. A panel of LinePict is 380 x 220 and lands at (66, 61), the
// table's field; St3 also covers the goal mouths.
inline constexpr auto kStages = std::to_array<StageRow>({
    {"NORMAL", 1, {1, 2, 3, 4, 5, 6, 7}, {}, {}, {},
     {}, {},
     {"stage.name.1", 320, 426}, {"stage.digit.1", 199, 313}, {28, 231}, {28, 231, 88, 281}},
    {"ZIGZAG", 1, {1, 2, 3, 4, 5, 6, 7}, kStage2Walls, {}, {},
     {LinePicture::kLinePict, {0, 0, 380, 220}, {66, 61}}, {0, 220, kThumbW, kThumbH},
     {"stage.name.2", 320, 441}, {"stage.digit.2", 242, 313}, {88, 231}, {89, 231, 148, 281}},
    {"ACT-2", 1, {2, 3, 4, 5, 6, 7}, kStage3Walls, {}, kStage3Posts,
     {LinePicture::kSt3, {0, 0, 456, 264}, {28, 39}}, {200, 220, kThumbW, kThumbH},
     {"stage.name.3", 320, 456}, {"stage.digit.3", 285, 313}, {148, 231}, {149, 231, 208, 281}},
    {"IRREGULAR", 1, {2, 3, 4, 5, 6, 7}, {}, kStage4Bumpers, {},
     {LinePicture::kLinePict, {380, 0, 380, 220}, {66, 61}}, {400, 220, kThumbW, kThumbH},
     {"stage.name.4", 320, 471}, {"stage.digit.4", 328, 313}, {208, 231}, {209, 231, 268, 281}},
    {"TRIPLE", 3, {1, 2, 3, 5, 6, 7}, kStage5Walls, {}, {},
     {LinePicture::kLinePict, {760, 0, 380, 220}, {66, 61}}, {600, 220, kThumbW, kThumbH},
     {"stage.name.5", 320, 486}, {"stage.digit.5", 371, 313}, {268, 231}, {269, 231, 328, 281}},
});
// clang-format on

constexpr int kStageCount = static_cast<int>(kStages.size());

// The row of stage n (1..kStageCount); any other number gets stage 1, the plain table.
constexpr const StageRow& StageFacts(int stage) {
    return kStages[static_cast<size_t>(stage >= 1 && stage <= kStageCount ? stage - 1 : 0)];
}

inline std::span<const WallPiece> StageWalls(int stage) {
    return StageFacts(stage).walls;
}
inline std::span<const BumperPiece> StageBumpers(int stage) {
    return StageFacts(stage).bumpers;
}
inline std::span<const Rect> StageCornerPosts(int stage) {
    return StageFacts(stage).cornerPosts;
}
inline const char* StageName(int stage) {
    return StageFacts(stage).name;
}

// The size a line picture needs to hold every drawing (and, for LinePict, every
// thumbnail) that the table places in it.
constexpr Box LinePictureSize(LinePicture picture) {
    Box size;
    for (const StageRow& s : kStages) {
        if (s.lines.picture == picture) {
            size.w = std::max(size.w, s.lines.source.x + s.lines.source.w);
            size.h = std::max(size.h, s.lines.source.y + s.lines.source.h);
        }
        if (picture == LinePicture::kLinePict && s.thumb.w > 0) {
            size.w = std::max(size.w, s.thumb.x + s.thumb.w);
            size.h = std::max(size.h, s.thumb.y + s.thumb.h);
        }
    }
    return size;
}

// The slot strip of the stage select screen: the smallest box around every slot.
constexpr Box SlotStrip() {
    int32_t left = kStages[0].slot.x, top = kStages[0].slot.y, right = left, bottom = top;
    for (const StageRow& s : kStages) {
        left = std::min(left, s.slot.x);
        top = std::min(top, s.slot.y);
        right = std::max(right, s.slot.x + kSlotW);
        bottom = std::max(bottom, s.slot.y + kSlotH);
    }
    return {left, top, right - left, bottom - top};
}

}  // namespace vx
