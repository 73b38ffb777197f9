// Where every picture lives in the sprite sheet `Pict`: one named rectangle per sprite
// (each stage's name plate and digit come from the stage table). The asset generator
// draws from this table, the drawing code and the tests read it, so the sheet and the
// code that cuts it up cannot drift apart.
#pragma once

#include <span>
#include <string_view>

namespace vx {

constexpr int kSheetWidth = 832;
constexpr int kSheetHeight = 806;

struct SheetSprite {
    const char* name;
    int x;
    int y;
    int w;
    int h;
};

// Two sprites whose rectangles the game reads with shared pixels. An inset sprite lies
// wholly inside its host and shows the host's own pixels (the received item icon is the
// inside of the capsule, a partly filled gauge is the left of the full one); an edge
// share touches its neighbour along one row or column, which both keep transparent.
struct SheetShare {
    const char* a;
    const char* b;
    bool inset;
};

std::span<const SheetSprite> SheetLayout();
std::span<const SheetShare> SheetShares();

// Null when the name is not in the table.
const SheetSprite* FindSheetSprite(std::string_view name);
// The sprite of that name; an empty rectangle when the name is not in the table, so a
// mistyped name draws nothing (the sheet layout test checks every name the game uses).
const SheetSprite& Sheet(std::string_view name);

// Names of the numbered groups, so callers need not format strings in a frame.
const char* SmallDigitName(int digit);   // "digit.small.0" ... "digit.small.9"
const char* LargeDigitName(int digit);   // "digit.large.0" ...
const char* ItemIconName(int kind);      // kind 1..9, 10 = "???" capsule
const char* ItemHeldIconName(int kind);  // kind 1..9: the 28 x 28 inside of the capsule
const char* ItemStripName(int kind);     // kind 1..9: name strip below the table
const char* StageNameName(int stage);    // stage 1..kStageCount
const char* StageDigitName(int stage);   // stage 1..kStageCount: the big digit of the waiting screen

}  // namespace vx
