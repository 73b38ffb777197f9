// The about box's line table (StrInit): the version line, the project's credit and the
// free software it is built on, each with the pixel position of its first character on
// the about picture.
#pragma once

#include <array>
#include <string_view>

namespace vx {

struct AboutLine {
    int x;
    int y;
    std::string_view text;  // ASCII; "&" is a line that prints nothing
};

constexpr int kAboutLineCount = 13;
constexpr int kAboutCellWidth = 9;  // every character takes one fixed cell

const std::array<AboutLine, kAboutLineCount>& AboutLines();

// Characters typed in all (an "&" line counts as one step that draws nothing).
int AboutCharacterCount();

}  // namespace vx
